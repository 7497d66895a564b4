// The program against a server that crashes or answers garbage, over the system's own
// transport with corvane-sim in a child process. These run in real time.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "system/system_run.h"

namespace {

using namespace systemtest;

std::string writeScenario(const SystemRun& run, const std::string& text) {
  const std::string path = (run.dir / "fault.scn").string();
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

/// The program loses its server in the middle of something, then a new server appears.
struct KillCase {
  const char* during;
  const char* scenario;
  std::function<void(TFormMain&)> begin;     // what the user does once connected
  std::function<bool(TFormMain&)> underway;  // the action is running
};

void PrintTo(const KillCase& c, std::ostream* os) { *os << c.during; }

class ServerKilled : public ::testing::TestWithParam<KillCase> {};

TEST_P(ServerKilled, ProgramStopsTheActionAndReconnectsToTheNextServer) {
  const KillCase& c = GetParam();
  SystemRun run({});
  run.sim.reset();  // the server of this case flies its scenario
  ASSERT_TRUE(run.startServer(editionSim({"--scenario", writeScenario(run, c.scenario)})));
  TFormMain& form = run.start();
  ASSERT_EQ(form.lblConnectionInfo.text(), connectedLine());
  c.begin(form);
  ASSERT_TRUE(runUntil(run, 15000, [&] { return c.underway(form); })) << c.during;

  run.sim->kill();
  EXPECT_TRUE(runUntil(
      run, 8000, [&] { return !c.underway(form) && form.lblConnectionInfo.text() == kNoServer; }))
      << c.during << ": " << form.lblConnectionInfo.text();
  EXPECT_FALSE(form.tmrDecel.enabled() || form.tmrAccel.enabled() ||
               form.tmrLaunchCheck.enabled() || form.tmrCheckForCatch.enabled());

  // The program keeps retrying; a new server is found within about 17 s.
  ASSERT_TRUE(run.startServer(editionSim()));
  EXPECT_TRUE(
      runUntil(run, 17500, [&] { return form.lblConnectionInfo.text() == connectedLine(); }))
      << c.during << ": " << form.lblConnectionInfo.text();
  EXPECT_TRUE(form.pgMain.enabled());
  form.FormClose();
}

// The aircraft of each case starts where the action begins within a few seconds.
INSTANTIATE_TEST_SUITE_P(
    DuringEachAction, ServerKilled,
    ::testing::Values(
        KillCase{"approach",
                 "at 0 set lat 36.950185 lon -76.3205 alt 282 surface 60 heading 90 magvar 0 "
                 "speed 130 vs -500\n"
                 "at 0 set gear 1 brake 0 throttle 6144 engine_type 1 taildragger 0 hook 1\n",
                 [](TFormMain&) {}, [](TFormMain& f) { return f.tmrCheckForCatch.enabled(); }},
        KillCase{"arrest",
                 "at 0 set lat 36.950185 lon -76.3042 alt 110 surface 60 heading 90 magvar 0 "
                 "speed 130 vs -500\n"
                 "at 0 set gear 1 brake 0 throttle 0 engine_type 1 taildragger 0 hook 1\n",
                 [](TFormMain&) {}, [](TFormMain& f) { return f.tmrDecel.enabled(); }},
        KillCase{"catapult stroke",
                 "at 0 set lat 36.95020 lon -76.29890 alt 60 surface 60 heading 90 magvar 0 "
                 "speed 0\n"
                 "at 0 set gear 1 brake 32767 throttle 16384 engine_type 1 taildragger 0 hook 0\n"
                 "at 3 set brake 0\n",
                 [](TFormMain& f) { f.actCatapultArm.execute(); },
                 [](TFormMain& f) { return f.tmrAccel.enabled(); }},
        KillCase{"fuel loading",
                 "at 0 set lat 37.5 lon -77.0 alt 9000 surface 0 heading 90 bank 0 speed 280 "
                 "vs 0 throttle 12000\n"
                 "at 0 set gear 0 hook 0 brake 0 magvar 0 engines 2 engine_type 1 taildragger 0\n"
                 "at 0 set tank.centre.capacity 1000 tank.centre.level 0.1\n",
                 [](TFormMain& f) { f.actFuelLoad.execute(); },
                 [](TFormMain& f) { return f.fuelTransfer.fuelLoading; }}),
    [](const ::testing::TestParamInfo<KillCase>& info) {
      std::string name = info.param.during;
      for (char& ch : name)
        if (ch == ' ') ch = '_';
      return name;
    });

TEST(ServerAnsweringGarbage, EveryBatchFailsWithBadDataAndNoDestinationIsWritten) {
  SystemRun run(editionSim({"--garbage-after", "1"}));  // the handshake's one pass is answered
  ASSERT_TRUE(run.sim->running());
  platform::VirtualClock clock;  // the link's waits; the server runs on its own
  simlink::Link link(run.transport.get(), &clock);
  uint32_t result = 0;
  ASSERT_TRUE(link.SimLinkOpen(0, result)) << result;
  for (int batch = 0; batch < 4; ++batch) {  // the size, then the identifier, is corrupted
    uint32_t version = 0xDEADBEEF;
    uint16_t index = 0xBEEF;
    ASSERT_TRUE(link.SimLinkRead(0x3304, 4, &version, result));
    ASSERT_TRUE(link.SimLinkRead(0x3308, 2, &index, result));
    EXPECT_FALSE(link.SimLinkProcess(result));
    EXPECT_EQ(result, kSimLinkBadData);
    EXPECT_EQ(version, 0xDEADBEEFu);
    EXPECT_EQ(index, 0xBEEF);
  }
  link.SimLinkClose();
}

}  // namespace
