#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/event_loop.h"

// A handler that throws is reported once and the loop goes on; a front end hears when the
// earliest due time may have moved.
TEST(EventLoopBoundary, AThrowingTickIsReportedAndTheLoopGoesOn) {
  platform::VirtualClock clock(0);
  platform::EventLoop loop(clock);
  std::vector<std::string> errors;
  loop.onError = [&](const std::string& text) { errors.push_back(text); };
  int scheduleChanges = 0;
  loop.onScheduleChanged = [&] { ++scheduleChanges; };
  int steady = 0;
  platform::Timer failing(loop, "failing", 10, true, [] { throw std::runtime_error("boom"); });
  platform::Timer ticking(loop, "ticking", 10, true, [&] { ++steady; });
  EXPECT_EQ(scheduleChanges, 2);
  loop.runUntil(30);
  EXPECT_EQ(errors, (std::vector<std::string>{"boom", "boom", "boom"}));
  EXPECT_EQ(steady, 3);
  failing.setEnabled(false);
  ticking.setInterval(20);
  EXPECT_EQ(scheduleChanges, 4);
}

// A front end handed control in the middle of a tick or an action (a window's modal loop)
// learns that a handler is running, whether it returns or throws.
TEST(EventLoopBoundary, TheLoopTellsWhileAHandlerRuns) {
  platform::VirtualClock clock(0);
  platform::EventLoop loop(clock);
  std::vector<bool> seen;
  platform::Timer tick(loop, "tick", 10, true, [&] {
    seen.push_back(loop.inHandler());
    loop.guard([&] { seen.push_back(loop.inHandler()); });
    seen.push_back(loop.inHandler());
    throw std::runtime_error("boom");
  });
  EXPECT_FALSE(loop.inHandler());
  loop.runUntil(10);
  EXPECT_EQ(seen, (std::vector<bool>{true, true, true}));
  EXPECT_FALSE(loop.inHandler()) << "after a handler that threw";
}
