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

ApproachPoint profileAt(const Approach& a, double distanceNm) {
  ApproachPoint from{a.distanceNm, a.slopeErrorDeg, a.lineupErrorDeg};
  for (const ApproachPoint& to : a.profile) {
    if (distanceNm >= to.distanceNm) {
      const double span = from.distanceNm - to.distanceNm;
      const double f = span > 0 ? std::clamp((from.distanceNm - distanceNm) / span, 0.0, 1.0) : 1;
      return {distanceNm, from.slopeErrorDeg + f * (to.slopeErrorDeg - from.slopeErrorDeg),
              from.lineupErrorDeg + f * (to.lineupErrorDeg - from.lineupErrorDeg)};
    }
    from = to;
  }
  return {distanceNm, from.slopeErrorDeg, from.lineupErrorDeg};
}

namespace {

/// How far ahead along the landing heading a profiled approach aims: the errors follow the
/// profile this far behind.
constexpr double kLookAheadM = 50;

/// Steering of an approach with a profile or a flare: heads for the profile's point the
/// look-ahead nearer, or for the touchdown point once within it; floats in the flare.
void steerOnProfile(const Approach& a, AircraftState& s) {
  const FlownErrors e = flownErrors(a, s);
  const double x = e.distanceNm * kMetresPerNm;
  const double heightFt = s.altFt - a.deckFt;
  const bool flaring = a.flareFt > 0 && heightFt <= a.flareFt;
  if (x > 0.5) {
    const double h = trueHeadingRad(a, s);
    // The target, back from the touchdown point along the landing heading and across it.
    const double xt = std::max(x - kLookAheadM, 0.0);
    const ApproachPoint p = profileAt(a, xt / kMetresPerNm);
    const double right = xt * std::tan(p.lineupErrorDeg * kRad);
    const double upFt = xt * std::tan((a.glideSlopeDeg + p.slopeErrorDeg) * kRad) / kMetresPerFoot;
    const double tEast = -xt * std::sin(h) + right * std::cos(h);
    const double tNorth = -xt * std::cos(h) - right * std::sin(h);
    double dLon = s.lonDeg - a.touchdownLon;
    if (dLon > 180.0) dLon -= 360.0;
    if (dLon < -180.0) dLon += 360.0;
    const double east = tEast - dLon * kMetresPerDegLat * std::cos(a.touchdownLat * kRad);
    const double north = tNorth - (s.latDeg - a.touchdownLat) * kMetresPerDegLat;
    const double toGo = std::hypot(east, north);
    if (toGo > 0.5) {
      s.headingDeg = std::fmod(std::atan2(east, north) / kRad + 360.0, 360.0);
      s.vsFps = -s.speedFps * (heightFt - upFt) * kMetresPerFoot / toGo;
    }
  }
  // Past the touchdown point the heading and sink are kept; the flare holds its sink.
  if (flaring) s.vsFps = -a.flareSinkFpm / 60.0;
}

}  // namespace

void steerOnApproach(const Approach& a, AircraftState& s) {
  s.speedFps = a.speedKt * kFpsPerKnot;
  if (!a.profile.empty() || a.flareFt > 0) {
    steerOnProfile(a, s);
    return;
  }
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
