#pragma once

#include "config/catch_zone.h"

// The approach as the landing signal officer sees it: the touchdown point of a zone, and where
// the aircraft is against the glide slope and the landing centreline. Pure functions of the
// zone and the aircraft's position; the aircraft's heading plays no part.

/// Metres per nautical mile.
inline constexpr double MetresPerNauticalMile = 1852.0;

/// The groove: from this far out along the landing heading to the touchdown point ...
inline constexpr double GrooveLengthM = MetresPerNauticalMile;
/// ... below this height above the deck (1,000 ft) ...
inline constexpr double GrooveCeilingM = 1000.0 * 0.3048;
/// ... and at most this far off the centreline, degrees.
inline constexpr double GrooveLineupDeg = 10.0;

/// A point on the deck, degrees.
struct TDeckPoint {
  double lat = 0;
  double lon = 0;
};

/// Where the aircraft should touch down: the middle of the catch area, on its centre line
/// between the bands of the 2 and 3 wires.
TDeckPoint TouchdownPoint(const TCatchZoneData& zone);

/// The aircraft against the approach to a zone.
struct TApproachErrors {
  /// Metres to go to the touchdown point along the landing heading; negative past it.
  double distanceM = 0;
  /// Metres right of the landing centreline (left negative), across the landing heading.
  double rightM = 0;
  /// Metres above the deck.
  double heightM = 0;
  /// Angle of the aircraft above the touchdown point, seen along the deck (height against the
  /// distance along the landing heading), less the zone's glide slope: positive high.
  double glideSlopeDeg = 0;
  /// Angle of the aircraft off the landing centreline seen from the touchdown point: positive
  /// right of it, -180 to 180.
  double lineupDeg = 0;
};

/// The errors of an aircraft at lat/lon and altitudeM (above sea level) on its approach to
/// zone, whose landing heading is magnetic: magVarDeg (east positive) turns it true. Distances
/// on the deck's local flat plane, a degree of longitude shortened by the cosine of the
/// touchdown point's latitude; longitudes wrap at the date line.
TApproachErrors ApproachErrors(const TCatchZoneData& zone, double lat, double lon, double altitudeM,
                               double magVarDeg);

/// True while the aircraft is in the groove: airborne, more than 0 and at most 1 NM to go
/// along the landing heading, below 1,000 ft above the deck and within 10 degrees of the
/// centreline (both limits included).
bool InGroove(const TApproachErrors& errors, bool onGround);
