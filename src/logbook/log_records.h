#pragma once

#include <cstdint>

#include "logbook/log_rules.h"

// What the trap and launch log keeps between ticks while a pass, an arrest or a stroke is under
// way; each is written as one line when it ends.

/// A pass through the catch area that has not (yet) been caught.
struct TPassRecord {
  bool active = false;
  TPassFigures figures;
  const char* reason = "";  // why the last tick inside the area did not catch
};

/// Speed samples of an arrest or a stroke: distance travelled and the peak rate of change.
struct TMotionRecord {
  bool active = false;
  int64_t startMs = 0;
  int64_t lastMs = 0;
  double startSpeedFps = 0;
  double lastSpeedFps = 0;
  double distanceFt = 0;
  /// The rate of change is measured over windows of at least this long, so that speed samples
  /// taken between the simulator's frames do not show spikes.
  static constexpr int64_t kWindowMs = 100;
  int64_t windowStartMs = 0;
  double windowStartSpeedFps = 0;
  double peakDecelFps2 = 0;

  /// Starts at time ms at speed.
  void begin(int64_t ms, double speedFps);
  /// Adds the speed sampled at time ms.
  void sample(int64_t ms, double speedFps);
  /// Seconds from the start to the last sample.
  double seconds() const;
  /// Peak deceleration, ft/s^2: the largest over the windows, at least the mean of the run.
  double peakDecel() const;
};

/// The caught pass whose arrest is running.
struct TArrestRecord {
  TPassFigures figures;
  const char* grade = "";
  TMotionRecord motion;
  /// Filled by the arrest after the catch when realistic gear is on.
  TGearFigures gear;
};

/// The catapult stroke under way.
struct TLaunchRecord {
  TLaunchFigures figures;
  TMotionRecord motion;
  /// Filled by the catapult after the stroke's start when realistic gear is on.
  TGearFigures gear;
};
