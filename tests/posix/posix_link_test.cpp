#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/form_main.h"
#include "simlink/sim_link.h"
#include "system/system_run.h"

namespace {

namespace fs = std::filesystem;
using systemtest::editionSim;
using systemtest::SystemRun;

}  // namespace

TEST(PosixTransportAgainstCorvaneSim, ConnectsRunsAndClosesCleanly) {
  SystemRun run(editionSim());
  ASSERT_TRUE(run.sim->running());
  TFormMain& form = run.start();
  EXPECT_EQ(form.lblConnectionInfo.text(), std::string(IsFS2004Edition ? "FS2004" : "FS2002") +
                                               " connection status : Okay,  FSUIPC Ver : 3.630");
  EXPECT_TRUE(form.pgMain.enabled());
  EXPECT_EQ(form.arrest.NearestZoneIndex, 0);
  run.loop.runUntil(run.clock.nowMs() + 1200);       // one gate tick over the socket
  EXPECT_EQ(form.lblFlightStatus.text(), "LANDED");  // parked on the sample deck
  form.FormClose();
  EXPECT_FALSE(run.link.SimLinkIsOpen());
  EXPECT_EQ(run.sim->stop(), 0);
  EXPECT_FALSE(fs::exists(run.dir / "ipc" / "UIPCMAIN"));
}

TEST(PosixTransportAgainstCorvaneSim, RefusalsReachTheConnectionLine) {
  struct Case {
    std::vector<std::string> args;
    std::string line;
  } cases[] = {
      {{"--fsuipc-version", "0x28200000"},
       "Program only works with FSUIPC 2.83 or later -- Connection Aborted"},
      {{"--sim-index", IsFS2004Edition ? "6" : "1"}, edition::WrongSimulatorMessage},
  };
  for (Case& c : cases) {
    SystemRun run(c.args.front() == "--sim-index" ? c.args : editionSim(c.args));
    TFormMain& form = run.start();
    EXPECT_EQ(form.lblConnectionInfo.text(), c.line);
    EXPECT_FALSE(run.link.SimLinkIsOpen());
  }
}

TEST(PosixTransportAgainstCorvaneSim, NoServerIsReported) {
  SystemRun run({"--this-option-does-not-exist"});  // corvane-sim refuses to start
  TFormMain& form = run.start();
  EXPECT_EQ(form.lblConnectionInfo.text(),
            "FSUIPC/WideClient not currently available -- Is FS running?");
}
