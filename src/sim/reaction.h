#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/aircraft.h"
#include "sim/observer.h"

namespace sim {

/// The area in which the client is expected to catch the aircraft: a box of latitude and
/// longitude (degrees) with an altitude window (feet), both bounds included; optionally the
/// landing direction over it (degrees true), which gives it a back edge and wire bands.
struct CatchArea {
  double latMin = 0, latMax = 0, lonMin = 0, lonMax = 0, floorFt = 0, ceilingFt = 0;
  std::optional<double> landingDeg;
  bool contains(const AircraftState& s) const;
};

/// Measures how quickly the client reacts: for a trap, from the first step with the aircraft
/// inside the catch area to the first deceleration the client writes; for a launch, from the
/// release of the parking brake to the first positive acceleration it writes. Each figure is
/// noted as an observation and kept for the summary.
class ReactionTracker {
 public:
  void setCatchArea(const CatchArea& area);
  /// After every integration step, timeUs being the step's end.
  void onStep(int64_t timeUs, const AircraftState& after);
  /// After a scenario changed the aircraft's controls.
  void onControls(int64_t timeUs, const AircraftState& now);
  /// A client write of the acceleration (ft/s^2).
  void onAccel(int64_t timeUs, double fps2, Observer& obs);

  const std::vector<int64_t>& trapUs() const { return trapUs_; }
  const std::vector<int64_t>& launchUs() const { return launchUs_; }
  /// The summary lines (empty when nothing was measured).
  std::string text() const;

 private:
  std::optional<CatchArea> area_;
  bool inside_ = false;
  std::optional<int64_t> enteredUs_, releasedUs_;
  int lastBrake_ = -1;
  std::vector<int64_t> trapUs_, launchUs_;
};

}  // namespace sim
