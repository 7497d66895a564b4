#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fuel/fuel_transfer_unit.h"

namespace {

// The fuel transfer built alone, with its own controls, a message recorder and a link that is
// never opened (so every exchange is refused): no window.
class FuelUnit : public ::testing::Test {
 protected:
  FuelUnit() {
    rate.addItem(fuel::DrogueRateText, fuel::DrogueRate);
    rate.addItem(fuel::BoomRateText, fuel::BoomRate);
    rate.setItemIndex(0);
  }
  std::string messages() {
    std::string all;
    for (const std::string& m : shown) all += m + ";";
    shown.clear();
    return all;
  }

  platform::RadioGroup rate{"rdgrpFuelTransferRate"};
  platform::Label status{"lblFuelTransferStatus"};
  platform::SpeedButton disable{"btnManualDisable"};
  std::vector<std::string> shown;
  simlink::Link link;
  fuel::FuelTransferUnit unit{
      {rate, status, disable, link,
       [this](const std::string& t, int16_t s) { shown.push_back(t + "|" + std::to_string(s)); }}};
};

TEST_F(FuelUnit, ObeysTheOverrideItIsGivenAndTogglesTheRateOfItsGroup) {
  disable.setDown(true);
  unit.actFuelLoadExecute();
  unit.actFuelOFFloadExecute();
  unit.actFuelRateToggleExecute();
  EXPECT_EQ(messages(),
            "Fuel Load not available - Corvane has been manually disabled|3;"
            "Fuel OFFLoad not available - Corvane has been manually disabled|3;"
            "Fuel rate toggle not available - Corvane has been manually disabled|3;");
  EXPECT_EQ(rate.itemIndex(), 0);

  disable.setDown(false);
  unit.actFuelRateToggleExecute();
  EXPECT_EQ(rate.itemIndex(), 1);
  EXPECT_EQ(messages(), "Fuel transfer rate now set to 1200 GPM (boom)|7;");
  EXPECT_EQ(unit.TankIncrement(1200), 139810u);  // 1200 GPM into a 1200-gallon tank

  // Without a link the request reads nothing and starts nothing.
  unit.actFuelLoadExecute();
  EXPECT_FALSE(unit.fuelLoading);
  EXPECT_EQ(messages(), "");
}

TEST_F(FuelUnit, OwnsItsStateAndResetsIt) {
  unit.StartStopFuelLoad(true, "");
  unit.StartStopFuelOffload(true, "");
  EXPECT_TRUE(unit.fuelLoading);
  EXPECT_FALSE(unit.fuelOffloading);
  EXPECT_EQ(status.text(), "LOADING @ 500 GPM (drogue)");
  EXPECT_EQ(messages(),
            "Fuel Load started: 500 GPM (drogue)|3;"
            "Fuel Load in progress -- OffLoad request ignored|3;");

  unit.tankCapacity.fill(100);
  rate.setEnabled(false);
  unit.Reset();
  EXPECT_FALSE(unit.fuelLoading);
  EXPECT_EQ(unit.tankCapacity, fuel::TankLevels{});
  EXPECT_TRUE(rate.enabled());
  unit.TransferTick();  // nothing under way: no step, no message
  EXPECT_EQ(messages(), "");
}

}  // namespace
