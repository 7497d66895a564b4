#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "platform/timer_pace.h"

namespace {

// The due times the loop waits for over durationMs with the given timers running (all started
// at 0, microsecond offsets as real timers have), each due time once.
std::vector<int64_t> dueTimes(std::initializer_list<int> intervalsMs, int durationMs) {
  std::vector<int64_t> due;
  int offsetUs = 137;
  for (int interval : intervalsMs) {
    for (int64_t t = interval * 1000 + offsetUs; t <= durationMs * 1000; t += interval * 1000)
      due.push_back(t);
    offsetUs += 311;
  }
  std::sort(due.begin(), due.end());
  due.erase(std::unique(due.begin(), due.end()), due.end());
  return due;
}

int fastWaits(platform::TimerPace& pace, const std::vector<int64_t>& due) {
  int fast = 0;
  for (int64_t t : due) fast += pace.note(t) ? 1 : 0;
  return fast;
}

}  // namespace

TEST(TimerPace, FastOnlyWhileATimerOf25MsOrLessRuns) {
  // The idle program: catch check, key polling and the once-a-second checks never raise it.
  platform::TimerPace idle;
  EXPECT_EQ(fastWaits(idle, dueTimes({50, 250, 1000, 15000}, 60'000)), 0);

  // An arrest at the slowest granularity, a stroke, the catapult hold: fast from the fifth wait.
  for (int fastInterval : {20, 10, 5, 7}) {
    platform::TimerPace pace;
    const std::vector<int64_t> due = dueTimes({fastInterval, 50, 250, 1000}, 2'000);
    for (size_t i = 0; i < 4; ++i) EXPECT_FALSE(pace.note(due[i])) << fastInterval;
    EXPECT_EQ(fastWaits(pace, std::vector<int64_t>(due.begin() + 4, due.end())),
              static_cast<int>(due.size()) - 4)
        << fastInterval;
  }
}

TEST(TimerPace, AResumedWaitKeepsThePaceAndTheFirstLongGapEndsIt) {
  platform::TimerPace pace;
  for (int64_t t = 5'000; t <= 25'000; t += 5'000) pace.note(t);
  ASSERT_TRUE(pace.fast());
  // Woken by window messages, the loop waits for the same due time again and again.
  for (int i = 0; i < 10; ++i) EXPECT_TRUE(pace.note(25'000));
  EXPECT_TRUE(pace.note(30'000));
  // The arrest ended: the next due time is the catch check's, 50 ms on.
  EXPECT_FALSE(pace.note(80'000));
  EXPECT_FALSE(pace.note(85'000));
}
