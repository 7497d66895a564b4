#include "lso/approach_geometry.h"

#include <cmath>

#include "arrest/geometry.h"
#include "logbook/log_rules.h"
#include "simlink/offsets.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegPerRad = 180.0 / kPi;

/// Metres per degree of latitude, as the simulator's positions are converted.
constexpr double kMetresPerDegLat = 1.0 / simlink::DegreesPerLatUnit;

/// The offset from a point to the aircraft, the longitude brought within half a turn so that
/// an approach across the date line is measured the short way, as FlatDistance measures it.
TOffsetVector OffsetFrom(const TDeckPoint& p, double lat, double lon) {
  double dLon = std::fmod(lon - p.lon, 360.0);
  if (dLon > 180) dLon -= 360;
  if (dLon < -180) dLon += 360;
  return {lat - p.lat, dLon};
}

}  // namespace

TDeckPoint TouchdownPoint(const TCatchZoneData& zone) {
  TDeckPoint p;
  WireBandStart(zone, 3, p.lat, p.lon);
  return p;
}

TApproachErrors ApproachErrors(const TCatchZoneData& zone, double lat, double lon, double altitudeM,
                               double magVarDeg) {
  const TDeckPoint touchdown = TouchdownPoint(zone);
  const TOffsetVector v = OffsetFrom(touchdown, lat, lon);
  const double northM = v.dLat * kMetresPerDegLat;
  const double eastM = v.dLon * kMetresPerDegLat * std::cos(touchdown.lat / kDegPerRad);
  // The zone's landing heading is magnetic; the grid is true.
  const double heading = (zone.RunwayHeadingMag + magVarDeg) / kDegPerRad;
  const double alongE = std::sin(heading), alongN = std::cos(heading);
  TApproachErrors e;
  e.distanceM = -(eastM * alongE + northM * alongN);
  e.rightM = eastM * alongN - northM * alongE;
  e.heightM = altitudeM - zone.DeckAltM;
  e.glideSlopeDeg = std::atan2(e.heightM, e.distanceM) * kDegPerRad - zone.GlideSlopeDeg;
  e.lineupDeg = std::atan2(e.rightM, e.distanceM) * kDegPerRad;
  return e;
}

bool InGroove(const TApproachErrors& e, bool onGround) {
  return !onGround && e.distanceM > 0 && e.distanceM <= GrooveLengthM &&
         e.heightM < GrooveCeilingM && std::fabs(e.lineupDeg) <= GrooveLineupDeg;
}
