#include <gtest/gtest.h>

#include <string>

#include "harness/harness.h"

namespace {

TEST(DamageScenario, EachLevelHitsItsOneWorkingItem) {
  harness::Harness h(harness::Options::flying());
  std::string summary;
  EXPECT_EQ(h.flyScenario("samples/scenarios/damage.scn", 60000, summary), 0) << summary;
  EXPECT_TRUE(h.sawMessage("BATTLE DAMAGE (1) INCURRED"));
}

}  // namespace
