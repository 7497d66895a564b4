#pragma once

#include <vector>

#include "sim/aircraft.h"
#include "sim/flight_model.h"

namespace sim {

/// A point of an approach's profile: the errors flown by this distance to go.
struct ApproachPoint {
  double distanceNm = 0;
  double slopeErrorDeg = 0;
  double lineupErrorDeg = 0;
};

/// A straight-in approach to a touchdown point on a deck, as an `approach` scenario line
/// gives it: where the aircraft starts, on which slope it flies down and how fast.
struct Approach {
  double touchdownLat = 0;  // degrees
  double touchdownLon = 0;
  double deckFt = 0;      // deck altitude, feet above sea level
  double headingMag = 0;  // landing heading, degrees magnetic (the aircraft's magvar makes it true)
  double glideSlopeDeg = 0;   // the slope the errors are measured against
  double distanceNm = 0;      // start: distance to go along the landing heading
  double slopeErrorDeg = 0;   // start and whole way: above the glide slope, degrees
  double lineupErrorDeg = 0;  // start and whole way: right of the centreline, degrees
  double speedKt = 0;         // ground speed held all the way down
  /// Optional (`through` points): the errors change linearly with the distance to go from the
  /// start's to each point's in turn, and hold after the last point. Empty: constant errors.
  std::vector<ApproachPoint> profile;
  /// Optional (`flare`): below this height above the deck the sink is held at flareSinkFpm,
  /// so the aircraft floats past the point it was heading for. 0: no flare.
  double flareFt = 0;
  double flareSinkFpm = 0;
};

/// The errors an approach's profile asks for at distanceNm to go.
ApproachPoint profileAt(const Approach& a, double distanceNm);

/// Where an aircraft is against an approach, from its position alone.
struct FlownErrors {
  double distanceNm = 0;  // to go along the landing heading
  double heightFt = 0;    // above the deck
  double slopeErrorDeg =
      0;  // elevation seen from the touchdown point along the deck, less the slope
  double lineupErrorDeg = 0;  // bearing off the centreline seen from the touchdown point, right +
};

/// Puts the aircraft on the approach: airborne, gear down, wings level, heading for the
/// touchdown point at the approach's speed and on the sink that keeps both errors constant,
/// the throttle holding that speed against the drag of the model. The surface under it
/// becomes the deck.
void placeOnApproach(const Approach& a, const ModelTuning& tuning, AircraftState& s);
/// Keeps the aircraft on the approach for the next step: the approach's speed, heading for the
/// touchdown point and sinking so that the height runs out with the distance. Flown this way
/// both errors stay what they were (the flight model moves along a straight line of latitude
/// and longitude towards the point).
void steerOnApproach(const Approach& a, AircraftState& s);
/// The errors of the aircraft against the approach, on a flat plane around the touchdown point.
FlownErrors flownErrors(const Approach& a, const AircraftState& s);

}  // namespace sim
