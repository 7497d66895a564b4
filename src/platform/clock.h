#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace platform {

/// Calendar date and time of day, for texts the user reads (the zone-load failure log).
struct DateTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

/// Short date as the program writes it ("2026-12-07").
std::string formatShortDate(const DateTime& dt);
/// Long time as the program writes it ("21:43:05").
std::string formatLongTime(const DateTime& dt);

/// Source of time for the event loop and every blocking wait.
class Clock {
 public:
  virtual ~Clock() = default;
  /// Monotonic milliseconds since an arbitrary origin; never wraps at midnight.
  virtual int64_t nowMs() const = 0;
  /// The same monotonic time in microseconds, for due times finer than a millisecond.
  virtual int64_t nowUs() const = 0;
  /// Blocks the calling thread for ms milliseconds (a virtual clock just advances).
  virtual void sleepMs(int64_t ms) = 0;
  /// Wall-clock date and time.
  virtual DateTime wallClock() const = 0;
  /// Wall-clock microseconds since 1970: unlike nowMs(), it differs from one run to the next.
  virtual int64_t wallClockUs() const = 0;
};

/// The machine's monotonic clock; sleepMs really sleeps.
class RealClock final : public Clock {
 public:
  RealClock();
  int64_t nowMs() const override;
  /// Monotonic microseconds since construction.
  int64_t nowUs() const override;
  void sleepMs(int64_t ms) override;
  DateTime wallClock() const override;
  int64_t wallClockUs() const override;

 private:
  int64_t originNs_;
};

/// A clock that only moves when told to: tests and the in-process harness drive it.
class VirtualClock final : public Clock {
 public:
  explicit VirtualClock(int64_t startMs = 1'000'000);
  int64_t nowMs() const override { return now_; }
  /// Whole milliseconds only: the virtual time moves in steps of a millisecond.
  int64_t nowUs() const override { return now_ * 1000; }
  /// Advances the time by ms and notifies the sleep observer (does not block).
  void sleepMs(int64_t ms) override;
  DateTime wallClock() const override { return wall_; }
  /// Runs on from the value last set, at the pace of the virtual time.
  int64_t wallClockUs() const override { return wallUs_ + (now_ - wallSetAtMs_) * 1000; }
  /// Moves the time forward to t (never backwards).
  void advanceTo(int64_t t);
  void setWallClock(const DateTime& dt) { wall_ = dt; }
  /// Sets the wall-clock microseconds as of now (a run started at another moment).
  void setWallClockUs(int64_t us) {
    wallUs_ = us;
    wallSetAtMs_ = now_;
  }
  /// Called after every sleep with the new time, so a harness can run the server meanwhile.
  std::function<void(int64_t)> onSleep;

 private:
  int64_t now_;
  DateTime wall_{2026, 12, 7, 12, 0, 0};
  int64_t wallUs_ = 1'796'644'800'000'000;  // 2026-12-07 12:00 UTC
  int64_t wallSetAtMs_ = now_;
};

}  // namespace platform
