#include "arrest/catch_point.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

#include "harness/harness.h"
#include "logbook/log_rules.h"

namespace {

// Zone01 of the sample data file: the catch area runs east from 76.30020 W to 76.29900 W
// between 36.95012 N and 36.95025 N, deck 60 ft, window 4.5 ft, landing heading 090.
constexpr double kBackLon = -76.30020, kFrontLon = -76.29900, kMidLat = 36.950185;
constexpr double kDeckFt = 60, kWindowFt = 4.5;
constexpr double kPi = 3.14159265358979323846;
const double kFeetPerDegLon = FeetPerMetre * 10001750.0 / 90.0 * std::cos(kMidLat * kPi / 180);
const double kLengthFt = (kFrontLon - kBackLon) * kFeetPerDegLon;

TCatchZoneData Zone01() {
  TCatchZoneData z;
  z.CarrierIdent = "CVN-99";
  z.FrontRightCornerLat = 36.95012;
  z.FrontRightCornerLon = kFrontLon;
  z.FrontLeftCornerLat = 36.95025;
  z.FrontLeftCornerLon = kFrontLon;
  z.BackLeftCornerLat = 36.95025;
  z.BackLeftCornerLon = kBackLon;
  z.BackRightCornerLat = 36.95012;
  z.BackRightCornerLon = kBackLon;
  z.DeckAltM = kDeckFt / FeetPerMetre;
  z.ZoneHeightM = kWindowFt / FeetPerMetre;
  z.RunwayHeadingMag = 90;
  return z;
}

/// A check alongFt from the back edge on the centre line (acrossFt to starboard, i.e. south),
/// heightFt above the deck.
TCheckPosition At(double alongFt, double heightFt, double acrossFt = 0, bool onGround = false) {
  const double feetPerDegLat = FeetPerMetre * 10001750.0 / 90.0;
  return {kMidLat - acrossFt / feetPerDegLat, kBackLon + alongFt / kFeetPerDegLon,
          (kDeckFt + heightFt) / FeetPerMetre, onGround};
}

TEST(CatchPoint, IsWhereThePathBetweenTwoChecksEnteredTheWindow) {
  const TCatchZoneData zone = Zone01();
  struct Case {
    const char* name;
    std::optional<TCheckPosition> outside;
    TCheckPosition inside;
    double alongFt, acrossFt, heightFt;  // expected catch point
    int wire;
    bool interpolated;
  };
  // Down through the top of the window, from 6.5 ft to 2.5 ft over 16 ft along the deck: the
  // path crosses 4.5 ft half way, here half a foot past the band boundary at a quarter of the
  // length, then a foot short of it.
  const double quarter = kLengthFt / 4;
  const Case cases[] = {
      {"through the top, past a boundary", At(quarter - 7.5, 6.5, 10), At(quarter + 8.5, 2.5, 10),
       quarter + 0.5, 10, 4.5, 2, true},
      {"through the top, short of a boundary", At(quarter - 9, 6.5), At(quarter + 7, 2.5),
       quarter - 1, 0, 4.5, 1, true},
      {"no check before: the catching check", std::nullopt, At(200, 2), 200, 0, 2, 3, false},
      {"check before already inside: the catching check", At(150, 3), At(165, 2), 165, 0, 2, 2,
       false},
      {"rolling on the deck into the area", At(-20, 0, 0, true), At(10, 0, 0, true), 0, 0, 0, 1,
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TCatchPoint p = CatchPointOf(zone, c.outside, c.inside);
    EXPECT_EQ(p.wire, c.wire);
    EXPECT_EQ(p.interpolated, c.interpolated);
    // The catch test sees a circle through the area's corners: on the centre line it reaches a
    // little behind the back edge, where a rolling aircraft meets it.
    const double tolerance = c.alongFt == 0 ? 2 : 0.01;
    EXPECT_NEAR(p.deck.alongFt, c.alongFt, tolerance);
    EXPECT_NEAR(p.deck.acrossFt, c.acrossFt, 0.01);
    EXPECT_NEAR(p.deck.heightFt, c.heightFt, 0.01);
  }
}

/// One pass of the whole program: the simulator flies a straight descent at a steady speed
/// whose path enters the catch window `offsetFt` past (negative: short of) the boundary between
/// wire `boundary` and the next.
struct TBoundaryPass {
  int stepHz;
  double speedKt;
  int boundary;
  double offsetFt;
};

std::string Describe(const TBoundaryPass& p) {
  char text[120];
  std::snprintf(text, sizeof text, "%d Hz, %.0f kt, %+.2f ft from the boundary of wires %d and %d",
                p.stepHz, p.speedKt, p.offsetFt, p.boundary, p.boundary + 1);
  return text;
}

TEST(CatchPoint, FourHundredPassesAtBandBoundariesNameTheWireTheSimulatorFlew) {
  constexpr int kPasses = 400;
  constexpr double kPathDeg = 3;           // the descent
  constexpr double kStartBeforeFt = 1500;  // from the window's top at the entry, flown in 6-9 s
  const double fpsPerKnot = 1.6878098570997;
  int wrongWire = 0, shownWire = 0;
  const auto started = std::chrono::steady_clock::now();
  for (int i = 0; i < kPasses; ++i) {
    // 0.05 to 0.95 ft either side of the boundary: the data file's feet-to-metres factor puts
    // the program's window top 0.0008 ft above the simulator's, 0.015 ft further back along a
    // 3 degree path, so a pass closer than that to a boundary has no single right wire.
    const TBoundaryPass p{(i % 3 == 0)   ? 20
                          : (i % 3 == 1) ? 60
                                         : 200,
                          100.0 + (i * 37) % 61, 1 + (i / 3) % 3,
                          ((i / 9) % 2 == 0 ? -1 : 1) * (0.05 + 0.9 * ((i * 53) % 100) / 99.0)};
    const std::string name = Describe(p);
    SCOPED_TRACE(name);

    const double entryFt = p.boundary * kLengthFt / 4 + p.offsetFt;
    const double startAlongFt = entryFt - kStartBeforeFt;
    const double startAltFt = kDeckFt + kWindowFt + kStartBeforeFt * std::tan(kPathDeg * kPi / 180);
    const double speedFps = p.speedKt * fpsPerKnot;
    // Thrust against the drag (1.953e-4 v^2 of 25 ft/s^2 at full throttle): a steady speed.
    const int throttle = static_cast<int>(std::lround(1.953e-4 * speedFps * speedFps / 25 * 16384));
    char scenario[600];
    std::snprintf(scenario, sizeof scenario,
                  "at 0 catch-area 36.95012 -76.30020 36.95025 -76.29900 60 64.5 landing 90\n"
                  "at 0 set lat %.9f lon %.9f alt %.6f surface 60 heading 90 magvar 0 speed %.6f "
                  "vs %.6f\n"
                  "at 0 set gear 1 brake 0 throttle %d engine_type 1 taildragger 0 hook 1 bank 0\n"
                  "at 30 end\n",
                  kMidLat, kBackLon + startAlongFt / kFeetPerDegLon, startAltFt, p.speedKt,
                  -speedFps * std::tan(kPathDeg * kPi / 180) * 60, throttle);

    harness::Options o = harness::Options::flying();
    o.stepHz = p.stepHz;
    harness::Harness h(o);
    h.writeFile("pass.scn", scenario);
    std::string error;
    ASSERT_TRUE(h.loadScenario(h.folder + "pass.scn", error)) << error;
    TFormMain& f = h.start();
    f.chkbxTrapLog.setChecked(true);
    f.chkbxRealisticGear.setChecked(true);
    // Power off once the cables have the aircraft, as a pilot does; then on to the stop and
    // the message that names the wire.
    h.runUntil([&] { return f.tmrDecel.enabled() || h.simulator->scenarioFinished(); }, 30000);
    h.simulator->set("throttle", 0);
    std::string message;
    h.runUntil(
        [&] {
          for (const std::string& m : h.messageTexts())
            if (m.rfind("Trap: ", 0) == 0) message = m;
          return !message.empty() || h.simulator->scenarioFinished();
        },
        30000);

    // The case is what it says: the simulator flew into the window within 1 ft of the boundary.
    const auto& entries = h.simulator->catchEntries().entries();
    ASSERT_FALSE(entries.empty()) << name << ": the path never entered the catch area";
    const sim::CatchEntry& flown = entries.front();
    ASSERT_LE(std::fabs(flown.alongFt - p.boundary * flown.lengthFt / 4), 1.0) << name;
    ASSERT_TRUE(f.arrest.catchPoint.has_value()) << name << ": not caught";
    const int expected = flown.band;
    const std::string expectedText = "Trap: " + std::to_string(expected) + " wire, ";
    if (f.arrest.catchPoint->wire != expected || message.rfind(expectedText, 0) != 0) {
      ++wrongWire;
      ADD_FAILURE() << name << ": the simulator entered at " << flown.alongFt
                    << " ft along the deck (wire " << expected << "), the program caught at "
                    << f.arrest.catchPoint->deck.alongFt << " ft (wire "
                    << f.arrest.catchPoint->wire << ") and said \"" << message << "\"";
    } else {
      ++shownWire;
    }
    // The interpolated point is the flown one, not merely in the same band.
    EXPECT_NEAR(f.arrest.catchPoint->deck.alongFt, flown.alongFt, 0.05) << name;
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf("%d passes: %d named the flown wire, %d did not; %.1f s\n", kPasses, shownWire,
              wrongWire, seconds);
}

}  // namespace
