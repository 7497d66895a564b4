#include "cli/headless_run.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli/control_snapshot.h"
#include "harness/harness.h"
#include "platform/stdin_lines.h"
#include "simlink/sim_link.h"

namespace {

TEST(Headless, DurationIsHonouredWithin25sWhereverAHungServerHoldsTheProgram) {
  // The end time falls at the hang, inside the failing exchange, just before and after its end,
  // between reconnects and inside the handshake of the next one.
  for (const int64_t endAfterHang : {0, 10000, 20900, 21500, 30000, 38000, 45000, 60000}) {
    SCOPED_TRACE(testing::Message() << "end " << endAfterHang << " ms after the hang");
    harness::Harness h(harness::Options::flying());
    TFormMain& form = h.start();
    h.runFor(3000);
    h.transport->failSends(1 << 30, 0);

    platform::StdinLines input;
    input.open = false;
    ControlSnapshot snapshot(form);
    std::ostringstream out;
    HeadlessRun run;
    run.endMs = h.clock.nowMs() + endAfterHang;
    RunHeadless(form, h.loop, input, snapshot, out, run);
    EXPECT_LE(h.clock.nowMs() - run.endMs, 25000);
    EXPECT_FALSE(h.link.SimLinkIsOpen());
  }
}

}  // namespace
