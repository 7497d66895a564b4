// The program against a server that stops answering without going away, on the virtual clock.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "harness/harness.h"
#include "simlink/sim_link.h"

namespace {

const std::string kNoServer = "FSUIPC/WideClient not currently available -- Is FS running?";
constexpr int kForever = 1 << 30;

TEST(HungServer, ProgramSaysSoWithinTheFailingTickAndNeverStaysAwayFromItsLoopLonger) {
  // With "Detect Traps only if Tailhook is extended" the gate's first read (the hook) fails.
  for (const bool hookOption : {false, edition::HasTailhookOption}) {
    SCOPED_TRACE(hookOption ? "tailhook option" : "default options");
    harness::Harness h(harness::Options::flying());
    TFormMain& form = h.start();
    ASSERT_TRUE(form.pgMain.enabled()) << form.lblConnectionInfo.text();
    form.chkbxDetectTailhook.setChecked(hookOption);
    h.runFor(5000);

    int64_t notAvailableAt = -1;
    form.lblConnectionInfo.onChange = [&](platform::Control&, platform::Change) {
      if (notAvailableAt < 0 && form.lblConnectionInfo.text() == kNoServer)
        notAvailableAt = h.clock.nowMs();
    };
    // The loop is idle between ticks: that is where a front end sees its close and end time.
    int64_t back = h.clock.nowMs(), longestAway = 0;
    h.loop.onIdle = [&] {
      longestAway = std::max(longestAway, h.clock.nowMs() - back);
      back = std::max(h.clock.nowMs(), h.loop.nextDueMs());
    };
    const int64_t hungAt = h.clock.nowMs();
    h.transport->failSends(kForever, 0);
    h.loop.runUntil(hungAt + 120000);  // a failing tick, then reconnects that time out
    longestAway = std::max(longestAway, h.clock.nowMs() - back);

    ASSERT_GE(notAvailableAt, 0) << form.lblConnectionInfo.text();
    EXPECT_LE(notAvailableAt - hungAt, 45000);
    EXPECT_LE(longestAway, 21500) << "one exchange's retries, 10 x 2.1 s";
    EXPECT_FALSE(form.pgMain.enabled());
    EXPECT_GE(h.transport->sendCount(), 30) << "the program went on looking for its server";
  }
}

TEST(HungServer, StopAfterATimeOutMakesNoExchangeButSavesAndCloses) {
  harness::Harness h;
  TFormMain& form = h.start();
  ASSERT_TRUE(form.tmrKeystroke.enabled());
  form.options.SetCatapultHoldFactor(75);
  h.transport->failSends(kForever, 0);
  form.hotKeys.tmrKeystrokeTimer();  // its counter read times out

  const int sends = h.transport->sendCount();
  const int64_t before = h.clock.nowMs();
  form.StopProgram();
  EXPECT_EQ(h.transport->sendCount(), sends);
  EXPECT_EQ(h.clock.nowMs(), before);
  EXPECT_FALSE(h.link.SimLinkIsOpen());
  EXPECT_NE(h.readFile("Corvane.INI").find("CatapultHoldFactor=75"), std::string::npos);
  for (platform::Timer* t : form.timers()) EXPECT_FALSE(t->enabled()) << t->name();
}

}  // namespace
