#include "arrest/arrest.h"

#include "activity/activity.h"
#include "arrest/formatting.h"
#include "arrest/geometry.h"
#include "cues/cues.h"
#include "simlink/batch.h"

namespace {
using namespace simlink;
/// Farther than any zone can be on the flat grid; also the answer of a failed search.
constexpr double kNoZoneDistance = 180.0;
}  // namespace

double TArrest::FindNearestCarrier() {
  double best = kNoZoneDistance;
  FixedPoint lonFixed, latFixed;
  int16_t magVarRaw = 0;
  if (!Batch(view_.link)
           .read(kLongitude, lonFixed)
           .read(kLatitude, latFixed)
           .read(kMagVar, magVarRaw)
           .process()) {
    NearestDistance = best;
    return best;
  }

  MagVarDeg = magVarDegrees(magVarRaw);
  const double lat = latitudeDegrees(latFixed);
  const double lon = longitudeDegrees(lonFixed);
  const TCatchZoneList* zones = view_.catchZones();
  if (zones) {
    // The index is not cleared first: with every zone 180 or more away it keeps naming the
    // last nearest one.
    for (size_t i = 0; i < zones->size(); ++i) {
      const TCatchZoneData& z = *(*zones)[i];
      const double d = FlatDistance(z.FrontRightCornerLat, z.FrontRightCornerLon, lat, lon);
      if (d < best) {
        best = d;
        NearestZoneIndex = static_cast<int32_t>(i);
      }
    }
  }

  if (NearestZoneIndex < 0 || !zones || static_cast<size_t>(NearestZoneIndex) >= zones->size()) {
    view_.haltProgram();
    view_.activity.programStopped = true;
    view_.lblNearestCarrier.setText(
        "Error: unable to find nearest cables. Please send a bug report.");
    NearestDistance = best;
    return best;
  }

  const TCatchZoneData& z = *(*zones)[static_cast<size_t>(NearestZoneIndex)];
  if (z.CarrierIdent != NearestCarrierIdent) {
    NearestCarrierIdent = z.CarrierIdent;
    view_.cues.ShowSimMessage(NearestCarrierAnnouncement(NearestCarrierIdent, z.RunwayHeadingMag),
                              5);
  }
  // Both labels follow every successful search; their texts are only rebuilt when what they
  // show has changed, so the once-a-second gate does not format strings for nothing.
  if (nearestLabelText.empty() || nearestLabelIdent != NearestCarrierIdent ||
      nearestLabelHeading != z.RunwayHeadingMag) {
    nearestLabelIdent = NearestCarrierIdent;
    nearestLabelHeading = z.RunwayHeadingMag;
    nearestLabelText = NearestCarrierLabel(NearestCarrierIdent, z.RunwayHeadingMag);
  }
  view_.lblNearestCarrier.setText(nearestLabelText);
  if (magVarLabelText.empty() || magVarLabelRaw != magVarRaw) {
    magVarLabelRaw = magVarRaw;
    magVarLabelText = MagVarLabel(MagVarDeg);
  }
  view_.lblCurrentMagVar.setText(magVarLabelText);

  NearestDistance = best;
  return best;
}

void TArrest::tmrFindNearestTimer() {
  // The flight-status text blinks once per search as a sign of life.
  platform::Label& status = view_.lblFlightStatus;
  status.setColor(status.color() == platform::Color::ButtonFace ? platform::Color::White
                                                                : platform::Color::ButtonFace);
  view_.tmrFindNearest.setEnabled(false);
  if (NearestZoneIndex == -1)
    view_.cues.ShowSimMessage("Corvane enabled", 3);
  else if (ManuallyDisabled() && view_.chkbxShowDisableReminders.checked())
    view_.cues.ShowSimMessage("Corvane has been manually disabled", 3);
  FindNearestCarrier();
  view_.lblCableCatchStatus.setText("");
  // A search that stopped the program leaves it stopped, with its error on show.
  if (view_.activity.programStopped) return;
  view_.tmrFindNearest.setEnabled(true);
  // Every search brings the catch gate back, also after catapult arming switched it off.
  view_.tmrIsCatchCheckNeeded.setEnabled(true);
}

void TArrest::Reset() {
  LastArrestEnd = 0;
  NearestZoneIndex = -1;
  MagVarDeg = 0;
  NearestDistance = 0;
  catchPoint.reset();
  lastCheck.reset();
  RunoutArrest = false;
}
