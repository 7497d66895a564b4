#include <string>

#include "app/form_main.h"
#include "catapult/catapult_rules.h"
#include "simlink/offsets.h"
#include "simlink/sim_link.h"

namespace {

/// Display time of the arming announcements and refusals, seconds.
constexpr int16_t kArmingMessageSeconds = 3;

}  // namespace

const TCatchZoneData* TFormMain::CatapultZone() const {
  if (!CatchZones || NearestZoneIndex < 0) return nullptr;
  const auto index = static_cast<size_t>(NearestZoneIndex);
  if (index >= CatchZones->size()) return nullptr;
  return (*CatchZones)[index].get();
}

void TFormMain::actCatapultArmExecute() {
  using namespace simlink;
  if (ManuallyDisabled()) {
    ShowSimMessage("Catapult not available - Corvane has been manually disabled",
                   kArmingMessageSeconds);
    return;
  }
  catapultSoundPlayed = false;

  if (tmrLaunchCheck.enabled()) {
    // Only the hold stops; the hot-key poll brings the search back and the search the gate.
    ShowSimMessage("Catapult disarmed", kArmingMessageSeconds);
    tmrLaunchCheck.setEnabled(false);
    return;
  }

  uint32_t result = 0;
  uint8_t engineType = 0;
  int32_t tailWheel = 0;
  if (!(SimLinkRead(kEngineType.offset, kEngineType.size, &engineType, result) &&
        SimLinkRead(kTailWheel.offset, kTailWheel.size, &tailWheel, result) &&
        SimLinkProcess(result)))
    return;
  if (const char* reason = CatapultTypeRefusal(engineType, tailWheel)) {
    ShowSimMessage(std::string(kCatapultNotArmed) + reason, kArmingMessageSeconds);
    return;
  }

  uint32_t lonLow = 0, lonHigh = 0, latLow = 0, latHigh = 0;
  if (!(SimLinkRead(kLongitudeLow.offset, kLongitudeLow.size, &lonLow, result) &&
        SimLinkRead(kLongitudeHigh.offset, kLongitudeHigh.size, &lonHigh, result) &&
        SimLinkRead(kLatitudeLow.offset, kLatitudeLow.size, &latLow, result) &&
        SimLinkRead(kLatitudeHigh.offset, kLatitudeHigh.size, &latHigh, result) &&
        SimLinkProcess(result)))
    return;
  const TCatchZoneData* zone = CatapultZone();
  if (zone == nullptr ||
      !WithinCatapultArmingReach(zone->FrontLeftCornerLat - latitudeDegrees(latLow, latHigh),
                                 zone->FrontLeftCornerLon - longitudeDegrees(lonLow, lonHigh))) {
    ShowSimMessage(std::string(kCatapultNotArmed) + "too far from nearest known cables",
                   kArmingMessageSeconds);
    return;
  }

  int16_t parkingBrake = 0;
  int32_t gearLever = 0;
  int16_t onGround = 0;
  const bool read = SimLinkRead(kParkingBrake.offset, kParkingBrake.size, &parkingBrake, result) &&
                    SimLinkRead(kGearLever.offset, kGearLever.size, &gearLever, result) &&
                    SimLinkRead(kOnGround.offset, kOnGround.size, &onGround, result) &&
                    SimLinkProcess(result);
  if (!read) {
    ShowSimMessage(kCatapultNotArmed, kArmingMessageSeconds);
    return;
  }
  if (!CatapultStateReady(onGround, gearLever, parkingBrake)) {
    ShowSimMessage(
        std::string(kCatapultNotArmed) + CatapultStateRefusal(onGround, gearLever, parkingBrake),
        kArmingMessageSeconds);
    return;
  }

  ShowSimMessage("CATAPULT ARMED", kArmingMessageSeconds);
  tmrAccel.setEnabled(false);
  tmrCheckForCatch.setEnabled(false);
  tmrDecel.setEnabled(false);
  tmrIsCatchCheckNeeded.setEnabled(false);
  tmrFindNearest.setEnabled(false);
  tmrLaunchCheck.setEnabled(true);
}
