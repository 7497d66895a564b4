#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/aircraft.h"
#include "sim/observer.h"
#include "sim/reaction.h"

namespace sim {

/// Where the aircraft's path entered a catch area whose landing direction is known: the exact
/// point between two integration steps, where it lies on the deck and the wire band under it.
struct CatchEntry {
  int64_t timeUs = 0;  // observation time of the entry itself, within its step
  double latDeg = 0, lonDeg = 0, altFt = 0;
  /// Feet along the landing direction from the back edge of the area, across it from its
  /// centre line (starboard positive), and above its floor.
  double alongFt = 0, acrossFt = 0, heightFt = 0;
  /// Length of the area along the landing direction, feet.
  double lengthFt = 0;
  /// The area from back to front in four equal bands, 1 at the back.
  int band = 1;
};

/// Finds, for a catch area with a landing direction (`catch-area ... landing <heading>`), the
/// exact point at which each step's straight path from the state before to the state after it
/// entered the area, notes it as an observation and keeps it for the summary. An area without
/// a landing direction is not watched.
class CatchEntryTracker {
 public:
  void setCatchArea(const CatchArea& area);
  /// After every integration step: timeUs is the observation time of its end, dt its length.
  void onStep(int64_t timeUs, double dt, const AircraftState& before, const AircraftState& after,
              Observer& obs);
  const std::vector<CatchEntry>& entries() const { return entries_; }
  /// The summary line of the last entry (empty when there was none).
  std::string text() const;

 private:
  std::optional<CatchArea> area_;
  std::vector<CatchEntry> entries_;
};

/// The fraction (0..1) of the straight segment from `from` to `to` at which it enters the
/// area's box, when it does and `from` lies outside it.
std::optional<double> entryFraction(const CatchArea& area, const AircraftState& from,
                                    const AircraftState& to);

}  // namespace sim
