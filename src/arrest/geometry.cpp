#include "arrest/geometry.h"

#include <cmath>

#include "simlink/offsets.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

/// Direction of a vector from the increasing-longitude axis towards increasing latitude, in
/// [0, 2pi); a zero vector has direction 0.
double Direction(const TOffsetVector& v) {
  if (v.dLat == 0 && v.dLon == 0) return 0;
  double a = std::atan2(v.dLat, v.dLon);
  if (a < 0) a += 2 * kPi;
  return a;
}

}  // namespace

double FlatDistance(double latA, double lonA, double latB, double lonB) {
  double dLon = std::fabs(lonA - lonB);
  if (dLon > 180) dLon = 360 - dLon;
  const double dLat = latA - latB;
  return std::sqrt(dLat * dLat + dLon * dLon);
}

double SubtendedAngle(const TOffsetVector& u, const TOffsetVector& w) {
  double diff = std::fabs(Direction(u) - Direction(w));
  if (diff > kPi) diff = 2 * kPi - diff;
  return diff;
}

bool IsInCatchZone(const TCatchZoneData& z, double lat, double lon, double threshold) {
  const TOffsetVector vFR{lat - z.FrontRightCornerLat, lon - z.FrontRightCornerLon};
  const TOffsetVector vFL{lat - z.FrontLeftCornerLat, lon - z.FrontLeftCornerLon};
  const TOffsetVector vBL{lat - z.BackLeftCornerLat, lon - z.BackLeftCornerLon};
  const TOffsetVector vBR{lat - z.BackRightCornerLat, lon - z.BackRightCornerLon};
  const double a1 = SubtendedAngle(vFR, vBL);
  const double a2 = SubtendedAngle(vFL, vBR);
  return a1 > threshold && a2 > threshold;
}

double HeadingDifference(double a, double b) {
  double diff = std::fmod(std::fabs(a - b), 360.0);
  if (diff > 180) diff = 360 - diff;
  return diff;
}

TCatchVerdict CatchVerdict(const TCatchZoneData& zone, const TCatchReadings& r, double magVarDeg,
                           bool hookRequired, double threshold) {
  if (hookRequired && !(r.tailhook > 0.5)) return TCatchVerdict::HookUp;
  if (!r.onGround &&
      !(zone.DeckAltM <= r.altitudeM && r.altitudeM <= zone.DeckAltM + zone.ZoneHeightM))
    return TCatchVerdict::Altitude;
  if (!(std::fabs(r.bankDeg) < 10)) return TCatchVerdict::Bank;
  const double diff = HeadingDifference(zone.RunwayHeadingMag,
                                        simlink::magneticHeading(r.trueHeadingDeg, magVarDeg));
  if (!(diff < 30)) return TCatchVerdict::Heading;
  if (!IsInCatchZone(zone, r.lat, r.lon, threshold)) return TCatchVerdict::OutsideArea;
  return TCatchVerdict::Caught;
}

TGateDecision GateDecision(const TGateReadings& r, double distance, double previousDistance) {
  TGateDecision d;
  const bool gearDown = r.gearLever > 0;
  d.landed = gearDown && r.onGround == 1 && r.forwardSpeedFps < 50;
  d.approaching = distance < 0.05 && distance < previousDistance;
  d.need = r.slew == 0 && !d.landed && gearDown && d.approaching;
  return d;
}

double HeadwindAlongDeck(const TCatchZoneData& zone, double magVarDeg, double windSpeed,
                         double windFromDeg) {
  const double deckTrue = zone.RunwayHeadingMag + magVarDeg;
  return windSpeed * std::cos((windFromDeg - deckTrue) * kPi / 180.0);
}
