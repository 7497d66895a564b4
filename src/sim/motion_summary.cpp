#include "sim/motion_summary.h"

#include <algorithm>
#include <cstdio>

#include "sim/fields.h"

namespace sim {
namespace {

// A client pull stronger than this (ft/s^2, negative) counts as a cable, not a hold.
constexpr double kCablePull = -100.0;
// A stroke ends when no positive acceleration came for this long (seconds).
constexpr double kStrokeGap = 0.5;

std::string fmt(const char* f, double a, double b = 0, double c = 0, double d = 0) {
  char buf[200];
  std::snprintf(buf, sizeof buf, f, a, b, c, d);
  return buf;
}

}  // namespace

void MotionTracker::onStep(int64_t timeUs, double dt, const AircraftState& before,
                           const AircraftState& after, const StepEvents& ev, Observer& obs) {
  if (ev.touchdown) {
    obs.note(timeUs, fmt("TOUCHDOWN %.1f kt, vs %.0f fpm", before.speedFps / kFpsPerKnot,
                         ev.touchdownVsFpm));
  }
  if (ev.crashed) {
    obs.note(timeUs,
             fmt("CRASHED at %.0f fpm", ev.touchdownVsFpm) + (after.gearDown ? "" : ", gear up"));
    rollout_ = false;
  }
  if (ev.liftoff) {
    obs.note(timeUs, fmt("LIFTOFF %.1f kt", after.speedFps / kFpsPerKnot));
    rollout_ = false;
  }

  // Arrest: a rollout starts at touchdown or at a cable pull in the air, and counts as an
  // arrest when the client pulled while the aircraft slowed to a stop.
  bool pull = after.lastAccelFps2 <= kCablePull;
  if (!rollout_ && !after.crashed && before.speedFps > 0 &&
      ((ev.touchdown && !ev.crashed) || pull)) {
    rollout_ = true;
    pulled_ = false;
    rollStartKt_ = before.speedFps / kFpsPerKnot;
    rollFt_ = rollS_ = rollPeak_ = 0;
  }
  if (rollout_) {
    pulled_ = pulled_ || pull;
    rollFt_ += after.speedFps * dt;
    rollS_ += dt;
    rollPeak_ = std::max(rollPeak_, (before.speedFps - after.speedFps) / dt);
    if (after.speedFps <= 0.0) {
      rollout_ = false;
      if (pulled_) {
        arrest_ = {true, rollStartKt_, rollFt_, rollS_, rollPeak_};
        obs.note(timeUs,
                 fmt("STOPPED %.0f ft and %.2f s after %.1f kt, peak deceleration %.1f ft/s^2",
                     rollFt_, rollS_, rollStartKt_, rollPeak_));
      } else {
        obs.note(timeUs,
                 fmt("STOPPED %.0f ft and %.2f s after %.1f kt", rollFt_, rollS_, rollStartKt_));
      }
    }
  }

  // Catapult stroke: steps with a positive acceleration from the client.
  if (after.lastAccelFps2 > 0.0 && !after.crashed) {
    if (!stroke_) {
      stroke_ = true;
      strokeFt_ = strokeS_ = 0;
    }
    gapS_ = 0;
    strokeFt_ += after.speedFps * dt;
    strokeS_ += dt;
    strokeEndKt_ = after.speedFps / kFpsPerKnot;
    strokeEndUs_ = timeUs;
  } else if (stroke_) {
    gapS_ += dt;
    if (gapS_ > kStrokeGap || after.crashed) finishStroke(strokeEndUs_, obs);
  }
}

void MotionTracker::flush(Observer& obs) {
  if (stroke_) finishStroke(strokeEndUs_, obs);
}

void MotionTracker::finishStroke(int64_t timeUs, Observer& obs) {
  stroke_ = false;
  launch_ = {true, strokeEndKt_, strokeFt_, strokeS_};
  obs.note(timeUs, fmt("LAUNCH end speed %.1f kt, stroke %.0f ft in %.2f s", strokeEndKt_,
                       strokeFt_, strokeS_));
}

std::string MotionTracker::text() const {
  std::string out;
  if (arrest_.valid)
    out +=
        fmt("Arrest: touchdown %.1f kt, stopped in %.2f s over %.0f ft, peak deceleration %.1f "
            "ft/s^2\n",
            arrest_.touchdownKt, arrest_.stopTimeS, arrest_.stopDistanceFt, arrest_.peakDecelFps2);
  if (launch_.valid)
    out += fmt("Launch: end speed %.1f kt, stroke %.0f ft in %.2f s\n", launch_.endKt,
               launch_.strokeFt, launch_.strokeTimeS);
  return out;
}

}  // namespace sim
