#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/event_loop.h"

namespace {

struct Fixture {
  platform::VirtualClock clock{0};
  platform::EventLoop loop{clock};
  std::vector<std::string> fired;
  std::vector<int64_t> times;
};

// A clock with microsecond steps that only moves when told to; the loop is driven with runDue,
// so nothing ever waits for real.
class MicrosecondClock final : public platform::Clock {
 public:
  int64_t nowMs() const override { return us / 1000; }
  int64_t nowUs() const override { return us; }
  void sleepMs(int64_t ms) override { us += ms * 1000; }
  platform::DateTime wallClock() const override { return {}; }
  int64_t wallClockUs() const override { return us; }
  int64_t us = 0;
};

}  // namespace

TEST(Timer, DueTimesKeepTheFractionOfAMillisecondTheTimerStartedAt) {
  MicrosecondClock clock;
  platform::EventLoop loop(clock);
  clock.us = 600;
  std::vector<int64_t> ticks;
  platform::Timer t(loop, "t", 5, true, [&] { ticks.push_back(clock.us); });
  // (time of the look, ticks expected): late handling never moves the grid 5.6, 10.6, 15.6 ...
  const std::pair<int64_t, int> looks[] = {{5'599, 0},  {5'600, 1},  {10'599, 0},
                                           {11'500, 1}, {15'599, 0}, {15'600, 1}};
  for (const auto& [us, expected] : looks) {
    clock.us = us;
    EXPECT_EQ(loop.runDue(), expected) << "at " << us << " us";
  }
  EXPECT_EQ(loop.nextDueUs(), 20'600);
  EXPECT_EQ(loop.nextDueMs(), 21);  // rounded up: a millisecond wait never wakes before it
}

TEST(Timer, EnablingAnEnabledTimerKeepsItsCount) {
  Fixture f;
  platform::Timer t(f.loop, "t", 100, true, [&] { f.times.push_back(f.clock.nowMs()); });
  f.loop.runUntil(60);
  t.setEnabled(true);  // no restart
  f.loop.runUntil(250);
  EXPECT_EQ(f.times, (std::vector<int64_t>{100, 200}));
}

TEST(Timer, DisableThenEnableRestartsTheCount) {
  Fixture f;
  platform::Timer t(f.loop, "t", 100, true, [&] { f.times.push_back(f.clock.nowMs()); });
  f.loop.runUntil(60);
  t.setEnabled(false);
  t.setEnabled(true);
  f.loop.runUntil(250);
  EXPECT_EQ(f.times, (std::vector<int64_t>{160}));
}

TEST(Timer, IntervalChangeRestartsAnEnabledTimer) {
  Fixture f;
  platform::Timer t(f.loop, "t", 100, true, [&] { f.times.push_back(f.clock.nowMs()); });
  f.loop.runUntil(60);
  t.setInterval(50);
  f.loop.runUntil(200);
  EXPECT_EQ(f.times, (std::vector<int64_t>{110, 160}));
}

TEST(Timer, ALateTickFiresOnceWithoutCatchingUp) {
  Fixture f;
  platform::Timer slow(f.loop, "slow", 10, true, [&] {
    f.times.push_back(f.clock.nowMs());
    if (f.times.size() == 1) f.clock.sleepMs(55);  // a handler that blocks past five ticks
  });
  f.loop.runUntil(100);
  ASSERT_GE(f.times.size(), 3u);
  EXPECT_EQ(f.times[0], 10);
  EXPECT_EQ(f.times[1], 65);  // once, at once
  EXPECT_EQ(f.times[2], 70);  // then on the original grid again
}

TEST(Timer, PeriodIsCountedFromDueTimesNotFromSlowHandlers) {
  Fixture f;
  platform::Timer busy(f.loop, "busy", 10, true, [&] {
    f.times.push_back(f.clock.nowMs());
    f.clock.sleepMs(3);  // every tick's handler takes 3 ms
  });
  f.loop.runUntil(45);
  EXPECT_EQ(f.times, (std::vector<int64_t>{10, 20, 30, 40}));
}

TEST(Timer, DueTimersFireByDueTimeThenCreationOrder) {
  Fixture f;
  platform::Timer a(f.loop, "a", 20, true, [&] { f.fired.push_back("a"); });
  platform::Timer b(f.loop, "b", 10, true, [&] { f.fired.push_back("b"); });
  platform::Timer c(f.loop, "c", 20, true, [&] { f.fired.push_back("c"); });
  f.loop.runUntil(20);
  EXPECT_EQ(f.fired, (std::vector<std::string>{"b", "a", "b", "c"}));
}

TEST(Timer, AHandlerCanDisableAnotherDueTimer) {
  Fixture f;
  platform::Timer* second = nullptr;
  platform::Timer first(f.loop, "first", 10, true, [&] { second->setEnabled(false); });
  platform::Timer other(f.loop, "second", 10, true, [&] { f.fired.push_back("second"); });
  second = &other;
  f.loop.runUntil(50);
  EXPECT_TRUE(f.fired.empty());
}

TEST(Timer, SleepGoesThroughTheClock) {
  platform::VirtualClock clock(5);
  int64_t seen = -1;
  clock.onSleep = [&](int64_t now) { seen = now; };
  clock.sleepMs(250);
  EXPECT_EQ(clock.nowMs(), 255);
  EXPECT_EQ(seen, 255);
}
