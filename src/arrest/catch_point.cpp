#include "arrest/catch_point.h"

#include <cmath>

#include "arrest/geometry.h"
#include "logbook/log_rules.h"
#include "simlink/offsets.h"

namespace {

constexpr double kFeetPerDegLat = FeetPerMetre / simlink::DegreesPerLatUnit;

/// Halvings of the segment between two checks: far below a millimetre on any segment a
/// 50 ms check can span.
constexpr int kEntrySteps = 60;

TCheckPosition Between(const TCheckPosition& a, const TCheckPosition& b, double t) {
  return {a.lat + (b.lat - a.lat) * t, a.lon + (b.lon - a.lon) * t,
          a.altitudeM + (b.altitudeM - a.altitudeM) * t, b.onGround};
}

}  // namespace

TDeckPosition DeckPositionOf(const TCatchZoneData& zone, double lat, double lon, double altitudeM) {
  const TCatchAreaAxis a = CatchAreaAxis(zone);
  // North and east in degrees of latitude, the longitude scaled at the deck.
  const double axisN = a.axisLat, axisE = a.axisLon * a.scale;
  const double length = std::hypot(axisN, axisE);
  TDeckPosition p;
  p.heightFt = (altitudeM - zone.DeckAltM) * FeetPerMetre;
  if (!(length > 0)) return p;
  const double n = lat - a.backLat, e = (lon - a.backLon) * a.scale;
  p.alongFt = (n * axisN + e * axisE) / length * kFeetPerDegLat;
  // Starboard of the landing direction: the axis turned a right angle clockwise.
  p.acrossFt = (-n * axisE + e * axisN) / length * kFeetPerDegLat;
  return p;
}

bool InCatchWindow(const TCatchZoneData& zone, const TCheckPosition& p) {
  if (p.altitudeM > zone.DeckAltM + zone.ZoneHeightM) return false;
  if (!p.onGround && p.altitudeM < zone.DeckAltM) return false;
  return IsInCatchZone(zone, p.lat, p.lon, CatchAngleThreshold);
}

TCatchPoint CatchPointOf(const TCatchZoneData& zone, const std::optional<TCheckPosition>& outside,
                         const TCheckPosition& inside) {
  TCheckPosition at = inside;
  bool interpolated = false;
  if (outside && !InCatchWindow(zone, *outside) && InCatchWindow(zone, inside)) {
    // The window (a convex area, between two heights) holds the segment from its entry on:
    // halve the part that holds the entry until it is the point.
    double out = 0, in = 1;
    for (int i = 0; i < kEntrySteps; ++i) {
      const double mid = (out + in) / 2;
      (InCatchWindow(zone, Between(*outside, inside, mid)) ? in : out) = mid;
    }
    at = Between(*outside, inside, in);
    interpolated = true;
  }
  TCatchPoint c;
  c.lat = at.lat;
  c.lon = at.lon;
  c.altitudeM = at.altitudeM;
  c.deck = DeckPositionOf(zone, at.lat, at.lon, at.altitudeM);
  c.wire = WireOf(zone, at.lat, at.lon);
  c.interpolated = interpolated;
  return c;
}
