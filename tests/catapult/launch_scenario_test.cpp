#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "app/form_main.h"
#include "catapult/plain_form.h"
#include "harness/harness.h"
#include "logbook/log_rules.h"
#include "platform/ipc_loopback.h"
#include "sim/hot_keys.h"
#include "sim/scenario.h"
#include "sim/simulator.h"
#include "simlink/sim_link.h"

namespace {

namespace fs = std::filesystem;

// The sample carrier's catapult point is Zone01's front-left corner; the jet stands just ahead.
constexpr double kJetLat = 36.95020;
constexpr double kJetLon = -76.29890;

/// The started program on the harness's bare server, the aircraft ready on the catapult and a
/// server-side aircraft that gains speed from the catapult's pushes.
struct StartedOnDeck {
  harness::Harness h;
  /// The simulator's own hot-key slot table.
  sim::HotKeyTable& keys = h.simulator->hotKeys();

  StartedOnDeck() {
    catapult_test::PlainForm::placeAt(h, kJetLat, kJetLon);
    h.poke<uint8_t>(0x0609, 1);
    h.poke<int16_t>(0x0BC8, 32767);
    h.poke<int32_t>(0x0BE8, 16383);
    h.poke<int16_t>(0x0366, 1);
    h.poke<uint16_t>(0x02A0, 0);
    h.server->onWrite(0x3070, 8, [this](uint32_t, uint32_t) {
      const double accel = h.peek<double>(0x3070);
      if (accel > 0) h.poke<double>(0x3090, h.peek<double>(0x3090) + accel * 0.005);
    });
    h.start();
    h.clearRecords();
  }
  void press(const char* key) { ASSERT_GT(keys.press(*sim::parseHotKey(key)), 0) << key; }
};

TEST(LaunchScenario, HotKeyArmsHoldsReleasesAndStopsAtTheCutoff) {
  StartedOnDeck s;
  TFormMain& f = s.h.form();
  ASSERT_TRUE(f.pgMain.enabled()) << f.lblConnectionInfo.text();
  ASSERT_EQ(f.arrest.NearestZoneIndex, 0);

  s.press("SHIFT+F9");
  s.h.runFor(300);
  ASSERT_TRUE(f.tmrLaunchCheck.enabled());
  EXPECT_TRUE(s.h.sawMessage("CATAPULT ARMED"));

  // Run-up against the brake: the aircraft creeps and is held back.
  s.h.poke<int16_t>(0x088C, 16384);
  s.h.poke<double>(0x3090, 0.5);
  s.h.runFor(7);
  ASSERT_FALSE(s.h.writesTo(0x3070).empty());
  EXPECT_DOUBLE_EQ(s.h.writesTo(0x3070).back().asDouble(), -25.0);

  s.h.poke<double>(0x3090, 0.0);
  s.h.poke<int16_t>(0x0BC8, 0);
  ASSERT_TRUE(s.h.runUntil([&f] { return f.tmrAccel.enabled(); }, 50));
  EXPECT_FALSE(f.tmrKeystroke.enabled());
  ASSERT_TRUE(s.h.runUntil([&f] { return !f.tmrAccel.enabled(); }, 2000));
  EXPECT_GT(s.h.peek<double>(0x3090), f.options.CatapultCutoffFps);
  // The tick that reads a speed above the cut-off still pushes once more before it ends.
  EXPECT_LE(s.h.peek<double>(0x3090), f.options.CatapultCutoffFps + 2 * 700 * 0.005);
  EXPECT_FALSE(s.h.sawMessage("Catapult disarmed"));
  EXPECT_TRUE(f.tmrKeystroke.enabled());
  EXPECT_TRUE(f.tmrIsCatchCheckNeeded.enabled());
}

TEST(LaunchScenario, OverrideDuringTheStrokeEndsItAsALaunchEnds) {
  StartedOnDeck s;
  TFormMain& f = s.h.form();
  f.chkbxSpecialSoundHandling.setChecked(true);
  f.chkbxCatSmoke.setChecked(true);
  f.chkbxTrapLog.setChecked(true);
  s.press("SHIFT+F9");
  s.h.runFor(300);
  ASSERT_TRUE(f.tmrLaunchCheck.enabled());
  s.h.poke<int16_t>(0x088C, 16384);
  s.h.poke<int16_t>(0x0BC8, 0);
  ASSERT_TRUE(s.h.runUntil([&f] { return f.tmrAccel.enabled(); }, 50));
  s.h.runFor(100);
  ASSERT_EQ(s.h.peek<uint16_t>(0x05D8), 1) << "smoke on for the stroke";
  ASSERT_EQ(s.h.peek<uint16_t>(0x0B20), 0);

  f.btnManualDisable.click();
  EXPECT_FALSE(f.tmrAccel.enabled());
  EXPECT_EQ(f.catapult.LastLaunchEnd, s.h.clock.nowMs()) << "the lock-out from catches starts";
  EXPECT_EQ(s.h.messageTexts().back(), edition::ManualDisableCatapultMessage);
  EXPECT_EQ(s.h.peek<uint16_t>(0x05D8), 0) << "smoke off";
  EXPECT_EQ(s.h.peek<uint16_t>(0x0B20), 1) << "the simulator's sound back";
  const size_t pushes = s.h.writesTo(0x3070).size();
  s.h.runFor(2000);
  EXPECT_EQ(s.h.writesTo(0x3070).size(), pushes) << "no push after the override";
  EXPECT_LT(s.h.peek<double>(0x3090), f.options.CatapultCutoffFps);
  EXPECT_FALSE(s.h.sawMessage("Catapult disarmed")) << "the override said so already";

  f.btnManualDisable.click();
  s.press("SHIFT+F12");
  s.h.runFor(300);
  EXPECT_TRUE(f.btnManualDisable.down()) << "the hot keys answer again";
  const std::string log = s.h.readFile(TrapLogFileName);
  EXPECT_NE(log.find(",launch,"), std::string::npos) << log;
  EXPECT_NE(log.find(",override,"), std::string::npos) << log;
}

TEST(LaunchScenario, ALongHoldInsideTheCatchCircleEndsInALaunchNotATrap) {
  StartedOnDeck s;
  TFormMain& f = s.h.form();
  // On the deck inside Zone01's catch circle, facing down the landing heading; every push of
  // the catapult also moves the aircraft east, towards the zone's front-right corner.
  double lon = -76.29950;
  catapult_test::PlainForm::placeAt(s.h, kJetLat, lon);
  s.h.poke<uint32_t>(0x0580, 0x40000000u);  // 90 degrees true
  s.h.server->onWrite(0x3070, 8, [&s, &lon](uint32_t, uint32_t) {
    lon += s.h.peek<double>(0x3090) * 0.005 / 290000.0;
    catapult_test::PlainForm::placeAt(s.h, kJetLat, lon);
  });
  int gateTicks = 0;
  f.tmrIsCatchCheckNeeded.onTimer = [&f, &gateTicks] {
    ++gateTicks;
    f.arrest.tmrIsCatchCheckNeededTimer();
  };

  s.press("SHIFT+F9");
  s.h.runFor(300);
  ASSERT_TRUE(f.tmrLaunchCheck.enabled());
  s.h.poke<int16_t>(0x088C, 16384);
  s.h.runFor(20000);
  ASSERT_GT(gateTicks, 0) << "the gate comes back during a long hold";
  // Released 900 ms after a gate tick, so the next one falls into the stroke.
  const int ticks = gateTicks;
  ASSERT_TRUE(s.h.runUntil([&] { return gateTicks > ticks; }, 1100));
  s.h.runFor(900);
  s.h.poke<int16_t>(0x0BC8, 0);
  ASSERT_TRUE(s.h.runUntil([&f] { return f.tmrAccel.enabled(); }, 50));
  s.h.runUntil([&f] { return !f.tmrAccel.enabled() || f.tmrDecel.enabled(); }, 2000);
  EXPECT_FALSE(f.tmrDecel.enabled()) << "caught at " << s.h.peek<double>(0x3090) << " ft/s";
  EXPECT_GT(s.h.peek<double>(0x3090), f.options.CatapultCutoffFps);
  for (const harness::SimWrite& w : s.h.writesTo(0x3070)) EXPECT_GE(w.asDouble(), 0.0);
}

TEST(LaunchScenario, F11ResetInsideThePollKeepsTenSlots) {
  StartedOnDeck s;
  TFormMain& f = s.h.form();
  ASSERT_TRUE(f.tmrKeystroke.enabled());
  auto used = [&s] {
    int n = 0;
    for (uint32_t i = 0; i < 56; ++i) n += s.keys.slot(i) != 0;
    return n;
  };
  ASSERT_EQ(used(), 10);
  for (int reset = 0; reset < 3; ++reset) {
    s.press("SHIFT+F11");
    s.h.runFor(300);
    EXPECT_TRUE(s.h.sawMessage("Corvane disabled while resetting"));
    EXPECT_EQ(used(), 10);
    EXPECT_TRUE(f.tmrKeystroke.enabled());
    EXPECT_EQ(
        s.h.peek<uint32_t>(f.hotKeys.HotKeySlots[static_cast<size_t>(f.hotKeys.KeyIndex("F11"))]) >>
            24,
        0u);  // F11's press acknowledged
  }
  s.press("SHIFT+F12");
  s.h.runFor(300);
  EXPECT_TRUE(f.btnManualDisable.down());
}

TEST(LaunchScenario, SampleScenarioFilesMeetTheirExpectations) {
  for (const char* name : {"launch.scn", "launch_refused.scn", "launch_taildragger.scn"}) {
    SCOPED_TRACE(name);
    harness::Harness h(harness::Options::flying());
    std::string summary;
    EXPECT_EQ(h.flyScenario(std::string("samples/scenarios/") + name, 60000, summary), 0)
        << summary;
    if (std::string(name) == "launch.scn") {
      EXPECT_NE(summary.find("Launch: end speed"), std::string::npos) << summary;
    } else {
      EXPECT_EQ(summary.find("Launch: end speed"), std::string::npos) << summary;
    }
  }
}

}  // namespace
