#include "catapult/end_airspeed.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "config/option_table.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
/// Feet per degree of latitude (10001750 m per 90 degrees), and per degree of longitude at the
/// equator.
constexpr double kFeetPerDegree = 10001750.0 / 90.0 / 0.3048;
/// The push is worked out over at least this share of the stroke, so that its last feet do not
/// ask for an unbounded push.
constexpr double kMinRemainingShare = 0.02;
/// Push per ft/s of the speed's difference from the wanted speed (1/s), and per ft/s x s of its
/// sum (1/s^2): the correction settles in about a third of a second, without overshoot, and
/// stays stable with the measured speed up to a tenth of a second old.
constexpr double kSpeedGain = 6.0;
constexpr double kSumGain = 9.0;

}  // namespace

double StrokeDistanceFt(double lat0, double lon0, double lat1, double lon1) {
  const double north = (lat1 - lat0) * kFeetPerDegree;
  double dLon = lon1 - lon0;
  if (dLon > 180) dLon -= 360;
  if (dLon < -180) dLon += 360;
  const double east = dLon * kFeetPerDegree * std::cos(lat0 * kPi / 180.0);
  return std::hypot(north, east);
}

std::string EndAirspeedRefusal(double cutoffFps, double headwindFps, double strokeFt,
                               double startFps) {
  char text[128];
  if (headwindFps >= cutoffFps) {
    std::snprintf(text, sizeof text, "wind over the deck %.0f kt reaches the %.0f kt end speed",
                  headwindFps / options::FpsPerKnot, cutoffFps / options::FpsPerKnot);
    return text;
  }
  const double endFps = cutoffFps - headwindFps;
  const double v0 = std::clamp(startFps, 0.0, endFps);
  const double g = (endFps * endFps - v0 * v0) / (2 * strokeFt) / kCatapultOneGFps2;
  if (!(g <= kMaxCatapultG)) {
    std::snprintf(text, sizeof text, "%.0f kt over the deck in %.0f ft needs %.1f g (at most %.0f)",
                  endFps / options::FpsPerKnot, strokeFt, g, kMaxCatapultG);
    return text;
  }
  return {};
}

TStrokeByAirspeed::TStrokeByAirspeed(double startFps, double cutoffFps, double headwindFps,
                                     double strokeFt)
    : startFps_(std::clamp(startFps, 0.0, cutoffFps - headwindFps)),
      endFps_(cutoffFps - headwindFps),
      headwindFps_(headwindFps),
      strokeFt_(strokeFt) {}

double TStrokeByAirspeed::WantedSpeedFps(double distanceFt) const {
  const double share = std::clamp(distanceFt / strokeFt_, 0.0, 1.0);
  return std::sqrt(startFps_ * startFps_ + (endFps_ * endFps_ - startFps_ * startFps_) * share);
}

bool TStrokeByAirspeed::Done(double distanceFt, double speedFps) const {
  return speedFps >= endFps_ || distanceFt >= strokeFt_;
}

double TStrokeByAirspeed::PushFps2(double distanceFt, double speedFps, double dtS) {
  const double left = std::max(strokeFt_ - distanceFt, kMinRemainingShare * strokeFt_);
  const double needed = (endFps_ * endFps_ - speedFps * speedFps) / (2 * left);
  const double error = WantedSpeedFps(distanceFt) - speedFps;
  const double maxPush = kMaxCatapultPushG * kCatapultOneGFps2;
  const double push = needed + kSpeedGain * error + kSumGain * errorSum_;
  // The sum stops growing while the push is held at a limit, so it never asks for more than
  // the limit can give.
  if ((push < maxPush || error < 0) && (push > 0 || error > 0)) errorSum_ += error * dtS;
  return std::clamp(push, 0.0, maxPush);
}
