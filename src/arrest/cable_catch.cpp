#include "arrest/arrest.h"

#include <algorithm>
#include <cmath>

#include "activity/activity.h"
#include "arrest/geometry.h"
#include "cues/cues.h"
#include "edition/edition.h"
#include "logbook/log_rules.h"
#include "logbook/trap_log.h"
#include "simlink/batch.h"

namespace {
using namespace simlink;

/// No new catch within this many milliseconds after an arrest has ended.
constexpr int64_t kArrestLockoutMs = 30000;
/// A check further back than this is no neighbour of the next one: the checks were paused (the
/// gate pauses them for at least its own second), and the path between them is not known.
constexpr int64_t kCatchPointMaxGapMs = 500;
}  // namespace

void TArrest::tmrCheckForCatchTimer() {
  // Off during the work and on again afterwards, so the 50 ms count starts from the end of it.
  view_.activity.SetChecking(false);
  [&] {
    const int64_t now = view_.clock.nowMs();
    // After an arrest, and after a launch, the aircraft is left to clear the deck.
    for (const int64_t end : {LastArrestEnd, view_.lastLaunchEnd()})
      if (end != 0 && now - end <= kArrestLockoutMs) return;

    uint32_t heading = 0;
    int32_t bank = 0;
    FixedPoint alt, lon, lat;
    int16_t onGround = 0;
    double hook = 0;
    uint32_t groundSpeed = 0;
    int32_t verticalSpeed = 0;
    uint16_t windKt = 0, windFrom = 0;
    const bool logging = view_.chkbxTrapLog.checked();
    // The wind over the deck is a figure of the log's, kept with realistic gear.
    const bool windLogged = logging && view_.chkbxRealisticGear.checked();
    Batch batch(view_.link);
    batch.read(kHeadingTrue, heading)
        .read(kBank, bank)
        .read(kOnGround, onGround)
        .read(kAltitude, alt)
        .read(kLongitude, lon)
        .read(kLatitude, lat);
    // The FS2002 edition has no tailhook option and never reads the hook.
    if constexpr (edition::HasTailhookOption) batch.read(kTailHook, hook);
    // The log's figures of the pass are read only while the log is kept.
    if (logging)
      batch.read(kGroundSpeed, groundSpeed).read(kLastAirborneVerticalSpeed, verticalSpeed);
    if (windLogged) batch.read(kWindSpeed, windKt).read(kWindDirection, windFrom);
    if (!batch.process()) return;

    bool hookRequired = false;
    if constexpr (edition::HasTailhookOption) hookRequired = view_.chkbxDetectTailhook.checked();
    // A hook that is required but up is refused by the catch test below.
    const TCatchZoneList* zones = view_.catchZones();
    const bool zoneKnown =
        NearestZoneIndex >= 0 && zones && static_cast<size_t>(NearestZoneIndex) < zones->size();

    TCatchReadings r;
    r.trueHeadingDeg = angleDegrees(heading);
    r.bankDeg = angleDegrees(bank);
    r.onGround = onGround == 1;
    r.altitudeM = altitudeMetres(alt);
    r.lat = latitudeDegrees(lat);
    r.lon = longitudeDegrees(lon);
    r.tailhook = hook;
    const double groundSpeedKt = groundSpeedKnots(groundSpeed);
    const double sinkFpm = -verticalSpeedFpm(verticalSpeed);
    if (view_.activity.Arresting()) {
      // The pass's sheet runs on to the stop.
      if (logging && zoneKnown)
        view_.trapLog.TrapLogArrestPosition(*(*zones)[static_cast<size_t>(NearestZoneIndex)], r,
                                            groundSpeedKt, sinkFpm, MagVarDeg);
      return;
    }
    if (!zoneKnown) return;
    const TCatchZoneData& zone = *(*zones)[static_cast<size_t>(NearestZoneIndex)];

    const TCatchVerdict verdict =
        CatchVerdict(zone, r, MagVarDeg, hookRequired, CatchAngleThreshold);
    // Realistic gear: the cables take the aircraft where its path entered the catch window,
    // between the check before and this one, not where this check happened to see it.
    const TCheckPosition here{r.lat, r.lon, r.altitudeM, r.onGround};
    std::optional<int> wire;
    if (verdict == TCatchVerdict::Caught) catchPoint.reset();
    if (verdict == TCatchVerdict::Caught && view_.chkbxRealisticGear.checked()) {
      std::optional<TCheckPosition> before;
      if (lastCheck && lastCheck->zoneIndex == NearestZoneIndex &&
          now - lastCheck->timeMs <= kCatchPointMaxGapMs)
        before = lastCheck->position;
      catchPoint = CatchPointOf(zone, before, here);
      wire = catchPoint->wire;
    }
    lastCheck = TLastCheck{here, now, NearestZoneIndex};
    if (logging) {
      const TPassTick tick = view_.trapLog.TrapLogPass(zone, r, verdict == TCatchVerdict::Caught,
                                                       MissedCatchReason(verdict), groundSpeedKt,
                                                       sinkFpm, MagVarDeg, wire);
      for (const std::string& call : tick.calls)
        if (view_.onLsoCall) view_.onLsoCall(call);
      if (!tick.message.empty()) view_.cues.ShowSimMessage(tick.message, TrapLogMessageSeconds);
    }
    if (verdict != TCatchVerdict::Caught) return;
    if (windLogged)
      view_.trapLog.trapLogArrest.gear.windOverDeckKt =
          HeadwindAlongDeck(zone, MagVarDeg, windKt, windDirectionDegrees(windFrom));

    // The run-out counts from where the path entered the catch window.
    CatchPointLat = catchPoint ? catchPoint->lat : r.lat;
    CatchPointLon = catchPoint ? catchPoint->lon : r.lon;
    RunoutArrest = view_.chkbxRealisticGear.checked();
    runoutStarted = false;
    if (RunoutArrest) {
      RunoutArrestFeet = zone.RunoutFeet;
      view_.trapLog.trapLogArrest.gear.runoutFt = RunoutArrestFeet;
    }

    view_.cues.SwitchSimSound(true);
    view_.tmrKeystroke.setEnabled(false);
    view_.tmrFindNearest.setEnabled(false);
    view_.cues.PlayCatchSound();
    static const std::string kCaught = "Cables were CAUGHT.";
    view_.lblCableCatchStatus.setText(kCaught);
    // Also stops the catapult's hold and stroke and the catch check: a trap ends any launch.
    view_.activity.Enter(Activity::Arresting);
    // The first deceleration goes out at once rather than one decel period later, so the
    // cables bite within one catch period (plus this exchange) of entering the catch area.
    tmrDecelTimer();
  }();
  // Also after a catch: the ticks go on during the arrest and stop early while tmrDecel runs.
  view_.activity.SetChecking(true);
}

void TArrest::tmrDecelTimer() {
  if (RunoutArrest) {
    RunoutDecelTick();
    return;
  }
  double speed = 0;
  const bool read = Batch(view_.link).read(kForwardSpeed, speed).process();
  if (read) view_.trapLog.TrapLogArrestSample(speed);
  if (read && speed > 0) {
    // A refused or failed write is simply repeated by the next tick.
    (void)Batch(view_.link)
        .write(kLongitudinalAccel, view_.options.CableCatchAccelFactor)
        .process();
    return;
  }
  // Stopped, or the speed could not be read: the arrest ends. A failed exchange is a lost
  // simulator, not a stop, and gets no grade.
  if (!read) view_.trapLog.TrapLogArrestEnd("link");
  EndArrest();
}

void TArrest::RunoutDecelTick() {
  double speed = 0;
  FixedPoint lat, lon;
  const bool read = Batch(view_.link)
                        .read(kForwardSpeed, speed)
                        .read(kLatitude, lat)
                        .read(kLongitude, lon)
                        .process();
  if (read) view_.trapLog.TrapLogArrestSample(speed);
  if (read && !TRunout::Stopped(speed)) {
    const int64_t now = view_.clock.nowMs();
    const double distanceFt = GroundDistanceFeet(CatchPointLat, CatchPointLon, latitudeDegrees(lat),
                                                 longitudeDegrees(lon));
    if (!runoutStarted) {
      Runout.Start(now, RunoutArrestFeet, speed);
      runoutStarted = true;
    }
    const double accel = Runout.Tick(now, distanceFt, speed);
    if (Runout.Limited())
      view_.trapLog.trapLogArrest.gear.note = RunoutLimitNote(distanceFt, RunoutArrestFeet);
    (void)Batch(view_.link).write(kLongitudinalAccel, accel).process();
    return;
  }
  if (!read) view_.trapLog.TrapLogArrestEnd("link");
  EndArrest();
}

void TArrest::EndArrest() {
  view_.trapLog.TrapLogArrestEnd("stopped");
  if (RunoutArrest) {
    RunoutArrest = false;
    // A simulator that holds a written acceleration until the next write would go on pulling.
    (void)Batch(view_.link).write(kLongitudinalAccel, 0.0).process();
  }
  view_.activity.Leave(Activity::Arresting);
  view_.tmrFindNearest.setEnabled(true);
  view_.tmrKeystroke.setEnabled(true);
  // 0 means "no arrest yet", so a real end is never recorded as 0.
  LastArrestEnd = std::max<int64_t>(view_.clock.nowMs(), 1);
  view_.cues.SwitchSimSound(false);
}
