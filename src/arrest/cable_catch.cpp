#include <algorithm>
#include <cmath>

#include "app/form_main.h"
#include "arrest/geometry.h"
#include "simlink/batch.h"

namespace {
using namespace simlink;

/// No new catch within this many milliseconds after an arrest has ended.
constexpr int64_t kArrestLockoutMs = 30000;
}  // namespace

void TFormMain::tmrCheckForCatchTimer() {
  // Off during the work and on again afterwards, so the 50 ms count starts from the end of it.
  tmrCheckForCatch.setEnabled(false);
  [&] {
    const int64_t now = clock().nowMs();
    // After an arrest, and after a launch, the aircraft is left to clear the deck.
    for (const int64_t end : {LastArrestEnd, LastLaunchEnd})
      if (end != 0 && now - end <= kArrestLockoutMs) return;

    uint32_t heading = 0;
    int32_t bank = 0;
    FixedPoint alt, lon, lat;
    int16_t onGround = 0;
    double hook = 0;
    uint32_t groundSpeed = 0;
    int32_t verticalSpeed = 0;
    const bool logging = chkbxTrapLog.checked();
    Batch batch;
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
    if (!batch.process()) return;

    bool hookRequired = false;
    if constexpr (edition::HasTailhookOption) hookRequired = chkbxDetectTailhook.checked();
    // A hook that is required but up is refused by the catch test below.
    if (tmrDecel.enabled()) return;
    if (NearestZoneIndex < 0 || !carrierData.CatchZones ||
        static_cast<size_t>(NearestZoneIndex) >= carrierData.CatchZones->size())
      return;
    const TCatchZoneData& zone = *(*carrierData.CatchZones)[static_cast<size_t>(NearestZoneIndex)];

    TCatchReadings r;
    r.trueHeadingDeg = angleDegrees(heading);
    r.bankDeg = angleDegrees(bank);
    r.onGround = onGround == 1;
    r.altitudeM = altitudeMetres(alt);
    r.lat = latitudeDegrees(lat);
    r.lon = longitudeDegrees(lon);
    r.tailhook = hook;
    const TCatchVerdict verdict =
        CatchVerdict(zone, r, MagVarDeg, hookRequired, CatchAngleThreshold);
    if (logging)
      trapLog.TrapLogPass(zone, r, verdict == TCatchVerdict::Caught, MissedCatchReason(verdict),
                          groundSpeedKnots(groundSpeed), -verticalSpeedFpm(verticalSpeed),
                          MagVarDeg);
    if (verdict != TCatchVerdict::Caught) return;

    cues.SwitchSimSound(true);
    tmrLaunchCheck.setEnabled(false);
    tmrCheckForCatch.setEnabled(false);
    tmrAccel.setEnabled(false);
    tmrKeystroke.setEnabled(false);
    tmrFindNearest.setEnabled(false);
    cues.PlayCatchSound();
    static const std::string kCaught = "Cables were CAUGHT.";
    lblCableCatchStatus.setText(kCaught);
    tmrDecel.setEnabled(true);
    // The first deceleration goes out at once rather than one decel period later, so the
    // cables bite within one catch period (plus this exchange) of entering the catch area.
    tmrDecelTimer();
  }();
  // Also after a catch: the ticks go on during the arrest and stop early while tmrDecel runs.
  tmrCheckForCatch.setEnabled(true);
}

void TFormMain::tmrDecelTimer() {
  double speed = 0;
  const bool read = Batch().read(kForwardSpeed, speed).process();
  if (read) trapLog.TrapLogArrestSample(speed);
  if (read && speed > 0) {
    // A refused or failed write is simply repeated by the next tick.
    (void)Batch().write(kLongitudinalAccel, options.CableCatchAccelFactor).process();
    return;
  }
  // Stopped, or the speed could not be read: the arrest ends. A failed exchange is a lost
  // simulator, not a stop, and gets no grade.
  if (!read) trapLog.TrapLogArrestEnd("link");
  EndArrest();
}

void TFormMain::EndArrest() {
  trapLog.TrapLogArrestEnd("stopped");
  tmrDecel.setEnabled(false);
  tmrFindNearest.setEnabled(true);
  tmrKeystroke.setEnabled(true);
  // 0 means "no arrest yet", so a real end is never recorded as 0.
  LastArrestEnd = std::max<int64_t>(clock().nowMs(), 1);
  cues.SwitchSimSound(false);
}
