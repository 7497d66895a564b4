#include "arrest/runout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

/// The felt deceleration is measured over windows at least this long (as the log measures its
/// peak), so that ticks between the simulator's frames do not show spikes.
constexpr int64_t kWindowMs = 100;
/// How strongly a speed above the wanted one adds to the deceleration, per second.
constexpr double kSpeedGain = 1.0;
/// Below the speed this time would take to lose at the asked deceleration, the pull eases off
/// in proportion to the speed, so that no frame takes the aircraft backwards.
constexpr double kEaseS = 0.1;
/// Before the first measurement the aircraft's drag and wheel friction are taken to add a fifth
/// to the written deceleration: the first window then stays under the limit.
constexpr double kStartEffect = 1.2;
/// The learnt effect stays within these bounds, so that a wrong measurement cannot wind the
/// written value up without end. 1/8: a simulator applying a write for one frame at 60 frames a
/// second, written to every 0.1 s.
constexpr double kMinEffect = 1.0 / 8;
constexpr double kMaxEffect = 3.0;
/// Written decelerations below this (ft/s^2, over a window) teach nothing about the effect.
constexpr double kMinLearnFps2 = 5.0;
/// A stop beyond L by more than this share, with the limit reached, counts as limited.
constexpr double kLimitedShare = 0.05;

}  // namespace

void TRunout::Start(int64_t ms, double runoutFt, double speedFps) {
  runoutFt_ = runoutFt;
  startSpeedFps_ = std::max(speedFps, 0.0);
  distanceFt_ = 0;
  capped_ = false;
  effect_ = kStartEffect;
  learnt_ = false;
  windowStartMs_ = lastMs_ = ms;
  windowStartSpeedFps_ = speedFps;
  lastWrittenFps2_ = 0;
  writtenSum_ = 0;
}

double TRunout::Tick(int64_t ms, double distanceFt, double speedFps) {
  distanceFt_ = distanceFt;
  const double v = std::max(speedFps, 0.0);

  // What the last written value did: the measured speed lost over the window against what was
  // written during it.
  if (ms > lastMs_) {
    writtenSum_ += lastWrittenFps2_ * static_cast<double>(ms - lastMs_);
    lastMs_ = ms;
  }
  if (ms - windowStartMs_ >= kWindowMs) {
    const double seconds = static_cast<double>(ms - windowStartMs_) / 1000;
    const double felt = (windowStartSpeedFps_ - speedFps) / seconds;
    const double written = writtenSum_ / static_cast<double>(ms - windowStartMs_);
    // A window without any speed lost (a paused simulator, a long frame) teaches nothing.
    if (written >= kMinLearnFps2 && v > 0 && felt > 0) {
      const double seen = std::clamp(felt / written, kMinEffect, kMaxEffect);
      // The first measurement replaces the guess; later ones are averaged in.
      effect_ = learnt_ ? effect_ + (seen - effect_) / 2 : seen;
      learnt_ = true;
    }
    windowStartMs_ = ms;
    windowStartSpeedFps_ = speedFps;
    writtenSum_ = 0;
  }

  const double limit = RunoutMaxG * RunoutGFps2;
  const double left = runoutFt_ - distanceFt;
  const double wanted = startSpeedFps_ * std::sqrt(std::max(0.0, 1 - distanceFt / runoutFt_));
  // At or past L (or a hair before it) nothing less than the limit will do.
  double decel = left > 0.5 ? v * v / (2 * left) + kSpeedGain * (v - wanted) : limit;
  if (decel > limit) {
    capped_ = true;
    decel = limit;
  }
  decel = std::min(decel, v / kEaseS);
  // A reading that is no number (from a simulator's garbage) gets the firmest allowed pull.
  decel = std::isfinite(decel) ? std::clamp(decel, 0.0, limit) : limit;
  lastWrittenFps2_ = decel / effect_;
  return -lastWrittenFps2_;
}

bool TRunout::Limited() const { return capped_ && distanceFt_ > runoutFt_ * (1 + kLimitedShare); }

double GroundDistanceFeet(double latA, double lonA, double latB, double lonB) {
  constexpr double kPi = 3.14159265358979323846;
  constexpr double kMetresPerDegree = 10001750.0 / 90.0;
  constexpr double kMetresPerFoot = 0.3048;
  double dLon = lonB - lonA;
  if (dLon > 180) dLon -= 360;
  if (dLon < -180) dLon += 360;
  const double north = (latB - latA) * kMetresPerDegree;
  const double east = dLon * kMetresPerDegree * std::cos((latA + latB) / 2 * kPi / 180);
  return std::hypot(north, east) / kMetresPerFoot;
}

std::string RunoutLimitNote(double stopFt, double runoutFt) {
  char text[80];
  std::snprintf(text, sizeof text, "3 g limit: runout %.0f ft > %.0f ft", stopFt, runoutFt);
  return text;
}
