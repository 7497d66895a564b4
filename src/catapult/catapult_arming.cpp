#include <string>

#include "arrest/geometry.h"
#include "catapult/catapult.h"
#include "catapult/catapult_rules.h"
#include "config/option_table.h"
#include "cues/cues.h"
#include "logbook/trap_log.h"
#include "simlink/batch.h"

namespace {

/// Display time of the arming announcements and refusals, seconds.
constexpr int16_t kArmingMessageSeconds = 3;

}  // namespace

const TCatchZoneData* TCatapult::CatapultZone() const {
  return view_.NearestZone ? view_.NearestZone() : nullptr;
}

double TCatapult::HeadwindFps(const TCatchZoneData& zone, uint16_t windKt,
                              uint16_t windFrom) const {
  return HeadwindAlongDeck(zone, view_.MagVarDeg ? view_.MagVarDeg() : 0.0,
                           windKt * options::FpsPerKnot, simlink::windDirectionDegrees(windFrom));
}

void TCatapult::RefuseLaunch(const std::string& text) {
  view_.cues.ShowSimMessage(text, kArmingMessageSeconds);
  view_.lblOtherStatus.setText(text);
}

void TCatapult::actCatapultArmExecute() {
  using namespace simlink;
  if (ManuallyDisabled()) {
    view_.cues.ShowSimMessage("Catapult not available - Corvane has been manually disabled",
                              kArmingMessageSeconds);
    return;
  }
  view_.cues.catapultSoundPlayed = false;

  if (view_.activity.Armed()) {
    // Only the hold stops (nothing else runs while armed); the hot-key poll brings the search
    // back and the search the gate.
    view_.cues.ShowSimMessage("Catapult disarmed", kArmingMessageSeconds);
    view_.activity.Enter(Activity::Idle);
    return;
  }

  uint8_t engineType = 0;
  int32_t tailWheel = 0;
  if (!Batch(view_.link).read(kEngineType, engineType).read(kTailWheel, tailWheel).process())
    return;
  if (const char* reason = CatapultTypeRefusal(engineType, tailWheel)) {
    view_.cues.ShowSimMessage(std::string(kCatapultNotArmed) + reason, kArmingMessageSeconds);
    return;
  }

  FixedPoint lon, lat;
  if (!Batch(view_.link).read(kLongitude, lon).read(kLatitude, lat).process()) return;
  const TCatchZoneData* zone = CatapultZone();
  if (zone == nullptr ||
      !WithinCatapultArmingReach(zone->FrontLeftCornerLat - latitudeDegrees(lat),
                                 zone->FrontLeftCornerLon - longitudeDegrees(lon))) {
    view_.cues.ShowSimMessage(std::string(kCatapultNotArmed) + "too far from nearest known cables",
                              kArmingMessageSeconds);
    return;
  }

  int16_t parkingBrake = 0;
  int32_t gearLever = 0;
  int16_t onGround = 0;
  const bool read = Batch(view_.link)
                        .read(kParkingBrake, parkingBrake)
                        .read(kGearLever, gearLever)
                        .read(kOnGround, onGround)
                        .process();
  if (!read) {
    view_.cues.ShowSimMessage(kCatapultNotArmed, kArmingMessageSeconds);
    return;
  }
  if (!CatapultStateReady(onGround, gearLever, parkingBrake)) {
    view_.cues.ShowSimMessage(
        std::string(kCatapultNotArmed) + CatapultStateRefusal(onGround, gearLever, parkingBrake),
        kArmingMessageSeconds);
    return;
  }

  if (view_.chkbxRealisticGear.checked()) {
    uint16_t windKt = 0, windFrom = 0;
    if (!Batch(view_.link).read(kWindSpeed, windKt).read(kWindDirection, windFrom).process()) {
      view_.cues.ShowSimMessage(kCatapultNotArmed, kArmingMessageSeconds);
      return;
    }
    const std::string reason =
        EndAirspeedRefusal(view_.options.CatapultCutoffFps, HeadwindFps(*zone, windKt, windFrom),
                           zone->CatapultStrokeFeet);
    if (!reason.empty()) {
      RefuseLaunch(kCatapultNotArmed + reason);
      return;
    }
  }

  view_.cues.ShowSimMessage("CATAPULT ARMED", kArmingMessageSeconds);
  view_.trapLog.TrapLogArrestEnd("catapult");
  view_.tmrIsCatchCheckNeeded.setEnabled(false);
  view_.tmrFindNearest.setEnabled(false);
  // The launch check alone: the stroke, the catch check and the deceleration stop.
  view_.activity.Enter(Activity::Armed);
}
