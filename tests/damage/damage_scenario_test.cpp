#include <gtest/gtest.h>

#include <string>

#include "app/edition.h"
#include "harness/harness.h"

namespace {

TEST(DamageScenario, EachLevelHitsItsOneWorkingItem) {
  harness::Options o;
  o.server.simIndex = IsFS2004Edition ? 7 : 6;
  o.flightModel = true;
  harness::Harness h(o);
  std::string error;
  ASSERT_TRUE(h.loadScenario("samples/scenarios/damage.scn", error)) << error;
  h.start();
  h.runUntil([&] { return h.simulator->scenarioFinished(); }, 60000);
  h.simulator->finishScenario();
  EXPECT_EQ(h.simulator->exitCode(), 0) << h.simulator->summaryText();
  EXPECT_TRUE(h.sawMessage("BATTLE DAMAGE (1) INCURRED"));
}

}  // namespace
