#include "sim/approach.h"

#include <algorithm>
#include <cmath>

#include "sim/fields.h"
#include "sim/flight_model.h"

namespace sim {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRad = kPi / 180.0;
constexpr double kMetresPerNm = 1852.0;

double trueHeadingRad(const Approach& a, const AircraftState& s) {
  return (a.headingMag + s.magvarDeg) * kRad;
}

}  // namespace

void placeOnApproach(const Approach& a, const ModelTuning& tuning, AircraftState& s) {
  const double h = trueHeadingRad(a, s);
  const double back = a.distanceNm * kMetresPerNm;
  const double right = back * std::tan(a.lineupErrorDeg * kRad);
  const double up = back * std::tan((a.glideSlopeDeg + a.slopeErrorDeg) * kRad);
  // East and north of the touchdown point: back along the landing heading, then across it.
  const double east = -back * std::sin(h) + right * std::cos(h);
  const double north = -back * std::cos(h) - right * std::sin(h);
  s.latDeg = a.touchdownLat + north / kMetresPerDegLat;
  s.lonDeg = a.touchdownLon + east / (kMetresPerDegLat * std::cos(a.touchdownLat * kRad));
  if (s.lonDeg >= 180.0) s.lonDeg -= 360.0;
  if (s.lonDeg < -180.0) s.lonDeg += 360.0;
  s.surfaceFt = a.deckFt;
  s.altFt = a.deckFt + up / kMetresPerFoot;
  s.headingDeg = std::fmod(std::atan2(-east, -north) / kRad + 360.0, 360.0);
  s.bankDeg = 0;
  s.speedFps = a.speedKt * kFpsPerKnot;
  // Straight at the touchdown point: the height runs out with the distance on the ground.
  s.vsFps = -s.speedFps * up / std::hypot(back, right);
  const double drag = tuning.dragPerFps2 * s.speedFps * s.speedFps;
  s.throttle =
      static_cast<int>(std::clamp(std::lround(drag / tuning.thrustFps2 * 16384), 0L, 16384L));
  s.onGround = false;
  s.crashed = false;
  s.slew = false;
  s.gearDown = true;
}

void steerOnApproach(const Approach& a, AircraftState& s) {
  s.speedFps = a.speedKt * kFpsPerKnot;
  double dLon = a.touchdownLon - s.lonDeg;
  if (dLon > 180.0) dLon -= 360.0;
  if (dLon < -180.0) dLon += 360.0;
  // East and north to go, in the metres the flight model moves the aircraft by.
  const double east = dLon * kMetresPerDegLat * std::cos(s.latDeg * kRad);
  const double north = (a.touchdownLat - s.latDeg) * kMetresPerDegLat;
  const double toGo = std::hypot(east, north);
  if (toGo < 0.5) return;  // over the point: keep the last heading and sink
  s.headingDeg = std::fmod(std::atan2(east, north) / kRad + 360.0, 360.0);
  s.vsFps = -s.speedFps * (s.altFt - a.deckFt) * kMetresPerFoot / toGo;
}

FlownErrors flownErrors(const Approach& a, const AircraftState& s) {
  const double h = trueHeadingRad(a, s);
  double dLon = s.lonDeg - a.touchdownLon;
  if (dLon > 180.0) dLon -= 360.0;
  if (dLon < -180.0) dLon += 360.0;
  const double north = (s.latDeg - a.touchdownLat) * kMetresPerDegLat;
  const double east = dLon * kMetresPerDegLat * std::cos(a.touchdownLat * kRad);
  // Turn the plane so that x points back from the touchdown point and y to the right.
  const double x = -(east * std::sin(h) + north * std::cos(h));
  const double y = east * std::cos(h) - north * std::sin(h);
  const double up = (s.altFt - a.deckFt) * kMetresPerFoot;
  FlownErrors e;
  e.distanceNm = x / kMetresPerNm;
  e.heightFt = s.altFt - a.deckFt;
  e.slopeErrorDeg = std::atan2(up, x) / kRad - a.glideSlopeDeg;
  e.lineupErrorDeg = std::atan2(y, x) / kRad;
  return e;
}

}  // namespace sim
