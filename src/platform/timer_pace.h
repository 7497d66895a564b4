#pragma once

#include <cstdint>

namespace platform {

/// Tells, from the due times the event loop waits for, whether a fast timer (an interval of
/// 25 ms or less: the deceleration, acceleration and launch-check timers) is running, so the
/// wait can raise the program's priority for that time only.
class TimerPace {
 public:
  /// Gap between two due times at or under which a timer counts as fast.
  static constexpr int64_t kFastGapUs = 25'000;
  /// Short gaps in a row that make the pace fast: two slow timers due close together once in a
  /// while (a 250 ms and a 50 ms one) never give that many.
  static constexpr int kShortGapsToRaise = 4;

  /// Notes the due time of the next wait and returns whether the pace is fast. A due time seen
  /// again (a wait resumed after a window message) changes nothing; one gap longer than
  /// kFastGapUs ends the fast pace at once.
  bool note(int64_t dueUs) {
    if (last_ >= 0 && dueUs == last_) return fast();
    if (last_ >= 0 && dueUs > last_ && dueUs - last_ <= kFastGapUs) {
      if (shortGaps_ < kShortGapsToRaise) ++shortGaps_;
    } else {
      shortGaps_ = 0;
    }
    last_ = dueUs;
    return fast();
  }
  bool fast() const { return shortGaps_ >= kShortGapsToRaise; }

 private:
  int64_t last_ = -1;
  int shortGaps_ = 0;
};

}  // namespace platform
