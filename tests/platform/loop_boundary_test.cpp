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
