#include <gtest/gtest.h>

#include <string>

#include "harness/harness.h"

namespace {

TEST(RefuelScenario, ClimbsLoadsTogglesAndFillsEveryTank) {
  harness::Harness h(harness::Options::flying());
  std::string summary;
  EXPECT_EQ(h.flyScenario("samples/scenarios/refuel.scn", 90000, summary), 0) << summary;
  TFormMain& f = h.form();
  EXPECT_FALSE(f.fuelTransfer.fuelLoading);
  EXPECT_EQ(f.lblFuelTransferStatus.text(), "");
  EXPECT_EQ(f.rdgrpFuelTransferRate.itemIndex(), 1);
}

}  // namespace
