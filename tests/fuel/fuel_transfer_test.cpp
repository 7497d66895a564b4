#include "fuel/fuel_transfer.h"

#include <gtest/gtest.h>

namespace {

using fuel::TankLevels;

TEST(TankIncrementFor, RoundsToNearest) {
  struct Case {
    int64_t rate;
    uint32_t capacity;
    uint32_t expected;
  };
  const Case cases[] = {
      {fuel::DrogueRate, 100, 699051},  // 699050.67
      {fuel::BoomRate, 100, 1677722},   // 1677721.6
      {fuel::DrogueRate, 1, 69905067},
      {fuel::DrogueRate, 3, 23301689},   // exact
      {fuel::DrogueRate, 2, 34952534},   // 34952533.5: the even neighbour
      {fuel::DrogueRate, 6, 11650844},   // 11650844.5: the even neighbour
      {fuel::DrogueRate, 0, 0},          // no tank
      {0, 100, 0},                       // no rate selected
      {fuel::BoomRate, 4294967295u, 0},  // 0.04
  };
  for (const Case& c : cases)
    EXPECT_EQ(fuel::TankIncrementFor(c.rate, c.capacity), c.expected)
        << c.rate << " / " << c.capacity;
}

TEST(HeightAboveGround, JoinsTheHalvesAndSubtractsTheGround) {
  EXPECT_DOUBLE_EQ(fuel::HeightAboveGround({0, 1524}, 0), 1524.0);
  EXPECT_DOUBLE_EQ(fuel::HeightAboveGround({0x80000000u, 1600}, 76), 1524.5);
  EXPECT_LT(fuel::HeightAboveGround({0xFFFFFFFFu, 1523}, 0), fuel::MinLoadHeightM);
  EXPECT_DOUBLE_EQ(fuel::HeightAboveGround({0, 1000}, -524), 1524.0);
}

TEST(PlanLoadStep, SharesTheFlowAmongEligibleTanks) {
  const TankLevels none{};
  const TankLevels inc100{699051, 699051, 699051, 699051, 699051, 699051};

  // Only the centre tank: the whole flow goes to it.
  auto one = fuel::PlanLoadStep(none, {100, 0, 0, 0, 0, 0}, inc100);
  EXPECT_EQ(one.count, 1);
  EXPECT_EQ(one.levels[0], 699051u);
  EXPECT_FALSE(one.eligible[1]);

  // Two tanks share it.
  auto two = fuel::PlanLoadStep(none, {100, 0, 100, 0, 0, 0}, inc100);
  EXPECT_EQ(two.count, 2);
  EXPECT_EQ(two.levels[0], 349525u);
  EXPECT_EQ(two.levels[2], 349525u);
}

TEST(PlanLoadStep, FullLevels) {
  const TankLevels caps{100, 100, 100, 0, 0, 0};
  const TankLevels inc{699051, 699051, 699051, 699051, 699051, 699051};
  // At the threshold a tank is full; just below it, it is filled to exactly full.
  auto step = fuel::PlanLoadStep({fuel::FillThreshold, fuel::FillThreshold - 1, 8388608, 0, 0, 0},
                                 caps, inc);
  EXPECT_EQ(step.count, 1);
  EXPECT_FALSE(step.eligible[0]);
  EXPECT_TRUE(step.eligible[1]);
  EXPECT_EQ(step.levels[1], fuel::TankFull);
  EXPECT_FALSE(step.eligible[2]);
  // A tank without capacity is never taken, whatever its level reads.
  EXPECT_FALSE(step.eligible[3]);

  // A level beyond anything sensible does not overflow.
  auto odd = fuel::PlanLoadStep({0xFFFFFFFFu, 0, 0, 0, 0, 0}, {100, 0, 0, 0, 0, 0}, inc);
  EXPECT_EQ(odd.count, 0);
}

TEST(PlanOffloadStep, FloorLevels) {
  const TankLevels caps{100, 100, 100, 0, 0, 0};
  const TankLevels inc{699051, 699051, 699051, 699051, 699051, 699051};
  auto step = fuel::PlanOffloadStep(
      {fuel::OffloadFloor, fuel::OffloadFloor + 1, 8388608, 5000000, 0, 0}, caps, inc);
  EXPECT_EQ(step.count, 2);
  EXPECT_FALSE(step.eligible[0]);
  EXPECT_EQ(step.levels[1], fuel::OffloadFloor);
  EXPECT_EQ(step.levels[2], 8388608u - 699051u / 2);
  EXPECT_FALSE(step.eligible[3]);

  auto none = fuel::PlanOffloadStep({838861, 0, 100, 0, 0, 0}, caps, inc);
  EXPECT_EQ(none.count, 0);
}

}  // namespace
