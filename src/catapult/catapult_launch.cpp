#include <algorithm>

#include "app/form_main.h"
#include "catapult/catapult_rules.h"
#include "simlink/offsets.h"
#include "simlink/sim_link.h"

void TFormMain::tmrLaunchCheckTimer() {
  using namespace simlink;
  if (ManuallyDisabled()) {
    EndLaunch(false);
    return;
  }

  uint32_t result = 0;
  int16_t parkingBrake = 0;
  double forwardSpeed = 0;
  int16_t throttle = 0;
  uint8_t engineType = 0;
  int32_t tailWheel = 0;
  uint32_t lonLow = 0, lonHigh = 0, latLow = 0, latHigh = 0;
  if (!(SimLinkRead(kParkingBrake.offset, kParkingBrake.size, &parkingBrake, result) &&
        SimLinkRead(kForwardSpeed.offset, kForwardSpeed.size, &forwardSpeed, result) &&
        SimLinkRead(kThrottle1.offset, kThrottle1.size, &throttle, result) &&
        SimLinkRead(kEngineType.offset, kEngineType.size, &engineType, result) &&
        SimLinkRead(kTailWheel.offset, kTailWheel.size, &tailWheel, result) &&
        SimLinkRead(kLongitudeLow.offset, kLongitudeLow.size, &lonLow, result) &&
        SimLinkRead(kLongitudeHigh.offset, kLongitudeHigh.size, &lonHigh, result) &&
        SimLinkRead(kLatitudeLow.offset, kLatitudeLow.size, &latLow, result) &&
        SimLinkRead(kLatitudeHigh.offset, kLatitudeHigh.size, &latHigh, result) &&
        SimLinkProcess(result)))
    return;

  if (engineType == kEngineTypeHelicopter || tailWheel == 1) {
    EndLaunch(true);
    return;
  }
  // A zone list reloaded or searched away under an armed catapult leaves no catapult point:
  // that counts as out of reach.
  const TCatchZoneData* zone = CatapultZone();
  if (zone == nullptr ||
      !WithinCatapultKeepReach(zone->FrontLeftCornerLat - latitudeDegrees(latLow, latHigh),
                               zone->FrontLeftCornerLon - longitudeDegrees(lonLow, lonHigh))) {
    EndLaunch(true);
    return;
  }

  if (CatapultReleased(parkingBrake, throttle)) {
    SwitchSimSound(true);
    tmrKeystroke.setEnabled(false);
    tmrLaunchCheck.setEnabled(false);
    PlayCatapultSound();
    tmrAccel.setEnabled(true);
    return;
  }
  if (CatapultHolds(parkingBrake, forwardSpeed)) {
    const double hold = CatapultHoldAccel(CatapultHoldFactor, forwardSpeed);
    if (SimLinkWrite(kLongitudinalAccel.offset, kLongitudinalAccel.size, &hold, result))
      SimLinkProcess(result);
  }
}

void TFormMain::tmrAccelTimer() {
  using namespace simlink;
  uint32_t result = 0;
  double forwardSpeed = 0;
  if (!(SimLinkRead(kForwardSpeed.offset, kForwardSpeed.size, &forwardSpeed, result) &&
        SimLinkWrite(kLongitudinalAccel.offset, kLongitudinalAccel.size, &CatapultAccelFactor,
                     result) &&
        SimLinkProcess(result))) {
    EndLaunch(true);
    return;
  }
  // The speed read is the one before this tick's push took effect.
  if (forwardSpeed > CatapultCutoffFps) EndLaunch(false);
}

void TFormMain::EndLaunch(bool announce) {
  // The end of a stroke starts the same lock-out from catches as the end of an arrest.
  if (tmrAccel.enabled()) LastLaunchEnd = std::max<int64_t>(clock().nowMs(), 1);
  tmrLaunchCheck.setEnabled(false);
  tmrAccel.setEnabled(false);
  tmrIsCatchCheckNeeded.setEnabled(true);
  tmrKeystroke.setEnabled(true);
  tmrFindNearest.setEnabled(true);
  catapultSoundPlayed = false;
  SetSmoke(false);
  if (announce) ShowSimMessage("Catapult disarmed", 3);
  SetSmoke(false);
  SwitchSimSound(false);
}

bool TFormMain::SetSmoke(bool on) {
  uint32_t result = 0;
  const uint16_t value = on ? 1 : 0;
  return SimLinkWrite(simlink::kSmoke.offset, simlink::kSmoke.size, &value, result) &&
         SimLinkProcess(result);
}
