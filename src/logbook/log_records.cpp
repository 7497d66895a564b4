#include "logbook/log_records.h"

#include <algorithm>

void TMotionRecord::begin(int64_t ms, double speedFps) {
  active = true;
  startMs = lastMs = windowStartMs = ms;
  startSpeedFps = lastSpeedFps = windowStartSpeedFps = speedFps;
  distanceFt = 0;
  peakDecelFps2 = 0;
}

void TMotionRecord::sample(int64_t ms, double speedFps) {
  if (!active || ms < lastMs) return;
  distanceFt += (lastSpeedFps + speedFps) / 2 * static_cast<double>(ms - lastMs) / 1000;
  lastMs = ms;
  lastSpeedFps = speedFps;
  if (ms - windowStartMs >= kWindowMs) {
    const double rate =
        (windowStartSpeedFps - speedFps) / (static_cast<double>(ms - windowStartMs) / 1000);
    peakDecelFps2 = std::max(peakDecelFps2, rate);
    windowStartMs = ms;
    windowStartSpeedFps = speedFps;
  }
}

double TMotionRecord::seconds() const { return static_cast<double>(lastMs - startMs) / 1000; }

double TMotionRecord::peakDecel() const {
  // A run shorter than one window still has its mean.
  const double s = seconds();
  const double mean = s > 0 ? (startSpeedFps - lastSpeedFps) / s : 0;
  return std::max(peakDecelFps2, mean);
}
