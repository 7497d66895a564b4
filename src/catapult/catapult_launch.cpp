#include <algorithm>

#include "catapult/catapult.h"
#include "catapult/catapult_rules.h"
#include "cues/cues.h"
#include "logbook/trap_log.h"
#include "simlink/batch.h"

void TCatapult::tmrLaunchCheckTimer() {
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
  if (!Batch(view_.link)
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
    view_.cues.SwitchSimSound(true);
    view_.tmrKeystroke.setEnabled(false);
    // The hold ends here; the stroke starts once its first sound, smoke and record are out.
    view_.activity.Enter(Activity::Idle);
    view_.cues.PlayCatapultSound();
    if (view_.chkbxCatSmoke.checked()) SetSmoke(true);
    view_.trapLog.TrapLogLaunchStart(CatapultZone(), forwardSpeed);
    view_.activity.Enter(Activity::Launching);
    return;
  }
  if (CatapultHolds(parkingBrake, forwardSpeed)) {
    const double hold = CatapultHoldAccel(view_.options.CatapultHoldFactor, forwardSpeed);
    Batch(view_.link).write(kLongitudinalAccel, hold).process();
  }
}

void TCatapult::tmrAccelTimer() {
  using namespace simlink;
  double forwardSpeed = 0;
  if (!Batch(view_.link)
           .read(kForwardSpeed, forwardSpeed)
           .write(kLongitudinalAccel, view_.options.CatapultAccelFactor)
           .process()) {
    view_.trapLog.TrapLogLaunchEnd("link");
    EndLaunch(true);
    return;
  }
  view_.trapLog.TrapLogLaunchSample(forwardSpeed);
  // The speed read is the one before this tick's push took effect.
  if (forwardSpeed > view_.options.CatapultCutoffFps) {
    view_.trapLog.TrapLogLaunchEnd("cutoff");
    EndLaunch(false);
  }
}

void TCatapult::EndLaunch(bool announce) {
  view_.trapLog.TrapLogLaunchEnd("early");
  // The end of a stroke starts the same lock-out from catches as the end of an arrest.
  if (view_.activity.Launching()) LastLaunchEnd = std::max<int64_t>(view_.clock.nowMs(), 1);
  // Neither armed nor launching; the catch check is left to the gate.
  view_.activity.Enter(Activity::Idle);
  view_.tmrIsCatchCheckNeeded.setEnabled(true);
  view_.tmrKeystroke.setEnabled(true);
  view_.tmrFindNearest.setEnabled(true);
  view_.cues.catapultSoundPlayed = false;
  SetSmoke(false);
  if (announce) view_.cues.ShowSimMessage("Catapult disarmed", 3);
  SetSmoke(false);
  view_.cues.SwitchSimSound(false);
}

bool TCatapult::SetSmoke(bool on) {
  const uint16_t value = on ? 1 : 0;
  return simlink::Batch(view_.link).write(simlink::kSmoke, value).process();
}
