#include <algorithm>

#include "catapult/catapult.h"
#include "catapult/catapult_rules.h"
#include "config/option_table.h"
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
  uint16_t windKt = 0, windFrom = 0;
  const bool realistic = view_.chkbxRealisticGear.checked();
  Batch batch(view_.link);
  batch.read(kParkingBrake, parkingBrake)
      .read(kForwardSpeed, forwardSpeed)
      .read(kThrottle1, throttle)
      .read(kEngineType, engineType)
      .read(kTailWheel, tailWheel)
      .read(kLongitude, lon)
      .read(kLatitude, lat);
  if (realistic) batch.read(kWindSpeed, windKt).read(kWindDirection, windFrom);
  if (!batch.process()) return;

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
    strokeByAirspeed.reset();
    if (realistic) {
      // The wind may have changed while the aircraft was held: the stroke is planned, or
      // refused, on the wind at release.
      const double headwindFps = HeadwindFps(*zone, windKt, windFrom);
      const std::string reason = EndAirspeedRefusal(view_.options.CatapultCutoffFps, headwindFps,
                                                    zone->CatapultStrokeFeet, forwardSpeed);
      if (!reason.empty()) {
        EndLaunch(false);
        RefuseLaunch("Launch refused -- " + reason);
        return;
      }
      strokeByAirspeed.emplace(forwardSpeed, view_.options.CatapultCutoffFps, headwindFps,
                               zone->CatapultStrokeFeet);
      strokeLastTickMs = view_.clock.nowMs();
      strokeStartLat = latitudeDegrees(lat);
      strokeStartLon = longitudeDegrees(lon);
    }
    view_.cues.SwitchSimSound(true);
    view_.tmrKeystroke.setEnabled(false);
    // The hold ends here; the stroke starts once its first sound, smoke and record are out.
    view_.activity.Enter(Activity::Idle);
    view_.cues.PlayCatapultSound();
    if (view_.chkbxCatSmoke.checked()) SetSmoke(true);
    view_.trapLog.TrapLogLaunchStart(CatapultZone(), forwardSpeed);
    if (strokeByAirspeed)
      view_.trapLog.trapLogLaunch.gear.windOverDeckKt =
          strokeByAirspeed->HeadwindFps() / options::FpsPerKnot;
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
  if (strokeByAirspeed) {
    StrokeByAirspeedTick();
    return;
  }
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

void TCatapult::StrokeByAirspeedTick() {
  using namespace simlink;
  double forwardSpeed = 0;
  FixedPoint lon, lat;
  if (!Batch(view_.link)
           .read(kForwardSpeed, forwardSpeed)
           .read(kLongitude, lon)
           .read(kLatitude, lat)
           .process()) {
    view_.trapLog.TrapLogLaunchEnd("link");
    EndLaunch(true);
    return;
  }
  view_.trapLog.TrapLogLaunchSample(forwardSpeed);
  const double distanceFt =
      StrokeDistanceFt(strokeStartLat, strokeStartLon, latitudeDegrees(lat), longitudeDegrees(lon));
  if (strokeByAirspeed->Done(distanceFt, forwardSpeed)) {
    view_.trapLog.TrapLogLaunchEnd("cutoff");
    EndLaunch(false);
    return;
  }
  // The push is worked out from what was measured, then written: the measured speed already
  // holds every earlier push.
  const int64_t now = view_.clock.nowMs();
  const double push =
      strokeByAirspeed->PushFps2(distanceFt, forwardSpeed, (now - strokeLastTickMs) / 1000.0);
  strokeLastTickMs = now;
  if (!Batch(view_.link).write(kLongitudinalAccel, push).process()) {
    view_.trapLog.TrapLogLaunchEnd("link");
    EndLaunch(true);
  }
}

void TCatapult::EndLaunch(bool announce) {
  // A simulator that holds a written acceleration until the next write would go on pushing.
  if (strokeByAirspeed && view_.activity.Launching())
    simlink::Batch(view_.link).write(simlink::kLongitudinalAccel, 0.0).process();
  strokeByAirspeed.reset();
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
