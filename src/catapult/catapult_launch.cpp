#include <algorithm>

#include "app/form_main.h"
#include "catapult/catapult_rules.h"
#include "simlink/batch.h"

void TFormMain::tmrLaunchCheckTimer() {
  using namespace simlink;
  if (ManuallyDisabled()) {
    EndLaunch(false);
    return;
  }

  int16_t parkingBrake = 0;
  double forwardSpeed = 0;
  int16_t throttle = 0;
  uint8_t engineType = 0;
  int32_t tailWheel = 0;
  FixedPoint lon, lat;
  if (!Batch()
           .read(kParkingBrake, parkingBrake)
           .read(kForwardSpeed, forwardSpeed)
           .read(kThrottle1, throttle)
           .read(kEngineType, engineType)
           .read(kTailWheel, tailWheel)
           .read(kLongitude, lon)
           .read(kLatitude, lat)
           .process())
    return;

  if (engineType == kEngineTypeHelicopter || tailWheel == 1) {
    EndLaunch(true);
    return;
  }
  // A zone list reloaded or searched away under an armed catapult leaves no catapult point:
  // that counts as out of reach.
  const TCatchZoneData* zone = CatapultZone();
  if (zone == nullptr ||
      !WithinCatapultKeepReach(zone->FrontLeftCornerLat - latitudeDegrees(lat),
                               zone->FrontLeftCornerLon - longitudeDegrees(lon))) {
    EndLaunch(true);
    return;
  }

  if (CatapultReleased(parkingBrake, throttle)) {
    cues.SwitchSimSound(true);
    tmrKeystroke.setEnabled(false);
    tmrLaunchCheck.setEnabled(false);
    cues.PlayCatapultSound();
    if (chkbxCatSmoke.checked()) SetSmoke(true);
    trapLog.TrapLogLaunchStart(CatapultZone(), forwardSpeed);
    tmrAccel.setEnabled(true);
    return;
  }
  if (CatapultHolds(parkingBrake, forwardSpeed)) {
    const double hold = CatapultHoldAccel(options.CatapultHoldFactor, forwardSpeed);
    Batch().write(kLongitudinalAccel, hold).process();
  }
}

void TFormMain::tmrAccelTimer() {
  using namespace simlink;
  double forwardSpeed = 0;
  if (!Batch()
           .read(kForwardSpeed, forwardSpeed)
           .write(kLongitudinalAccel, options.CatapultAccelFactor)
           .process()) {
    trapLog.TrapLogLaunchEnd("link");
    EndLaunch(true);
    return;
  }
  trapLog.TrapLogLaunchSample(forwardSpeed);
  // The speed read is the one before this tick's push took effect.
  if (forwardSpeed > options.CatapultCutoffFps) {
    trapLog.TrapLogLaunchEnd("cutoff");
    EndLaunch(false);
  }
}

void TFormMain::EndLaunch(bool announce) {
  trapLog.TrapLogLaunchEnd("early");
  // The end of a stroke starts the same lock-out from catches as the end of an arrest.
  if (tmrAccel.enabled()) LastLaunchEnd = std::max<int64_t>(clock().nowMs(), 1);
  tmrLaunchCheck.setEnabled(false);
  tmrAccel.setEnabled(false);
  tmrIsCatchCheckNeeded.setEnabled(true);
  tmrKeystroke.setEnabled(true);
  tmrFindNearest.setEnabled(true);
  cues.catapultSoundPlayed = false;
  SetSmoke(false);
  if (announce) cues.ShowSimMessage("Catapult disarmed", 3);
  SetSmoke(false);
  cues.SwitchSimSound(false);
}

bool TFormMain::SetSmoke(bool on) {
  const uint16_t value = on ? 1 : 0;
  return simlink::Batch().write(simlink::kSmoke, value).process();
}
