#include "catapult/catapult_rules.h"

#include <gtest/gtest.h>

#include <string>

TEST(CatapultRules, ArmingReachIsStrictInBothDirections) {
  EXPECT_TRUE(WithinCatapultArmingReach(0.0029, 0.0029));
  EXPECT_TRUE(WithinCatapultArmingReach(-0.0029, -0.0029));
  EXPECT_FALSE(WithinCatapultArmingReach(0.003, 0.0));
  EXPECT_FALSE(WithinCatapultArmingReach(0.0, -0.003));
}

TEST(CatapultRules, KeepReachNeedsOnlyOneDirection) {
  EXPECT_TRUE(WithinCatapultKeepReach(0.05, 0.03));
  EXPECT_TRUE(WithinCatapultKeepReach(-0.03, 0.05));
  EXPECT_FALSE(WithinCatapultKeepReach(0.05, -0.0301));
}

TEST(CatapultRules, ReleaseHoldAndNeither) {
  struct Case {
    int16_t brake;
    int16_t throttle;
    double speed;
    bool released;
    bool holds;
  };
  const Case cases[] = {
      {0, 15565, 0.0, false, false},    {0, 15566, 0.0, true, false},
      {0, 16384, 3.0, true, false},     {16000, 16384, 3.0, false, false},
      {32767, 16384, 2.0, false, true}, {32767, 0, 0.0, false, false},
      {32767, 0, -1.0, false, false},   {1, 16384, 0.0, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.brake) + " " + std::to_string(c.throttle));
    EXPECT_EQ(CatapultReleased(c.brake, c.throttle), c.released);
    EXPECT_EQ(CatapultHolds(c.brake, c.speed), c.holds);
  }
  EXPECT_DOUBLE_EQ(CatapultHoldAccel(-50, 2.0), -100.0);
}

TEST(CatapultRules, RefusalReasonsInTheirOrder) {
  EXPECT_STREQ(CatapultTypeRefusal(3, 1), "won't work with helicopters");
  EXPECT_STREQ(CatapultTypeRefusal(1, 1), "won't work with taildraggers");
  EXPECT_STREQ(CatapultTypeRefusal(1, 2), "");
  EXPECT_EQ(CatapultTypeRefusal(1, 0), nullptr);

  EXPECT_STREQ(CatapultStateRefusal(0, 0, 0), "aircraft not in a landed state");
  EXPECT_STREQ(CatapultStateRefusal(1, 0, 0), "check landing gear and lever");
  EXPECT_STREQ(CatapultStateRefusal(1, 16383, 32766), "parking brake is not set");
  EXPECT_STREQ(CatapultStateRefusal(2, 16383, 32767), "");
  EXPECT_FALSE(CatapultStateReady(2, 16383, 32767));
  EXPECT_FALSE(CatapultStateReady(1, -1, 32767));
  EXPECT_TRUE(CatapultStateReady(1, 1, 32767));
}
