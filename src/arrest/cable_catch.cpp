#include <algorithm>
#include <cmath>

#include "app/form_main.h"
#include "arrest/geometry.h"
#include "simlink/offsets.h"
#include "simlink/sim_link.h"

namespace {
using namespace simlink;

/// Queues a read of one catalogued variable.
bool QueueRead(const Offset& o, void* dest, uint32_t& result) {
  return SimLinkRead(o.offset, o.size, dest, result);
}
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

    uint32_t heading = 0, altLow = 0, lonLow = 0, latLow = 0;
    int32_t bank = 0, altHigh = 0, lonHigh = 0, latHigh = 0;
    int16_t onGround = 0;
    double hook = 0;
    uint32_t result = 0;
    bool read =
        QueueRead(kHeadingTrue, &heading, result) && QueueRead(kBank, &bank, result) &&
        QueueRead(kOnGround, &onGround, result) && QueueRead(kAltitudeLow, &altLow, result) &&
        QueueRead(kAltitudeHigh, &altHigh, result) && QueueRead(kLongitudeLow, &lonLow, result) &&
        QueueRead(kLongitudeHigh, &lonHigh, result) && QueueRead(kLatitudeLow, &latLow, result) &&
        QueueRead(kLatitudeHigh, &latHigh, result);
    // The FS2002 edition has no tailhook option and never reads the hook.
    if constexpr (edition::HasTailhookOption) read = read && QueueRead(kTailHook, &hook, result);
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
  if (QueueRead(kForwardSpeed, &speed, result) && SimLinkProcess(result) && speed > 0) {
    // A refused or failed write is simply repeated by the next tick.
    (void)(SimLinkWrite(kLongitudinalAccel.offset, kLongitudinalAccel.size, &CableCatchAccelFactor,
                        result) &&
           SimLinkProcess(result));
    return;
  }
  // Stopped, or the speed could not be read: the arrest ends.
  EndArrest();
}

void TFormMain::EndArrest() {
  tmrDecel.setEnabled(false);
  tmrFindNearest.setEnabled(true);
  tmrKeystroke.setEnabled(true);
  // 0 means "no arrest yet", so a real end is never recorded as 0.
  LastArrestEnd = std::max<int64_t>(clock().nowMs(), 1);
  SwitchSimSound(false);
}
