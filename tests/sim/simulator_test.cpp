#include "sim/simulator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "block_builder.h"
#include "platform/clock.h"

namespace {

sim::Scenario parse(const std::string& text) {
  sim::Scenario s;
  std::vector<sim::ScenarioError> errors;
  EXPECT_TRUE(sim::parseScenario(text, s, errors));
  return s;
}

void showMessage(sim::Simulator& s, const std::string& text, int16_t seconds) {
  simtest::BlockBuilder b;
  char block[128] = {};
  std::memcpy(block, text.data(), std::min<size_t>(text.size(), 100));
  b.writeBytes(0x3380, block, 128);
  b.write<int16_t>(0x32FA, seconds);
  s.handleBlock(b.finish(), b.size());
}

std::vector<std::string> lines(const sim::Simulator& s) {
  std::vector<std::string> out;
  for (const sim::Observation& o : s.observer().lines()) out.push_back(o.line());
  return out;
}

bool hasLine(const sim::Simulator& s, const std::string& line) {
  for (const std::string& l : lines(s))
    if (l == line) return true;
  return false;
}

TEST(Simulator, ScenarioClockStartsAtTheFirstHandshake) {
  platform::VirtualClock clock(0);
  sim::Simulator s(clock);
  s.loadScenario(parse("at 0 set speed 20 brake 0\nat 1 expect speed < 20\nat 2 end\n"));
  clock.advanceTo(5000);
  s.advanceToNow();
  EXPECT_FALSE(s.scenarioStarted());
  EXPECT_EQ(s.model().state().speedFps, 0.0);
  clock.advanceTo(7250);
  simtest::handshake(s);
  EXPECT_TRUE(s.scenarioStarted());
  EXPECT_TRUE(hasLine(s, "t=0.000 HANDSHAKE client library 1004"));
  clock.advanceTo(7300);
  s.advanceToNow();
  EXPECT_GT(s.model().state().speedFps, 0.0);
  clock.advanceTo(9300);
  s.advanceToNow();
  EXPECT_TRUE(s.scenarioFinished());
  EXPECT_EQ(s.exitCode(), 0);
  EXPECT_EQ(s.results().size(), 1u);
}

TEST(Simulator, StartNowDoesNotWaitForAClient) {
  platform::VirtualClock clock(0);
  sim::Simulator s(clock);
  s.loadScenario(parse("at 0.5 set speed 10\nat 1 end\n"));
  s.startScenario();
  clock.advanceTo(1100);
  s.advanceToNow();
  EXPECT_TRUE(s.scenarioFinished());
  EXPECT_TRUE(hasLine(s, "t=0.500 SCENARIO line 1: at 0.5 set speed 10"));
}

TEST(Simulator, MessagesAndObservationLines) {
  platform::VirtualClock clock(0);
  sim::Simulator s(clock);
  s.loadScenario(parse("at 100 end\n"));
  simtest::handshake(s);
  clock.advanceTo(12350);
  showMessage(s, "TRAPPING ACTIVE", 3);
  simtest::writeOne<uint16_t>(s, 0x0B20, 0);
  simtest::writeOne<uint16_t>(s, 0x05D8, 1);
  simtest::writeOne<uint8_t>(s, 0x0B6F, 1);
  simtest::writeOne<uint8_t>(s, 0x0B6F, 1);  // no change: no line
  simtest::writeOne<uint8_t>(s, 0x0B6B, 0x02);
  simtest::writeOne<uint32_t>(s, 0x0B7C, 2097152);
  EXPECT_TRUE(hasLine(s, "t=12.350 MSG 3s \"TRAPPING ACTIVE\""));
  EXPECT_TRUE(hasLine(s, "t=12.350 SOUND 0"));
  EXPECT_TRUE(hasLine(s, "t=12.350 SMOKE 1"));
  EXPECT_TRUE(hasLine(s, "t=12.350 FLAG 0x0B6F 0 -> 1"));
  EXPECT_TRUE(hasLine(s, "t=12.350 ENGINE 2 FAILED"));
  EXPECT_TRUE(hasLine(s, "t=12.350 TANK leftmain 0.5000 -> 0.2500"));
  int flagLines = 0;
  for (const std::string& l : lines(s)) flagLines += l.find("FLAG") != std::string::npos;
  EXPECT_EQ(flagLines, 1);
  // The model took the client's values.
  EXPECT_EQ(s.model().state().flags[0x0B6F - 0x0B64], 1);
  EXPECT_EQ(s.model().state().tanks[2].level, 2097152u);
  EXPECT_EQ(s.model().state().smoke, 1);
  // And keeps them through later steps.
  clock.advanceTo(13000);
  EXPECT_EQ(simtest::readOne<uint32_t>(s, 0x0B7C), 2097152u);
  ASSERT_EQ(s.observer().messages().size(), 1u);
  EXPECT_EQ(s.observer().messages()[0].seconds, 3);
  EXPECT_TRUE(s.observer().sawWrite(0x330A));
  EXPECT_TRUE(s.observer().sawWrite(0x3390));  // inside the message block
  EXPECT_FALSE(s.observer().sawWrite(0x3070));
}

TEST(Simulator, ExpectationsFailWhenTheyShould) {
  const char* text =
      "at 1 expect message \"TRAPPING ACTIVE\"\n"     // 2: passes
      "at 1 expect message \"Catapult disarmed\"\n"   // 3: fails
      "at 1 expect no-message \"TRAPPING ACTIVE\"\n"  // 4: fails
      "at 1 expect no-message \"Other\"\n"            // 5: passes
      "at 1 expect write 0x0B20\n"                    // 6: passes
      "at 1 expect write 0x3070\n"                    // 7: fails
      "at 1 expect speed > 1\n"                       // 8: fails (parked)
      "at 1 expect on_ground == 1\n"                  // 9: passes
      "at 3 end\n"
      "at 9 expect speed == 0\n"                     // 11: not reached: fails
      "at end expect message \"TRAPPING ACTIVE\"\n"  // 12: passes
      "at end expect brake < 100\n";                 // 13: fails
  platform::VirtualClock clock(0);
  sim::Simulator s(clock);
  s.loadScenario(parse(std::string("# expectations\n") + text));
  simtest::handshake(s);
  clock.advanceTo(500);
  showMessage(s, "TRAPPING ACTIVE", 3);
  simtest::writeOne<uint16_t>(s, 0x0B20, 0);
  clock.advanceTo(4000);
  s.advanceToNow();
  ASSERT_TRUE(s.scenarioFinished());
  std::vector<int> failed;
  for (const sim::ExpectationResult& r : s.results())
    if (!r.passed) failed.push_back(r.line);
  EXPECT_EQ(failed, (std::vector<int>{3, 4, 7, 8, 11, 13}));
  EXPECT_EQ(s.exitCode(), 1);
  std::string summary = s.summaryText();
  EXPECT_NE(summary.find("5 expectations met, 6 failed"), std::string::npos) << summary;
  EXPECT_NE(summary.find("FAILED line 13: at end expect brake < 100 (brake is 32767)"),
            std::string::npos)
      << summary;
  EXPECT_NE(summary.find("FAILED line 11: at 9 expect speed == 0 (not reached)"),
            std::string::npos);
}

TEST(Simulator, KeysFromTheScenarioPressSlots) {
  platform::VirtualClock clock(0);
  sim::Simulator s(clock);
  s.loadScenario(parse("at 1 key SHIFT+F9\nat 2 key SHIFT+F8\nat 3 end\n"));
  simtest::handshake(s);
  simtest::writeOne<uint32_t>(s, 0x3210, 65912);
  clock.advanceTo(3100);
  s.advanceToNow();
  EXPECT_EQ(s.hotKeys().slot(0) >> 24, 1u);
  EXPECT_EQ(s.hotKeys().counter(), 1);
  EXPECT_TRUE(hasLine(s, "t=1.000 KEY SHIFT+F9 (1 slot)"));
  EXPECT_TRUE(hasLine(s, "t=2.000 KEY SHIFT+F8 (no slot registered)"));
}

// A client that traps the aircraft: -700 ft/s^2 every 10 ms once on the deck until it stops.
struct TrapRun {
  std::vector<std::string> lines;
  std::string trace;
  sim::ArrestSummary arrest;
};

TrapRun runTrap() {
  platform::VirtualClock clock(0);
  sim::Simulator s(clock);
  std::ostringstream trace;
  s.setTrace(&trace);
  s.loadScenario(
      parse("at 0 set lat 36.95 lon -76.302 alt 90 surface 60 heading 90 speed 135 vs -600 "
            "gear 1 hook 1 brake 0 throttle 6000\n"
            "at 2.5 set throttle 0\n"
            "at 20 end\n"
            "at end expect speed == 0\n"
            "at end expect write 0x3070\n"));
  simtest::handshake(s);
  bool stopped = false, wasAirborne = false;
  for (int64_t t = 10; t <= 21000 && !s.scenarioFinished(); t += 10) {
    clock.advanceTo(t);
    s.advanceToNow();
    bool onDeck = simtest::readOne<int16_t>(s, 0x0366) == 1;
    wasAirborne = wasAirborne || !onDeck;
    if (stopped || !wasAirborne || !onDeck) continue;
    if (simtest::readOne<double>(s, 0x3090) > 0)
      simtest::writeOne<double>(s, 0x3070, -700.0);
    else
      stopped = true;  // the arrest ends at the stop, as the program's does
  }
  EXPECT_TRUE(s.scenarioFinished());
  EXPECT_EQ(s.exitCode(), 0) << s.summaryText();
  return {lines(s), trace.str(), s.motion().arrest()};
}

TEST(Simulator, ArrestSummaryAndDeterminism) {
  TrapRun a = runTrap();
  TrapRun b = runTrap();
  ASSERT_TRUE(a.arrest.valid);
  EXPECT_NEAR(a.arrest.touchdownKt, 131, 4);     // slowed a little by drag at low throttle
  EXPECT_NEAR(a.arrest.peakDecelFps2, 700, 60);  // the cable plus the aircraft's own drag
  EXPECT_GT(a.arrest.stopTimeS, 0.2);
  EXPECT_LT(a.arrest.stopTimeS, 0.4);
  EXPECT_GT(a.arrest.stopDistanceFt, 20);
  EXPECT_LT(a.arrest.stopDistanceFt, 50);
  EXPECT_EQ(a.lines, b.lines);
  EXPECT_EQ(a.trace, b.trace);
  EXPECT_GT(a.trace.size(), 1000u);
}

TEST(Simulator, LaunchSummary) {
  platform::VirtualClock clock(0);
  sim::Simulator s(clock);
  s.loadScenario(parse("at 0 set brake 0 throttle 16384\nat 5 end\n"));
  simtest::handshake(s);
  // The stroke: +700 every 5 ms until the speed passes 120 kt (202.68 ft/s).
  bool stroking = true;
  for (int64_t t = 5; t <= 5100 && !s.scenarioFinished(); t += 5) {
    clock.advanceTo(t);
    s.advanceToNow();
    if (stroking) {
      double v = simtest::readOne<double>(s, 0x3090);
      if (v > 202.68)
        stroking = false;
      else
        simtest::writeOne<double>(s, 0x3070, 700.0);
    }
  }
  const sim::LaunchSummary& l = s.motion().launch();
  ASSERT_TRUE(l.valid);
  EXPECT_NEAR(l.endKt, 120, 8);
  EXPECT_GT(l.strokeTimeS, 0.2);
  EXPECT_LT(l.strokeTimeS, 0.4);
  EXPECT_NE(s.summaryText().find("Launch: end speed"), std::string::npos);
}

TEST(Simulator, ReactionTimesOfTrapAndLaunch) {
  platform::VirtualClock clock(0);
  sim::SimulatorOptions o;
  o.stepHz = 1000;  // one step per millisecond, so the times below are exact
  sim::Simulator s(clock, o);
  s.loadScenario(
      parse("at 0 catch-area 36.95025 -76.29900 36.95012 -76.30020 60 64.5\n"
            "at 0 set lat 36.950185 lon -76.3010 alt 60 surface 60 speed 100 brake 32767\n"
            "at 0.5 set brake 0\n"
            "at 9 end\n"));
  simtest::handshake(s);
  const sim::CatchArea area{36.95012, 36.95025, -76.30020, -76.29900, 60, 64.5, {}};
  int64_t enteredMs = -1;
  for (int64_t t = 1; t <= 8000 && enteredMs < 0; ++t) {
    clock.advanceTo(t);
    s.advanceToNow();
    if (t == 300) simtest::writeOne<double>(s, 0x3070, 50.0);  // before the release: no launch
    if (t == 512) simtest::writeOne<double>(s, 0x3070, 50.0);
    if (t == 530) simtest::writeOne<double>(s, 0x3070, -90.0);  // still outside: no trap
    if (area.contains(s.model().state())) enteredMs = t;
  }
  ASSERT_GT(enteredMs, 530);
  clock.advanceTo(enteredMs + 37);
  simtest::writeOne<double>(s, 0x3070, -700.0);
  simtest::writeOne<double>(s, 0x3070, -700.0);  // only the first one counts
  EXPECT_EQ(s.reaction().launchUs(), (std::vector<int64_t>{12'000}));
  EXPECT_EQ(s.reaction().trapUs(), (std::vector<int64_t>{37'000}));
  EXPECT_NE(s.summaryText().find("Trap reaction (catch area to first deceleration): 1 time, "
                                 "median 37.0 ms, max 37.0 ms"),
            std::string::npos);
}

TEST(Simulator, NotesTheExactPointWhereThePathEnteredTheCatchArea) {
  // A steady descent (no drag) east down the centre line of the area from 200 ft short of its
  // west edge at 250 ft/s, 10 ft above the 64.5 ft ceiling, sinking 5 ft/s: it enters through
  // the ceiling after 2 s, 300 ft past that edge, between two steps at any step rate.
  const double kPi = 3.14159265358979323846;
  const double feetPerDegLon = sim::kMetresPerDegLat / 0.3048 * std::cos(36.950185 * kPi / 180);
  const double lengthFt = 0.0012 * feetPerDegLon;
  struct Row {
    int stepHz;
    std::string landing;  // the catch-area's optional part
    double alongFt;       // expected; negative: nothing noted
    int band;
  };
  const Row rows[] = {{20, " landing 90", 300, 4},
                      {60, " landing 90", 300, 4},
                      {200, " landing 90", 300, 4},
                      {60, " landing 270", lengthFt - 300, 1},
                      {60, "", -1, 0}};
  for (const Row& r : rows) {
    SCOPED_TRACE(std::to_string(r.stepHz) + " Hz," + r.landing);
    platform::VirtualClock clock(0);
    sim::SimulatorOptions o;
    o.stepHz = r.stepHz;
    o.tuning.dragPerFps2 = 0;
    sim::Simulator s(clock, o);
    char text[400];
    std::snprintf(text, sizeof text,
                  "at 0 catch-area 36.95025 -76.29900 36.95012 -76.30020 60 64.5%s\n"
                  "at 0 set lat 36.950185 lon %.9f alt 74.5 surface 60 heading 90 speed %.9f "
                  "vs -300 throttle 0 gear 1\n"
                  "at 5 end\n",
                  r.landing.c_str(), -76.30020 - 200 / feetPerDegLon, 250 / 1.6878098570997);
    s.loadScenario(parse(text));
    simtest::handshake(s);
    clock.advanceTo(clock.nowMs() + 3000);
    s.advanceToNow();
    const auto& entries = s.catchEntries().entries();
    if (r.alongFt < 0) {
      EXPECT_TRUE(entries.empty());
      EXPECT_EQ(s.summaryText().find("Catch entry"), std::string::npos);
      continue;
    }
    ASSERT_EQ(entries.size(), 1u);
    const sim::CatchEntry& e = entries[0];
    EXPECT_NEAR(e.alongFt, r.alongFt, 0.01);
    EXPECT_NEAR(e.acrossFt, 0, 0.01);
    EXPECT_NEAR(e.heightFt, 4.5, 0.001);
    EXPECT_NEAR(e.lengthFt, lengthFt, 0.01);
    EXPECT_EQ(e.band, r.band);
    // The `at 0` line takes effect at the end of the first step; the entry lies within its
    // step, not at the step's end.
    EXPECT_NEAR(static_cast<double>(e.timeUs), 2e6 + 1e6 / r.stepHz, 2);
    const std::string band = "wire band " + std::to_string(e.band);
    EXPECT_NE(s.summaryText().find("Catch entry: "), std::string::npos);
    EXPECT_NE(s.summaryText().find(band), std::string::npos);
    bool noted = false;
    for (const std::string& l : lines(s))
      noted = noted ||
              (l.find("CATCH ENTRY") != std::string::npos && l.find(band) != std::string::npos);
    EXPECT_TRUE(noted);
  }
}

TEST(Simulator, StepRateIsConfigurable) {
  platform::VirtualClock clock(0);
  sim::SimulatorOptions o;
  o.stepHz = 100;
  sim::Simulator s(clock, o);
  clock.advanceTo(1005);
  s.advanceToNow();
  EXPECT_EQ(s.simUs(), 1'000'000);
  s.advanceTo(500);  // never backwards
  EXPECT_EQ(s.simUs(), 1'000'000);
}

}  // namespace

TEST(Simulator, ApproachFliesDownTheSlopeAndPrintsTheErrorsItFlew) {
  platform::VirtualClock clock(0);
  sim::Simulator s(clock);
  s.loadScenario(
      parse("at 0 set magvar -10\n"
            "at 0 approach 36.95 -76.3 60 100 3.5 0.5 0.5 -1.5 130\n"
            "at 30 end\n"));
  s.startScenario();
  clock.advanceTo(30000);
  s.advanceToNow();
  EXPECT_TRUE(hasLine(s, "t=0.016 APPROACH 0.500 NM, 212 ft, glide slope +0.500, lineup -1.500"));
  EXPECT_TRUE(hasLine(s, "t=3.016 APPROACH 0.392 NM, 166 ft, glide slope +0.500, lineup -1.500"));
  // 130 kt down a 4 degree slope sinks 920 ft/min.
  EXPECT_TRUE(hasLine(s, "t=13.883 TOUCHDOWN 130.0 kt, vs -920 fpm"));
  EXPECT_FALSE(s.approach());  // down on the deck
  EXPECT_EQ(s.model().state().altFt, 60);
}
