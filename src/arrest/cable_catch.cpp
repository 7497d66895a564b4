#include <algorithm>
#include <cmath>

#include "app/form_main.h"
#include "arrest/geometry.h"
#include "simlink/sim_link.h"

namespace {
constexpr uint32_t kHeading = 0x0580, kBank = 0x057C, kOnGround = 0x0366;
constexpr uint32_t kAltLow = 0x0570, kAltHigh = 0x0574;
constexpr uint32_t kLonLow = 0x0568, kLonHigh = 0x056C, kLatLow = 0x0560, kLatHigh = 0x0564;
constexpr uint32_t kTailhook = 0x3BA0, kForwardSpeed = 0x3090, kAccel = 0x3070;
/// No new catch within this many milliseconds after an arrest has ended.
constexpr int64_t kArrestLockoutMs = 30000;
}  // namespace

void TFormMain::tmrCheckForCatchTimer() {
  // Off during the work and on again afterwards, so the 50 ms count starts from the end of it.
  tmrCheckForCatch.setEnabled(false);
  [&] {
    if (LastArrestEnd != 0 && clock().nowMs() - LastArrestEnd <= kArrestLockoutMs) return;

    uint32_t heading = 0, altLow = 0, lonLow = 0, latLow = 0;
    int32_t bank = 0, altHigh = 0, lonHigh = 0, latHigh = 0;
    int16_t onGround = 0;
    double hook = 0;
    uint32_t result = 0;
    bool read = SimLinkRead(kHeading, 4, &heading, result) &&
                SimLinkRead(kBank, 4, &bank, result) &&
                SimLinkRead(kOnGround, 2, &onGround, result) &&
                SimLinkRead(kAltLow, 4, &altLow, result) &&
                SimLinkRead(kAltHigh, 4, &altHigh, result) &&
                SimLinkRead(kLonLow, 4, &lonLow, result) &&
                SimLinkRead(kLonHigh, 4, &lonHigh, result) &&
                SimLinkRead(kLatLow, 4, &latLow, result) &&
                SimLinkRead(kLatHigh, 4, &latHigh, result);
    // The FS2002 edition has no tailhook option and never reads the hook.
    if constexpr (edition::HasTailhookOption) read = read && SimLinkRead(kTailhook, 8, &hook, result);
    if (!(read && SimLinkProcess(result))) return;

    bool hookRequired = false;
    if constexpr (edition::HasTailhookOption) hookRequired = chkbxDetectTailhook.checked();
    if (hookRequired && !(hook > 0.5)) return;
    if (tmrDecel.enabled()) return;
    if (NearestZoneIndex < 0 || !CatchZones ||
        static_cast<size_t>(NearestZoneIndex) >= CatchZones->size())
      return;
    const TCatchZoneData& zone = *(*CatchZones)[static_cast<size_t>(NearestZoneIndex)];

    TCatchReadings r;
    r.trueHeadingDeg = heading * DegreesPerAngleUnit;
    r.bankDeg = bank * DegreesPerAngleUnit;
    r.onGround = onGround == 1;
    r.altitudeM = JoinFixedPoint(altHigh, altLow);
    r.lat = JoinFixedPoint(latHigh, latLow) * DegreesPerLatUnit;
    r.lon = JoinFixedPoint(lonHigh, lonLow) * DegreesPerAngleUnit;
    r.tailhook = hook;
    if (CatchVerdict(zone, r, MagVarDeg, hookRequired, CatchAngleThreshold) !=
        TCatchVerdict::Caught)
      return;

    SwitchSimSound(true);
    tmrLaunchCheck.setEnabled(false);
    tmrCheckForCatch.setEnabled(false);
    tmrAccel.setEnabled(false);
    tmrKeystroke.setEnabled(false);
    tmrFindNearest.setEnabled(false);
    PlayCatchSound();
    static const std::string kCaught = "Cables were CAUGHT.";
    lblCableCatchStatus.setText(kCaught);
    tmrDecel.setEnabled(true);
  }();
  // Also after a catch: the ticks go on during the arrest and stop early while tmrDecel runs.
  tmrCheckForCatch.setEnabled(true);
}

void TFormMain::tmrDecelTimer() {
  double speed = 0;
  uint32_t result = 0;
  if (SimLinkRead(kForwardSpeed, 8, &speed, result) && SimLinkProcess(result) && speed > 0) {
    // A refused or failed write is simply repeated by the next tick.
    (void)(SimLinkWrite(kAccel, 8, &CableCatchAccelFactor, result) && SimLinkProcess(result));
    return;
  }
  // Stopped, or the speed could not be read: the arrest ends.
  tmrDecel.setEnabled(false);
  tmrFindNearest.setEnabled(true);
  tmrKeystroke.setEnabled(true);
  // 0 means "no arrest yet", so a real end is never recorded as 0.
  LastArrestEnd = std::max<int64_t>(clock().nowMs(), 1);
  SwitchSimSound(false);
}
