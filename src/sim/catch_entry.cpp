#include "sim/catch_entry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "sim/fields.h"
#include "sim/flight_model.h"

namespace sim {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kFeetPerDegLat = kMetresPerDegLat / kMetresPerFoot;

/// Narrows [tMin, tMax] to the part of the segment p0 + t d within [lo, hi] on one axis.
void clip(double p0, double d, double lo, double hi, double& tMin, double& tMax) {
  if (d == 0) {
    if (p0 < lo || p0 > hi) tMax = -1;  // parallel to the slab and outside it
    return;
  }
  const double t1 = (lo - p0) / d, t2 = (hi - p0) / d;
  tMin = std::max(tMin, std::min(t1, t2));
  tMax = std::min(tMax, std::max(t1, t2));
}

}  // namespace

std::optional<double> entryFraction(const CatchArea& a, const AircraftState& from,
                                    const AircraftState& to) {
  if (a.contains(from)) return std::nullopt;
  double tMin = 0, tMax = 1;
  clip(from.latDeg, to.latDeg - from.latDeg, a.latMin, a.latMax, tMin, tMax);
  clip(from.lonDeg, to.lonDeg - from.lonDeg, a.lonMin, a.lonMax, tMin, tMax);
  clip(from.altFt, to.altFt - from.altFt, a.floorFt, a.ceilingFt, tMin, tMax);
  if (tMin > tMax) return std::nullopt;
  return tMin;
}

void CatchEntryTracker::setCatchArea(const CatchArea& area) {
  area_.reset();
  if (area.landingDeg) area_ = area;
}

void CatchEntryTracker::onStep(int64_t timeUs, double dt, const AircraftState& before,
                               const AircraftState& after, Observer& obs) {
  if (!area_) return;
  const std::optional<double> t = entryFraction(*area_, before, after);
  if (!t) return;
  const CatchArea& a = *area_;
  CatchEntry e;
  e.timeUs = timeUs - static_cast<int64_t>(std::llround((1 - *t) * dt * 1e6));
  e.latDeg = before.latDeg + (after.latDeg - before.latDeg) * *t;
  e.lonDeg = before.lonDeg + (after.lonDeg - before.lonDeg) * *t;
  e.altFt = before.altFt + (after.altFt - before.altFt) * *t;
  // Feet north and east of the area's centre, the longitude scaled at the centre.
  const double midLat = (a.latMin + a.latMax) / 2, midLon = (a.lonMin + a.lonMax) / 2;
  const double scale = std::cos(midLat * kPi / 180);
  const double h = *a.landingDeg * kPi / 180;
  const double fwdN = std::cos(h), fwdE = std::sin(h);
  const auto along = [&](double lat, double lon) {
    return (lat - midLat) * kFeetPerDegLat * fwdN + (lon - midLon) * kFeetPerDegLat * scale * fwdE;
  };
  // The back edge: the corner furthest back along the landing direction.
  double back = 0, front = 0;
  bool first = true;
  for (double lat : {a.latMin, a.latMax})
    for (double lon : {a.lonMin, a.lonMax}) {
      const double s = along(lat, lon);
      back = first ? s : std::min(back, s);
      front = first ? s : std::max(front, s);
      first = false;
    }
  e.lengthFt = front - back;
  e.alongFt = along(e.latDeg, e.lonDeg) - back;
  e.acrossFt = -(e.latDeg - midLat) * kFeetPerDegLat * fwdE +
               (e.lonDeg - midLon) * kFeetPerDegLat * scale * fwdN;
  if (std::fabs(e.acrossFt) < 0.005) e.acrossFt = 0;  // down the centre line: "+0.00", not "-0.00"
  e.heightFt = e.altFt - a.floorFt;
  const double fraction = e.lengthFt > 0 ? e.alongFt / e.lengthFt : 0;
  e.band = static_cast<int>(std::clamp(std::floor(fraction * 4), 0.0, 3.0)) + 1;
  entries_.push_back(e);
  char text[200];
  std::snprintf(text, sizeof text,
                "CATCH ENTRY %.7f %.7f %.2f ft: %.2f ft along the deck from the back edge, %+.2f "
                "ft across, %.2f ft above the floor, wire band %d",
                e.latDeg, e.lonDeg, e.altFt, e.alongFt, e.acrossFt, e.heightFt, e.band);
  obs.note(e.timeUs, text);
}

std::string CatchEntryTracker::text() const {
  if (entries_.empty()) return {};
  const CatchEntry& e = entries_.back();
  char text[160];
  std::snprintf(text, sizeof text,
                "Catch entry: %.2f ft along the deck from the back edge, %+.2f ft across, %.2f ft "
                "above the floor, wire band %d\n",
                e.alongFt, e.acrossFt, e.heightFt, e.band);
  return text;
}

}  // namespace sim
