#include <gtest/gtest.h>

#include <string>

#include "harness/harness.h"

namespace {

TEST(ScenarioFiles, TrapIsCaughtAndStopped) {
  harness::Harness h(harness::Options::flying());
  std::string summary;
  EXPECT_EQ(h.flyScenario("samples/scenarios/trap.scn", 60000, summary), 0) << summary;
  EXPECT_EQ(h.form().lblCableCatchStatus.text(), "Cables were CAUGHT.");
  EXPECT_NE(h.form().arrest.LastArrestEnd, 0);
  EXPECT_NE(summary.find("Arrest: touchdown"), std::string::npos) << summary;
}

TEST(ScenarioFiles, BolterIsNotCaught) {
  harness::Harness h(harness::Options::flying());
  std::string summary;
  EXPECT_EQ(h.flyScenario("samples/scenarios/bolter.scn", 60000, summary), 0) << summary;
  EXPECT_EQ(h.form().lblCableCatchStatus.text(), "");
  EXPECT_EQ(h.form().arrest.LastArrestEnd, 0);
}

}  // namespace
