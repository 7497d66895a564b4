#pragma once

#include <optional>

#include "config/catch_zone.h"

/// Where one catch check saw the aircraft.
struct TCheckPosition {
  double lat = 0;
  double lon = 0;
  double altitudeM = 0;
  bool onGround = false;
};

/// A point in the zone's deck coordinates: feet along the catch area's centre line from its back
/// edge (forward positive), across it from the centre line (starboard positive) and above the
/// deck.
struct TDeckPosition {
  double alongFt = 0;
  double acrossFt = 0;
  double heightFt = 0;
};

/// Where the cables took the aircraft: the point at which its path entered the catch window,
/// the band of that point (the wire taken) and where it lies on the deck. The run-out of the
/// realistic arresting gear counts from this point.
struct TCatchPoint {
  double lat = 0;
  double lon = 0;
  double altitudeM = 0;
  TDeckPosition deck;
  int wire = 1;
  /// True when the point was interpolated between two checks; false when it is the position of
  /// the catching check (no usable check before it).
  bool interpolated = false;
};

/// The position in the zone's deck coordinates.
TDeckPosition DeckPositionOf(const TCatchZoneData& zone, double lat, double lon, double altitudeM);

/// True when the position lies in the catch window the catch test uses: over the catch area
/// and between the deck and the top of the window (on the ground, at any height not above the
/// top).
bool InCatchWindow(const TCatchZoneData& zone, const TCheckPosition& p);

/// The catch point of a catch seen by the check at `inside`. `outside` is the check before it,
/// when there was one and it saw the aircraft outside the catch window: the aircraft is taken
/// to have flown straight between the two, and the catch point is where that segment enters
/// the window. Without it, the catch point is `inside` itself.
TCatchPoint CatchPointOf(const TCatchZoneData& zone, const std::optional<TCheckPosition>& outside,
                         const TCheckPosition& inside);
