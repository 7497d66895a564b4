#include <gtest/gtest.h>

#include "fuel/scenario_run.h"

namespace {

TEST(RefuelScenario, ClimbsLoadsTogglesAndFillsEveryTank) {
  fuel_test::ScenarioRun run("refuel.scn");
  ASSERT_TRUE(run.parsed) << run.parseErrors;
  run.run(90000);
  EXPECT_EQ(run.sim().exitCode(), 0) << run.sim().summaryText();
  EXPECT_FALSE(run.form().fuelLoading);
  EXPECT_EQ(run.form().lblFuelTransferStatus.text(), "");
  EXPECT_EQ(run.form().rdgrpFuelTransferRate.itemIndex(), 1);
}

}  // namespace
