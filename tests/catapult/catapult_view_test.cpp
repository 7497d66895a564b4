// The catapult built alone with its view: its own controls, slow timers, activity, cues and log,
// on a harness's server and clock, with no main window.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "catapult/catapult.h"
#include "catapult/catapult_rules.h"
#include "catapult/plain_form.h"
#include "cues/cues.h"
#include "harness/harness.h"
#include "logbook/trap_log.h"
#include "simlink/offsets.h"
#include "simlink/sim_link.h"

namespace {

using catapult_test::PlainForm;

constexpr uint32_t kAccel = simlink::kLongitudinalAccel.offset;
constexpr double kDeckLat = 32.7;
constexpr double kDeckLon = -117.2;

struct AloneCatapult : ::testing::Test {
  harness::Harness h;
  platform::SpeedButton btnManualDisable{"btnManualDisable"};
  platform::CheckBox chkbxCatSmoke{"chkbxCatSmoke"};
  platform::CheckBox chkbxDamageSounds{"chkbxDamageSounds"};
  platform::CheckBox chkbxSpecialSoundHandling{"chkbxSpecialSoundHandling"};
  platform::CheckBox chkbxLsoCalls{"chkbxLsoCalls"};
  platform::CheckBox chkbxTrapLog{"chkbxTrapLog"};
  platform::CheckBox chkbxRealisticGear{"chkbxRealisticGear"};
  platform::Label lblOtherStatus{"lblOtherStatus"};
  platform::Timer tmrIsCatchCheckNeeded{h.loop, "tmrIsCatchCheckNeeded", 1000, true};
  platform::Timer tmrFindNearest{h.loop, "tmrFindNearest", 15000, true};
  platform::Timer tmrCheckForCatch{h.loop, "tmrCheckForCatch", 50, true};
  platform::Timer tmrDecel{h.loop, "tmrDecel", 10, false};
  platform::Timer tmrAccel{h.loop, "tmrAccel", 5, false};
  platform::Timer tmrKeystroke{h.loop, "tmrKeystroke", 250, true};
  platform::Timer tmrLaunchCheck{h.loop, "tmrLaunchCheck", 7, false};
  TActivity activity{{tmrCheckForCatch, tmrDecel, tmrAccel, tmrLaunchCheck}};
  TCues cues{{chkbxDamageSounds, chkbxSpecialSoundHandling, chkbxLsoCalls, lblOtherStatus, h.folder,
              h.link},
             {}};
  TTrapLog trapLog{{chkbxTrapLog, lblOtherStatus, cues, h.clock, h.folder}};
  /// The zone the nearest-zone callback names (null: none known).
  std::unique_ptr<TCatchZoneData> nearest;
  TOptionValues options = [] {
    TOptionValues v;
    v.CatapultAccelFactor = 700;
    v.CatapultCutoffFps = 200;
    v.CatapultHoldFactor = 3;
    return v;
  }();
  TCatapult catapult{{h.link, btnManualDisable, chkbxCatSmoke, tmrIsCatchCheckNeeded,
                      tmrFindNearest, tmrKeystroke, activity, cues, trapLog, h.clock,
                      [this] { return static_cast<const TCatchZoneData*>(nearest.get()); }, options,
                      chkbxRealisticGear, lblOtherStatus, [] { return 0.0; }}};

  void SetUp() override {
    uint32_t result = 0;
    ASSERT_TRUE(h.link.SimLinkOpen(0, result));
    h.poke<uint8_t>(simlink::kEngineType.offset, 1);
    h.poke<int32_t>(simlink::kTailWheel.offset, 0);
    h.poke<int16_t>(simlink::kParkingBrake.offset, 32767);
    h.poke<int32_t>(simlink::kGearLever.offset, 16383);
    h.poke<int16_t>(simlink::kOnGround.offset, 1);
    h.poke<int16_t>(simlink::kThrottle1.offset, 0);
    h.poke<double>(simlink::kForwardSpeed.offset, 0.0);
    PlainForm::placeAt(h, kDeckLat, kDeckLon);
    setCatapultPoint(kDeckLat + 0.001, kDeckLon);
    h.clearRecords();
  }
  void TearDown() override { h.link.SimLinkClose(); }

  void setCatapultPoint(double latDeg, double lonDeg) {
    nearest = std::make_unique<TCatchZoneData>();
    nearest->CarrierIdent = "TEST";
    nearest->FrontLeftCornerLat = latDeg;
    nearest->FrontLeftCornerLon = lonDeg;
  }
  bool slowTimersOn() const {
    return tmrIsCatchCheckNeeded.enabled() && tmrFindNearest.enabled() && tmrKeystroke.enabled();
  }
};

TEST_F(AloneCatapult, ArmsOnTheZoneTheCallbackNamesAndDisarmsWhenItMovesAway) {
  nearest.reset();
  catapult.actCatapultArmExecute();
  EXPECT_EQ(activity.Current(), Activity::Checking) << "no nearest zone: nothing to arm on";
  EXPECT_EQ(h.messageTexts().back(), "Catapult NOT armed -- too far from nearest known cables");

  setCatapultPoint(kDeckLat + 0.001, kDeckLon);
  catapult.actCatapultArmExecute();
  EXPECT_EQ(activity.Current(), Activity::Armed) << "the catch check stops with the arming";
  EXPECT_FALSE(tmrIsCatchCheckNeeded.enabled());
  EXPECT_FALSE(tmrFindNearest.enabled());
  EXPECT_TRUE(tmrKeystroke.enabled()) << "the hot keys still disarm";

  // The nearest zone changes under the armed catapult: out of reach ends the arming.
  setCatapultPoint(kDeckLat + 0.05, kDeckLon + 0.05);
  h.clearRecords();
  catapult.tmrLaunchCheckTimer();
  EXPECT_EQ(activity.Current(), Activity::Idle);
  EXPECT_TRUE(slowTimersOn());
  EXPECT_EQ(h.messageTexts(), std::vector<std::string>{"Catapult disarmed"});
  EXPECT_EQ(catapult.LastLaunchEnd, 0) << "an arming that never launched starts no lock-out";
}

TEST_F(AloneCatapult, TheStrokeUsesTheOptionValuesOfNowAndItsEndStartsTheLockOut) {
  catapult.actCatapultArmExecute();
  ASSERT_TRUE(activity.Armed());
  // The options change after the catapult was made: it reads them where they are kept.
  options.CatapultHoldFactor = 5;
  options.CatapultAccelFactor = 650;
  options.CatapultCutoffFps = 150;

  h.poke<double>(simlink::kForwardSpeed.offset, 10.0);
  catapult.tmrLaunchCheckTimer();
  ASSERT_EQ(h.writesTo(kAccel).size(), 1u) << "held against the engines";
  EXPECT_DOUBLE_EQ(h.writesTo(kAccel)[0].asDouble(),
                   CatapultHoldAccel(options.CatapultHoldFactor, 10.0));

  h.poke<int16_t>(simlink::kParkingBrake.offset, 0);
  h.poke<int16_t>(simlink::kThrottle1.offset, 16384);
  catapult.tmrLaunchCheckTimer();
  EXPECT_EQ(activity.Current(), Activity::Launching);
  EXPECT_FALSE(tmrKeystroke.enabled());

  h.poke<double>(simlink::kForwardSpeed.offset, 150.0);
  catapult.tmrAccelTimer();
  EXPECT_TRUE(activity.Launching()) << "at the cutoff, not above it";
  EXPECT_DOUBLE_EQ(h.writesTo(kAccel).back().asDouble(), 650.0);

  h.clock.advanceTo(h.clock.nowMs() + 40);
  h.poke<double>(simlink::kForwardSpeed.offset, 150.01);
  catapult.tmrAccelTimer();
  EXPECT_EQ(activity.Current(), Activity::Idle);
  EXPECT_TRUE(slowTimersOn());
  EXPECT_EQ(catapult.LastLaunchEnd, h.clock.nowMs());
}

}  // namespace
