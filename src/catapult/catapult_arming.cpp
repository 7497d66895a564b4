#include <string>

#include "app/form_main.h"
#include "catapult/catapult_rules.h"
#include "simlink/batch.h"

namespace {

/// Display time of the arming announcements and refusals, seconds.
constexpr int16_t kArmingMessageSeconds = 3;

}  // namespace

const TCatchZoneData* TFormMain::CatapultZone() const {
  if (!carrierData.CatchZones || NearestZoneIndex < 0) return nullptr;
  const auto index = static_cast<size_t>(NearestZoneIndex);
  if (index >= carrierData.CatchZones->size()) return nullptr;
  return (*carrierData.CatchZones)[index].get();
}

void TFormMain::actCatapultArmExecute() {
  using namespace simlink;
  if (ManuallyDisabled()) {
    cues.ShowSimMessage("Catapult not available - Corvane has been manually disabled",
                        kArmingMessageSeconds);
    return;
  }
  cues.catapultSoundPlayed = false;

  if (tmrLaunchCheck.enabled()) {
    // Only the hold stops; the hot-key poll brings the search back and the search the gate.
    cues.ShowSimMessage("Catapult disarmed", kArmingMessageSeconds);
    tmrLaunchCheck.setEnabled(false);
    return;
  }

  uint8_t engineType = 0;
  int32_t tailWheel = 0;
  if (!Batch().read(kEngineType, engineType).read(kTailWheel, tailWheel).process()) return;
  if (const char* reason = CatapultTypeRefusal(engineType, tailWheel)) {
    cues.ShowSimMessage(std::string(kCatapultNotArmed) + reason, kArmingMessageSeconds);
    return;
  }

  FixedPoint lon, lat;
  if (!Batch().read(kLongitude, lon).read(kLatitude, lat).process()) return;
  const TCatchZoneData* zone = CatapultZone();
  if (zone == nullptr ||
      !WithinCatapultArmingReach(zone->FrontLeftCornerLat - latitudeDegrees(lat),
                                 zone->FrontLeftCornerLon - longitudeDegrees(lon))) {
    cues.ShowSimMessage(std::string(kCatapultNotArmed) + "too far from nearest known cables",
                        kArmingMessageSeconds);
    return;
  }

  int16_t parkingBrake = 0;
  int32_t gearLever = 0;
  int16_t onGround = 0;
  const bool read = Batch()
                        .read(kParkingBrake, parkingBrake)
                        .read(kGearLever, gearLever)
                        .read(kOnGround, onGround)
                        .process();
  if (!read) {
    cues.ShowSimMessage(kCatapultNotArmed, kArmingMessageSeconds);
    return;
  }
  if (!CatapultStateReady(onGround, gearLever, parkingBrake)) {
    cues.ShowSimMessage(
        std::string(kCatapultNotArmed) + CatapultStateRefusal(onGround, gearLever, parkingBrake),
        kArmingMessageSeconds);
    return;
  }

  cues.ShowSimMessage("CATAPULT ARMED", kArmingMessageSeconds);
  trapLog.TrapLogArrestEnd("catapult");
  tmrAccel.setEnabled(false);
  tmrCheckForCatch.setEnabled(false);
  tmrDecel.setEnabled(false);
  tmrIsCatchCheckNeeded.setEnabled(false);
  tmrFindNearest.setEnabled(false);
  tmrLaunchCheck.setEnabled(true);
}
