#include <gtest/gtest.h>

#include "fuel/scenario_run.h"

namespace {

TEST(DamageScenario, EachLevelHitsItsOneWorkingItem) {
  fuel_test::ScenarioRun run("damage.scn");
  ASSERT_TRUE(run.parsed) << run.parseErrors;
  run.run(60000);
  EXPECT_EQ(run.sim().exitCode(), 0) << run.sim().summaryText();
}

}  // namespace
