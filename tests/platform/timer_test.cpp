#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/event_loop.h"

namespace {

struct Fixture {
  platform::VirtualClock clock{0};
  platform::EventLoop loop{clock};
  std::vector<std::string> fired;
  std::vector<int64_t> times;
};

}  // namespace

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
