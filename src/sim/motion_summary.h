#pragma once

#include <cstdint>
#include <string>

#include "sim/aircraft.h"
#include "sim/flight_model.h"
#include "sim/observer.h"

namespace sim {

/// The last arrest: from touchdown (or the first cable pull in the air) to the stop.
struct ArrestSummary {
  bool valid = false;
  double touchdownKt = 0;
  double stopDistanceFt = 0;
  double stopTimeS = 0;
  double peakDecelFps2 = 0;
};

/// The last catapult stroke: the steps with a positive acceleration from the client.
struct LaunchSummary {
  bool valid = false;
  double endKt = 0;
  double strokeFt = 0;
  double strokeTimeS = 0;
};

/// Watches the steps of the flight model for touchdowns, arrests, launches, crashes and
/// lift-offs, and notes each as an observation.
class MotionTracker {
 public:
  /// timeUs: observation time of the step's end; dt in seconds.
  void onStep(int64_t timeUs, double dt, const AircraftState& before, const AircraftState& after,
              const StepEvents& ev, Observer& obs);
  /// Closes a stroke still under way (at the end of a scenario).
  void flush(Observer& obs);
  const ArrestSummary& arrest() const { return arrest_; }
  const LaunchSummary& launch() const { return launch_; }
  /// The summary lines of the arrest and the launch (empty when neither happened).
  std::string text() const;

 private:
  void finishStroke(int64_t timeUs, Observer& obs);

  bool rollout_ = false;
  bool pulled_ = false;
  double rollStartKt_ = 0, rollFt_ = 0, rollS_ = 0, rollPeak_ = 0;
  ArrestSummary arrest_;

  bool stroke_ = false;
  double strokeFt_ = 0, strokeS_ = 0, strokeEndKt_ = 0, gapS_ = 0;
  int64_t strokeEndUs_ = 0;
  LaunchSummary launch_;
};

}  // namespace sim
