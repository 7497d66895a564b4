#include <gtest/gtest.h>

#include <string>

#include "harness/harness.h"

// The demo's whole flight in-process: trap, catapult launch, refuelling and battle damage, all
// driven through the hot keys, in well under a second of real time.
TEST(DemoScenario, TrapLaunchRefuelAndDamageInOneFlight) {
  harness::Harness h(harness::Options::flying());
  std::string summary;
  ASSERT_EQ(h.flyScenario("samples/scenarios/demo.scn", 120000, summary), 0) << summary;
  EXPECT_NE(summary.find("Arrest: touchdown"), std::string::npos) << summary;
  EXPECT_NE(summary.find("Launch: end speed"), std::string::npos) << summary;
  EXPECT_NE(h.form().arrest.LastArrestEnd, 0);
  EXPECT_FALSE(h.form().fuelTransfer.fuelLoading);
  EXPECT_EQ(h.form().rdgrpFuelTransferRate.itemIndex(), 1);
}
