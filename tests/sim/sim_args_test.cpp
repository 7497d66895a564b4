#include "sim/sim_args.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

TEST(SimArgs, GoodOptions) {
  sim::SimArgs a;
  std::string error;
  ASSERT_TRUE(
      sim::parseSimArgs({"--sim-index", "6", "--fsuipc-version", "0x28200000", "--relay-no-sim",
                         "--server-class", "FS98MAIN", "--scenario", "x.scn", "--start-now",
                         "--trace", "t.csv", "--step-hz", "120", "--wind", "270/25",
                         "--hold-accel"},
                        a, error))
      << error;
  EXPECT_EQ(a.sim.server.simIndex, 6);
  EXPECT_EQ(a.sim.server.fsuipcVersion, 0x28200000u);
  EXPECT_TRUE(a.sim.server.relayNoSim);
  EXPECT_EQ(a.serverClass, "FS98MAIN");
  EXPECT_EQ(a.scenarioFile, "x.scn");
  EXPECT_TRUE(a.startNow);
  EXPECT_EQ(a.traceFile, "t.csv");
  EXPECT_EQ(a.sim.stepHz, 120);
  EXPECT_EQ(a.sim.windFromDeg, 270);
  EXPECT_EQ(a.sim.windKt, 25);
  EXPECT_TRUE(a.sim.tuning.holdClientAccel);
  sim::SimArgs b;
  ASSERT_TRUE(sim::parseSimArgs({"--fsuipc-version", "909115392"}, b, error));
  EXPECT_FALSE(b.sim.tuning.holdClientAccel);
  EXPECT_EQ(b.sim.server.fsuipcVersion, 0x36300000u);
}

TEST(SimArgs, BadOptionsAreErrors) {
  const std::vector<std::vector<std::string>> bad = {
      {"--sim-index"},
      {"--sim-index", "-1"},
      {"--sim-index", "65536"},
      {"--sim-index", "7x"},
      {"--fsuipc-version", "0x"},
      {"--fsuipc-version", "0x123456789"},
      {"--fsuipc-version", "3.63"},
      {"--server-class", "uipcmain"},
      {"--step-hz", "0"},
      {"--step-hz", "10001"},
      {"--wind", "270"},
      {"--wind", "361/10"},
      {"--wind", "270/201"},
      {"--scenario"},
      {"--bogus"},
      {"scenario.scn"},
  };
  for (const auto& args : bad) {
    SCOPED_TRACE(args[0] + (args.size() > 1 ? " " + args[1] : ""));
    sim::SimArgs a;
    std::string error;
    EXPECT_FALSE(sim::parseSimArgs(args, a, error));
    EXPECT_FALSE(error.empty());
  }
}

TEST(SimArgs, ScenarioFileErrorsNameFileAndLine) {
  std::string path = ::testing::TempDir() + "bad.scn";
  {
    std::ofstream out(path);
    out << "# ok\nat 1 end\nat 2 set speed fast\nat x end\n";
  }
  sim::Scenario s;
  std::vector<std::string> errors;
  EXPECT_FALSE(sim::loadScenarioFile(path, s, errors));
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0].rfind(path + ":3: ", 0), 0u) << errors[0];
  EXPECT_EQ(errors[1].rfind(path + ":4: ", 0), 0u) << errors[1];
  errors.clear();
  EXPECT_FALSE(sim::loadScenarioFile(path + ".missing", s, errors));
  ASSERT_EQ(errors.size(), 1u);
}

}  // namespace
