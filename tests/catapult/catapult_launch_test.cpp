#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "catapult/plain_form.h"

namespace {

using catapult_test::PlainForm;

constexpr double kDeckLat = 36.95;
constexpr double kDeckLon = -76.3;
constexpr uint32_t kAccel = 0x3070;
constexpr uint32_t kSmoke = 0x05D8;
constexpr uint32_t kSoundControl = 0x0B20;

/// An armed catapult (the hold running), the aircraft on its point.
struct Armed : PlainForm {
  Armed() {
    readyOnDeck();
    placeAircraft(kDeckLat, kDeckLon);
    setCatapultPoint(kDeckLat, kDeckLon);
    form->options.CatapultHoldFactor = -50;
    form->options.CatapultAccelFactor = 700.0;
    form->options.CatapultCutoffKnots = 120;
    form->options.CatapultCutoffFps = 120 * 1.689;
    form->tmrLaunchCheck.setEnabled(true);
    h.clearRecords();
  }
  bool armed() const { return form->tmrLaunchCheck.enabled(); }
  bool stroking() const { return form->tmrAccel.enabled(); }
};

TEST(CatapultHold, HoldsWithTheNegatedFactorTimesTheSpeed) {
  Armed a;
  a.h.poke<double>(0x3090, 2.0);
  a.form->catapult.tmrLaunchCheckTimer();
  const auto writes = a.h.writesTo(kAccel);
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_DOUBLE_EQ(writes[0].asDouble(), -100.0);
  EXPECT_TRUE(a.armed());

  // Still or rolling back: nothing written.
  for (double speed : {0.0, -1.0}) {
    a.h.poke<double>(0x3090, speed);
    a.form->catapult.tmrLaunchCheckTimer();
  }
  EXPECT_EQ(a.h.writesTo(kAccel).size(), 1u);
}

TEST(CatapultHold, ReleaseNeedsBrakeOffAndThrottleAbove15565) {
  struct Case {
    int16_t brake;
    int16_t throttle;
    bool released;
    size_t holdWrites;
  };
  const Case cases[] = {
      {0, 15565, false, 0},
      {0, 15566, true, 0},
      {16000, 16384, false, 0},  // partly set: neither release nor hold
      {32767, 16384, false, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.brake) + "/" + std::to_string(c.throttle));
    Armed a;
    a.h.poke<double>(0x3090, 1.0);
    a.h.poke<int16_t>(0x0BC8, c.brake);
    a.h.poke<int16_t>(0x088C, c.throttle);
    a.form->tmrKeystroke.setEnabled(true);
    a.form->catapult.tmrLaunchCheckTimer();
    EXPECT_EQ(a.stroking(), c.released);
    EXPECT_EQ(a.armed(), !c.released);
    EXPECT_EQ(a.form->tmrKeystroke.enabled(), !c.released);
    EXPECT_EQ(a.h.writesTo(kAccel).size(), c.holdWrites);
    EXPECT_TRUE(a.h.messages.empty());
  }
}

TEST(CatapultHold, ReleaseSwitchesSoundAndSmoke) {
  Armed a;
  a.form->chkbxSpecialSoundHandling.setChecked(true);
  a.form->chkbxCatSmoke.setChecked(true);
  a.h.poke<int16_t>(0x0BC8, 0);
  a.h.poke<int16_t>(0x088C, 16384);
  a.form->catapult.tmrLaunchCheckTimer();
  EXPECT_TRUE(a.stroking());
  EXPECT_EQ(a.intWrites(kSoundControl), std::vector<int64_t>{0});
  EXPECT_EQ(a.intWrites(kSmoke), std::vector<int64_t>{1});
}

TEST(CatapultHold, CancelledWhenNoLongerLaunchable) {
  struct Case {
    const char* name;
    uint8_t engineType;
    int32_t tailWheel;
    double dLat, dLon;
    bool stillArmed;
  };
  const Case cases[] = {
      {"0.05 north, on the longitude", 1, 0, 0.05, 0.0, true},
      {"just inside 0.03 both ways", 1, 0, 0.0299, 0.0299, true},
      {"0.05 both ways", 1, 0, 0.05, 0.05, false},
      {"helicopter", 3, 0, 0.0, 0.0, false},
      {"taildragger", 1, 1, 0.0, 0.0, false},
      {"tail-wheel value 2 is not checked while armed", 1, 2, 0.0, 0.0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Armed a;
    a.form->tmrFindNearest.setEnabled(false);
    a.h.poke<uint8_t>(0x0609, c.engineType);
    a.h.poke<int32_t>(0x0790, c.tailWheel);
    a.placeAircraft(kDeckLat + c.dLat, kDeckLon + c.dLon);
    a.form->catapult.tmrLaunchCheckTimer();
    EXPECT_EQ(a.armed(), c.stillArmed);
    if (c.stillArmed) {
      EXPECT_TRUE(a.h.messages.empty());
    } else {
      EXPECT_EQ(a.h.messageTexts(), std::vector<std::string>{"Catapult disarmed"});
      EXPECT_TRUE(a.form->tmrKeystroke.enabled());
      EXPECT_TRUE(a.form->tmrFindNearest.enabled());
      EXPECT_TRUE(a.form->tmrIsCatchCheckNeeded.enabled());
    }
  }
}

TEST(CatapultHold, ZoneGoneCountsAsOutOfReach) {
  for (int32_t index : {-1, 3}) {
    Armed a;
    a.form->arrest.NearestZoneIndex = index;
    a.form->catapult.tmrLaunchCheckTimer();
    EXPECT_FALSE(a.armed());
    EXPECT_EQ(a.h.messageTexts(), std::vector<std::string>{"Catapult disarmed"});
  }
}

TEST(CatapultHold, FailedExchangeKeepsTheCatapultArmed) {
  Armed a;
  a.h.transport->overrideAnswer(0);
  a.form->catapult.tmrLaunchCheckTimer();
  a.h.transport->overrideAnswer(std::nullopt);
  EXPECT_TRUE(a.armed());
  EXPECT_TRUE(a.h.writes.empty());
}

TEST(CatapultHold, ManualDisableWhileArmedDisarmsSilentlyAtTheNextTick) {
  Armed a;
  a.form->btnManualDisable.click();  // the override action runs on the new state
  ASSERT_TRUE(a.form->ManuallyDisabled());
  a.h.clearRecords();
  a.h.runFor(7);
  EXPECT_FALSE(a.armed());
  EXPECT_FALSE(a.stroking());
  EXPECT_TRUE(a.h.messages.empty());
  EXPECT_EQ(a.intWrites(kSmoke), (std::vector<int64_t>{0, 0}));
}

TEST(CatapultStroke, PushesUntilAboveTheCutoffThenEndsQuietly) {
  Armed a;
  a.form->chkbxSpecialSoundHandling.setChecked(true);
  a.form->tmrLaunchCheck.setEnabled(false);
  a.form->tmrAccel.setEnabled(true);
  a.form->cues.catapultSoundPlayed = true;

  a.h.poke<double>(0x3090, 202.68);  // exactly the cut-off: not above it
  a.form->catapult.tmrAccelTimer();
  EXPECT_TRUE(a.stroking());
  ASSERT_EQ(a.h.writesTo(kAccel).size(), 1u);
  EXPECT_DOUBLE_EQ(a.h.writesTo(kAccel)[0].asDouble(), 700.0);

  a.h.poke<double>(0x3090, 202.69);
  a.form->catapult.tmrAccelTimer();
  EXPECT_FALSE(a.stroking());
  EXPECT_FALSE(a.armed());
  EXPECT_TRUE(a.h.messages.empty());
  EXPECT_EQ(a.h.writesTo(kAccel).size(), 2u);
  EXPECT_EQ(a.intWrites(kSmoke), (std::vector<int64_t>{0, 0}));
  EXPECT_EQ(a.intWrites(kSoundControl), std::vector<int64_t>{1});
  EXPECT_FALSE(a.form->cues.catapultSoundPlayed);
  EXPECT_TRUE(a.form->tmrKeystroke.enabled());
  EXPECT_TRUE(a.form->tmrFindNearest.enabled());
  EXPECT_TRUE(a.form->tmrIsCatchCheckNeeded.enabled());
}

TEST(CatapultStroke, FailedExchangeEndsTheLaunchWithTheAnnouncement) {
  Armed a;
  a.form->tmrLaunchCheck.setEnabled(false);
  a.form->tmrAccel.setEnabled(true);
  // Only the stroke's own exchange fails; the announcement and the smoke go through.
  a.h.transport->onBatch = [&a](uint8_t* block, size_t) {
    uint32_t first = 0;
    std::memcpy(&first, block + 4, 4);
    a.h.transport->overrideAnswer(first == 0x3090 ? std::optional<uint32_t>(0) : std::nullopt);
  };
  a.form->catapult.tmrAccelTimer();
  EXPECT_FALSE(a.stroking());
  EXPECT_EQ(a.h.messageTexts(), std::vector<std::string>{"Catapult disarmed"});
  EXPECT_EQ(a.intWrites(kSmoke), (std::vector<int64_t>{0, 0}));
}

TEST(CatapultStroke, WholeLaunchOnTheTimers) {
  Armed a;
  a.form->chkbxCatSmoke.setChecked(true);
  a.h.poke<int16_t>(0x0BC8, 0);
  a.h.poke<int16_t>(0x088C, 16384);
  // The server's aircraft gains 10 ft/s with every push it receives.
  a.h.server->onWrite(kAccel, 8, [&a](uint32_t, uint32_t) {
    const double accel = a.h.peek<double>(kAccel);
    if (accel > 0) a.h.poke<double>(0x3090, a.h.peek<double>(0x3090) + 10.0);
  });
  a.h.runFor(7);
  ASSERT_TRUE(a.stroking());
  a.h.runUntil([&a] { return !a.stroking(); }, 1000);
  EXPECT_FALSE(a.stroking());
  EXPECT_FALSE(a.armed());
  // Pushes at 0, 10, ... 200 ft/s, and the one that read 210 ft/s ends the stroke.
  EXPECT_EQ(a.h.writesTo(kAccel).size(), 22u);
  EXPECT_EQ(a.intWrites(kSmoke), (std::vector<int64_t>{1, 0, 0}));
  EXPECT_TRUE(a.h.messages.empty());
}

}  // namespace
