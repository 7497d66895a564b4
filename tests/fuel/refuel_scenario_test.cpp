#include <gtest/gtest.h>

#include <string>

#include "app/edition.h"
#include "harness/harness.h"

namespace {

TEST(RefuelScenario, ClimbsLoadsTogglesAndFillsEveryTank) {
  harness::Options o;
  o.server.simIndex = IsFS2004Edition ? 7 : 6;
  o.flightModel = true;
  harness::Harness h(o);
  std::string error;
  ASSERT_TRUE(h.loadScenario("samples/scenarios/refuel.scn", error)) << error;
  TFormMain& f = h.start();
  h.runUntil([&] { return h.simulator->scenarioFinished(); }, 90000);
  h.simulator->finishScenario();
  EXPECT_EQ(h.simulator->exitCode(), 0) << h.simulator->summaryText();
  EXPECT_FALSE(f.fuelLoading);
  EXPECT_EQ(f.lblFuelTransferStatus.text(), "");
  EXPECT_EQ(f.rdgrpFuelTransferRate.itemIndex(), 1);
}

}  // namespace
