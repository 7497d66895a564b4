#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/form_main.h"
#include "catapult/end_airspeed.h"
#include "harness/harness.h"
#include "logbook/log_rules.h"
#include "sim/hot_keys.h"
#include "sim/log_check.h"

// Launches by end airspeed through the whole program: corvane-sim's jet stands on the sample
// carrier's bow (Zone01: catapult point 36.95025 N 76.29900 W, deck 60 ft, heading 090
// magnetic, stroke 310 ft by default) with realistic gear on, and the pilot arms, runs up and
// releases as in launch.scn.

namespace {

struct TLaunchCase {
  const char* name;
  int stepHz;
  /// The simulator's magnetic variation (east positive) and the wind it serves.
  double magVarDeg;
  double windFromDeg;
  double windKt;
  /// The headwind along the deck that wind makes, knots.
  double headwindKt;
  int cutoffKt;
  /// Wind set while the aircraft is held, before the release (knots; negative: unchanged).
  double windAtReleaseKt;
  /// Start of the refusal shown; empty: the launch is flown.
  const char* refusal;
  /// The simulator keeps a written acceleration until the next write instead of for one step.
  bool holdAccel = false;
};

void PrintTo(const TLaunchCase& c, std::ostream* os) { *os << c.name; }

class EndAirspeedLaunch : public ::testing::TestWithParam<TLaunchCase> {};

bool startsWith(const std::string& text, const std::string& start) {
  return text.rfind(start, 0) == 0;
}

TEST_P(EndAirspeedLaunch, EndsOnTheCutoffAirspeedAtTheEndOfTheStrokeOrIsRefused) {
  const TLaunchCase& c = GetParam();
  harness::Options options = harness::Options::flying();
  options.stepHz = c.stepHz;
  options.holdAccel = c.holdAccel;
  harness::Harness h(options);
  sim::Simulator& sim = *h.simulator;
  // The deck's heading turned true with the variation, so the jet faces along the catapult.
  const double deckTrue = 90 + c.magVarDeg;
  for (const auto& [field, value] : {std::pair{"lat", 36.95020},
                                     {"lon", -76.29890},
                                     {"surface", 60.0},
                                     {"alt", 60.0},
                                     {"heading", deckTrue},
                                     {"magvar", c.magVarDeg},
                                     {"speed", 0.0},
                                     {"brake", 32767.0},
                                     {"throttle", 0.0},
                                     {"wind_dir", c.windFromDeg},
                                     {"wind_speed", c.windKt},
                                     {"liftoff", c.cutoffKt + 20.0}})
    ASSERT_EQ(sim.set(field, value), "") << field;
  TFormMain& f = h.start();
  f.chkbxRealisticGear.setChecked(true);
  f.chkbxTrapLog.setChecked(true);
  f.options.SetCatapultCutoffKnots(c.cutoffKt);
  h.runFor(2000);
  ASSERT_EQ(f.arrest.NearestZoneIndex, 0);

  ASSERT_GT(sim.pressKey(*sim::parseHotKey("SHIFT+F9")), 0);
  int64_t asked = h.clock.nowMs();
  const auto answered = [&] {
    for (const std::string& m : h.messageTexts())
      if (m == "CATAPULT ARMED" || startsWith(m, "Catapult NOT armed") ||
          startsWith(m, "Launch refused"))
        return true;
    return false;
  };
  ASSERT_TRUE(h.runUntil(answered, 1000));
  const bool armed = h.sawMessage("CATAPULT ARMED");
  if (armed) {
    sim.set("throttle", 16384);
    h.runFor(2000);
    if (c.windAtReleaseKt >= 0) sim.set("wind_speed", c.windAtReleaseKt);
    h.runFor(500);
    sim.set("brake", 0);
    asked = h.clock.nowMs();
    h.runUntil([&] { return f.tmrAccel.enabled() || !f.tmrLaunchCheck.enabled(); }, 1000);
    h.runUntil([&] { return !f.tmrAccel.enabled(); }, 10000);
  }
  const std::string shown = h.messageTexts().back();

  if (*c.refusal != '\0') {
    EXPECT_TRUE(startsWith(shown, c.refusal)) << shown;
    EXPECT_LE(h.clock.nowMs() - asked, 300) << "refused after the request";
    EXPECT_EQ(f.lblOtherStatus.text(), shown);
    EXPECT_FALSE(f.tmrLaunchCheck.enabled());
    EXPECT_FALSE(f.tmrAccel.enabled());
    h.runFor(1000);
    EXPECT_FALSE(sim.motion().launch().valid) << "no stroke";
    EXPECT_EQ(h.readFile(TrapLogFileName).find(",launch,"), std::string::npos) << "no line";
    return;
  }
  ASSERT_TRUE(armed) << shown;
  ASSERT_FALSE(f.tmrAccel.enabled()) << "the stroke ended";
  h.runFor(1000);
  const sim::LaunchSummary& launch = sim.motion().launch();
  ASSERT_TRUE(launch.valid);
  EXPECT_NEAR(launch.endKt + c.headwindKt, c.cutoffKt, 3.0) << "end airspeed";
  EXPECT_NEAR(launch.strokeFt, 310.0, 310.0 * 0.05) << "stroke";
  EXPECT_EQ(sim.model().state().lastAccelFps2, 0.0) << "no push after the stroke";
  const std::string log = h.readFile(TrapLogFileName);
  EXPECT_EQ(harness::lastLineColumn(log, "event"), "launch") << log;
  EXPECT_EQ(harness::lastLineColumn(log, "result"), "cutoff") << log;
  char headwind[16];
  std::snprintf(headwind, sizeof headwind, "%.1f", c.headwindKt);
  EXPECT_EQ(harness::lastLineColumn(log, "wind_over_deck_kt"), headwind) << log;
}

INSTANTIATE_TEST_SUITE_P(
    Gear, EndAirspeedLaunch,
    ::testing::Values(
        TLaunchCase{"Calm60Hz", 60, 0, 0, 0, 0, 120, -1, ""},
        TLaunchCase{"Headwind10At60Hz", 60, 0, 90, 10, 10, 120, -1, ""},
        TLaunchCase{"Headwind20At60Hz", 60, 0, 90, 20, 20, 120, -1, ""},
        TLaunchCase{"Headwind30At60Hz", 60, 0, 90, 30, 30, 120, -1, ""},
        TLaunchCase{"Calm20Hz", 20, 0, 0, 0, 0, 120, -1, ""},
        TLaunchCase{"Headwind30At20Hz", 20, 0, 90, 30, 30, 120, -1, ""},
        TLaunchCase{"Headwind10At200Hz", 200, 0, 90, 10, 10, 120, -1, ""},
        TLaunchCase{"Headwind30At200Hz", 200, 0, 90, 30, 30, 120, -1, ""},
        TLaunchCase{"CalmAt60HzHolding", 60, 0, 0, 0, 0, 120, -1, "", true},
        TLaunchCase{"Headwind10At60HzHolding", 60, 0, 90, 10, 10, 120, -1, "", true},
        TLaunchCase{"Headwind20At60HzHolding", 60, 0, 90, 20, 20, 120, -1, "", true},
        TLaunchCase{"Headwind30At60HzHolding", 60, 0, 90, 30, 30, 120, -1, "", true},
        TLaunchCase{"Headwind30At20HzHolding", 20, 0, 90, 30, 30, 120, -1, "", true},
        // 40 kt from 60 degrees off a deck of 100 true (090 magnetic, 10 east): 20 kt along it.
        TLaunchCase{"QuarteringWindEastVariation", 60, 10, 160, 40, 20, 150, -1, ""},
        // 170 kt over 310 ft needs 4.1 g.
        TLaunchCase{"CalmNeedsMoreThan4g", 60, 0, 90, 0, 0, 170, -1,
                    "Catapult NOT armed -- 170 kt over the deck in 310 ft needs 4.1 g"},
        // A 20 kt tailwind asks 170 kt of the deck for 150 kt of airspeed.
        TLaunchCase{"TailwindNeedsMoreThan4g", 60, 0, 270, 20, -20, 150, -1,
                    "Catapult NOT armed -- 170 kt over the deck"},
        TLaunchCase{"WindOverDeckAboveEndSpeed", 60, 0, 90, 125, 125, 120, -1,
                    "Catapult NOT armed -- wind over the deck 125 kt"},
        // The wind rises while the aircraft is held: the release is refused.
        TLaunchCase{"WindRisesDuringTheHold", 60, 0, 90, 10, 10, 120, 130,
                    "Launch refused -- wind over the deck 130 kt"}),
    [](const ::testing::TestParamInfo<TLaunchCase>& info) { return info.param.name; });

// The stroke's loop alone against a small aircraft: 24 ft/s^2 of thrust less drag, read by a
// 5 ms tick that sees the state of the last simulator step, with a push that acts for one step
// or until the next write. The loop meets the end speed at the end of the stroke either way,
// however the simulator's steps fall between the ticks.
TEST(StrokeByAirspeed, EndsOnTheEndSpeedAtTheStrokeWhateverHowLongAPushActs) {
  struct Case {
    int stepHz;
    bool holdsPush;
    double headwindFps;
  } cases[] = {{20, false, 0},  {60, false, 50},  {60, true, 0},   {200, true, 50},
               {1000, true, 0}, {1000, true, 50}, {333, true, 20}, {45, false, 20}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.stepHz) + (c.holdsPush ? " Hz holding" : " Hz one step") +
                 ", headwind " + std::to_string(c.headwindFps));
    const double cutoffFps = 202.68, strokeFt = 310;
    TStrokeByAirspeed stroke(0, cutoffFps, c.headwindFps, strokeFt);
    const double stepS = 1.0 / c.stepHz;
    double v = 0, s = 0, seenV = 0, seenS = 0, push = 0, simS = 0;
    bool pending = false, done = false;
    for (int tick = 1; tick < 4000 && !done; ++tick) {
      const double now = tick * 0.005;
      while (simS + stepS <= now + 1e-12) {
        const double a = 24 - 1.953e-4 * v * v + (pending ? push : 0);
        if (!c.holdsPush) pending = false;
        v += a * stepS;
        s += v * stepS;
        simS += stepS;
        seenV = v;
        seenS = s;
      }
      done = stroke.Done(seenS, seenV);
      if (!done) {
        push = stroke.PushFps2(seenS, seenV, 0.005);
        pending = true;
      }
    }
    ASSERT_TRUE(done);
    EXPECT_NEAR(seenV + c.headwindFps, cutoffFps, 3 * 1.689);
    EXPECT_NEAR(seenS, strokeFt, strokeFt * 0.05);
  }
}

// A trap with realistic gear and the log kept logs the headwind along the landing deck at the
// catch: 40 kt from 60 degrees off the deck's 090 is 20 kt along it.
TEST(WindOverDeck, ATrapLogsTheHeadwindAlongTheDeckAtTheCatch) {
  harness::Harness h(harness::Options::flying());
  h.writeFile("pass.scn",
              "at 0 set hook 1 wind_dir 150 wind_speed 40\n"
              "at 0 approach 36.950185 -76.29960 60 90 3.5 1.2 0 0 136 flare 10 360\n"
              "at 60 end\n");
  std::string error;
  ASSERT_TRUE(h.loadScenario(h.folder + "pass.scn", error)) << error;
  TFormMain& f = h.start();
  f.chkbxTrapLog.setChecked(true);
  f.chkbxRealisticGear.setChecked(true);
  ASSERT_TRUE(h.runUntil([&] { return f.tmrDecel.enabled(); }, 60000)) << "caught";
  h.simulator->set("throttle", 0);
  ASSERT_TRUE(h.runUntil([&] { return !f.tmrDecel.enabled(); }, 60000)) << "stopped";
  const std::string log = h.readFile(TrapLogFileName);
  EXPECT_EQ(harness::lastLineColumn(log, "event"), "trap") << log;
  EXPECT_EQ(harness::lastLineColumn(log, "wind_over_deck_kt"), "20.0") << log;
}

}  // namespace
