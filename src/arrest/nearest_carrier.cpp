#include "app/form_main.h"
#include "arrest/formatting.h"
#include "arrest/geometry.h"
#include "simlink/batch.h"

namespace {
using namespace simlink;
/// Farther than any zone can be on the flat grid; also the answer of a failed search.
constexpr double kNoZoneDistance = 180.0;
}  // namespace

double TFormMain::FindNearestCarrier() {
  double best = kNoZoneDistance;
  FixedPoint lonFixed, latFixed;
  int16_t magVarRaw = 0;
  if (!Batch()
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
  if (carrierData.CatchZones) {
    // The index is not cleared first: with every zone 180 or more away it keeps naming the
    // last nearest one.
    for (size_t i = 0; i < carrierData.CatchZones->size(); ++i) {
      const TCatchZoneData& z = *(*carrierData.CatchZones)[i];
      const double d = FlatDistance(z.FrontRightCornerLat, z.FrontRightCornerLon, lat, lon);
      if (d < best) {
        best = d;
        NearestZoneIndex = static_cast<int32_t>(i);
      }
    }
  }

  if (NearestZoneIndex < 0 || !carrierData.CatchZones ||
      static_cast<size_t>(NearestZoneIndex) >= carrierData.CatchZones->size()) {
    StopProgram();
    ResetState(false);
    activity.programStopped = true;
    lblNearestCarrier.setText("Error: unable to find nearest cables. Please send a bug report.");
    NearestDistance = best;
    return best;
  }

  const TCatchZoneData& z = *(*carrierData.CatchZones)[static_cast<size_t>(NearestZoneIndex)];
  if (z.CarrierIdent != NearestCarrierIdent) {
    NearestCarrierIdent = z.CarrierIdent;
    cues.ShowSimMessage(NearestCarrierAnnouncement(NearestCarrierIdent, z.RunwayHeadingMag), 5);
  }
  // Both labels follow every successful search; their texts are only rebuilt when what they
  // show has changed, so the once-a-second gate does not format strings for nothing.
  if (nearestLabelText.empty() || nearestLabelIdent != NearestCarrierIdent ||
      nearestLabelHeading != z.RunwayHeadingMag) {
    nearestLabelIdent = NearestCarrierIdent;
    nearestLabelHeading = z.RunwayHeadingMag;
    nearestLabelText = NearestCarrierLabel(NearestCarrierIdent, z.RunwayHeadingMag);
  }
  lblNearestCarrier.setText(nearestLabelText);
  if (magVarLabelText.empty() || magVarLabelRaw != magVarRaw) {
    magVarLabelRaw = magVarRaw;
    magVarLabelText = MagVarLabel(MagVarDeg);
  }
  lblCurrentMagVar.setText(magVarLabelText);

  NearestDistance = best;
  return best;
}

void TFormMain::tmrFindNearestTimer() {
  // The flight-status text blinks once per search as a sign of life.
  lblFlightStatus.setColor(lblFlightStatus.color() == platform::Color::ButtonFace
                               ? platform::Color::White
                               : platform::Color::ButtonFace);
  tmrFindNearest.setEnabled(false);
  if (NearestZoneIndex == -1)
    cues.ShowSimMessage("Corvane enabled", 3);
  else if (ManuallyDisabled() && chkbxShowDisableReminders.checked())
    cues.ShowSimMessage("Corvane has been manually disabled", 3);
  FindNearestCarrier();
  lblCableCatchStatus.setText("");
  // A search that stopped the program leaves it stopped, with its error on show.
  if (activity.programStopped) return;
  tmrFindNearest.setEnabled(true);
  // Every search brings the catch gate back, also after catapult arming switched it off.
  tmrIsCatchCheckNeeded.setEnabled(true);
}
