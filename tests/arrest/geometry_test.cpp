#include <gtest/gtest.h>

#include <cmath>

#include "arrest/geometry.h"
#include "simlink/offsets.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

TCatchZoneData NarrowZone() {
  // 0.002 degree long along latitude, 0.0002 wide; circle radius about 0.0010050 degree.
  TCatchZoneData z;
  z.FrontRightCornerLat = 0.001;
  z.FrontRightCornerLon = 0.0001;
  z.FrontLeftCornerLat = 0.001;
  z.FrontLeftCornerLon = -0.0001;
  z.BackLeftCornerLat = -0.001;
  z.BackLeftCornerLon = -0.0001;
  z.BackRightCornerLat = -0.001;
  z.BackRightCornerLon = 0.0001;
  z.DeckAltM = 20;
  z.ZoneHeightM = 10;
  z.RunwayHeadingMag = 5;
  return z;
}

TEST(FlatDistance, Cases) {
  struct Case {
    double latA, lonA, latB, lonB, expected;
  };
  const Case cases[] = {
      {0, 179.95, 0, -179.95, 0.1},  // neighbours across the date line
      {0, -179.95, 0, 179.95, 0.1},  // either order
      {60.1, 10, 60, 10, 0.1},       // north
      {60, 10.1, 60, 10, 0.1},       // east at 60 degrees counts the same: no cos factor
      {0, 0, 3, 4, 5},
      {0, 0, 0, 180, 180},  // exactly opposite
  };
  for (const auto& c : cases)
    EXPECT_NEAR(FlatDistance(c.latA, c.lonA, c.latB, c.lonB), c.expected, 1e-9)
        << c.latA << "," << c.lonA << " to " << c.latB << "," << c.lonB;
}

TEST(SubtendedAngle, DirectionsAndZeroVector) {
  EXPECT_NEAR(SubtendedAngle({1, 0}, {-1, 0}), kPi, 1e-12);
  EXPECT_NEAR(SubtendedAngle({1, 0}, {0, 1}), kPi / 2, 1e-12);
  // Across the 0/2pi seam the short way round is taken.
  EXPECT_NEAR(SubtendedAngle({0.1, 1}, {-0.1, 1}), 2 * std::atan(0.1), 1e-12);
  // A zero vector points along increasing longitude.
  EXPECT_NEAR(SubtendedAngle({0, 0}, {1, 0}), kPi / 2, 1e-12);
  EXPECT_NEAR(SubtendedAngle({0, 0}, {0, -1}), kPi, 1e-12);
}

TEST(IsInCatchZone, PointsAroundANarrowDeck) {
  const TCatchZoneData z = NarrowZone();
  struct Case {
    double lat, lon;
    bool inside;
  };
  const Case cases[] = {
      {0, 0, true},
      {0.00095, 0, true},  // on the long axis near the front
      {0, 0.0009, true},   // beside the deck but inside the circle over the diagonals
      {0, 0.0011, false},  // beyond the circle
      {0, -0.0011, false},
      {0.0011, 0, false},
      {0.001, 0.0001, false},    // exactly on a corner: zero offset vector, angle pi/2 at most
      {-0.001, -0.0001, false},  // the opposite corner
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsInCatchZone(z, c.lat, c.lon), c.inside) << c.lat << "," << c.lon;
}

TEST(IsInCatchZone, PointExactlyOnTheCircleIsOutside) {
  // Diagonal FR (1, 1) - BL (-1, -1); from (1, -1) it is seen under exactly a right angle (the
  // offsets point along the axes, so the angle is exact). The other diagonal is much longer.
  TCatchZoneData z;
  z.FrontRightCornerLat = 1;
  z.FrontRightCornerLon = 1;
  z.BackLeftCornerLat = -1;
  z.BackLeftCornerLon = -1;
  z.FrontLeftCornerLat = 1;
  z.FrontLeftCornerLon = -3;
  z.BackRightCornerLat = -1;
  z.BackRightCornerLon = 3;
  EXPECT_EQ(SubtendedAngle({1 - 1, -1 - 1}, {1 + 1, -1 + 1}), kPi / 2);
  EXPECT_FALSE(IsInCatchZone(z, 1, -1));
  EXPECT_TRUE(IsInCatchZone(z, 0.99, -0.99));
  // A threshold just below the right angle lets the same point in.
  EXPECT_TRUE(IsInCatchZone(z, 1, -1, kPi / 2 - 1e-9));
}

TEST(Headings, MagneticAndDifference) {
  struct Case {
    double trueHdg, magVar, magnetic;
  };
  const Case mag[] = {
      {270, -10, 280}, {270, 10, 260}, {5, 10, 355}, {355, -10, 5}, {350, -50, 40}, {0, 0, 0},
  };
  for (const auto& c : mag)
    EXPECT_NEAR(simlink::magneticHeading(c.trueHdg, c.magVar), c.magnetic, 1e-9)
        << c.trueHdg << " " << c.magVar;
  EXPECT_NEAR(HeadingDifference(5, 340), 25, 1e-9);
  EXPECT_NEAR(HeadingDifference(5, 335), 30, 1e-9);
  EXPECT_NEAR(HeadingDifference(90, 270), 180, 1e-9);
}

TEST(CatchVerdict, EachTestInTurn) {
  const TCatchZoneData z = NarrowZone();  // deck 20 m, window 10 m, runway 5
  TCatchReadings base;
  base.trueHeadingDeg = 5;
  base.altitudeM = 25;
  base.tailhook = 1;
  struct Case {
    const char* what;
    void (*tweak)(TCatchReadings&);
    bool hookRequired;
    TCatchVerdict verdict;
  };
  const Case cases[] = {
      {"all met", [](TCatchReadings&) {}, false, TCatchVerdict::Caught},
      {"at deck altitude", [](TCatchReadings& r) { r.altitudeM = 20; }, false,
       TCatchVerdict::Caught},
      {"top of window", [](TCatchReadings& r) { r.altitudeM = 30; }, false, TCatchVerdict::Caught},
      {"1 cm below", [](TCatchReadings& r) { r.altitudeM = 19.99; }, false,
       TCatchVerdict::Altitude},
      {"1 cm above", [](TCatchReadings& r) { r.altitudeM = 30.01; }, false,
       TCatchVerdict::Altitude},
      {"on the ground any altitude",
       [](TCatchReadings& r) {
         r.onGround = true;
         r.altitudeM = 500;
         r.bankDeg = 9.9;
         r.trueHeadingDeg = 34.9;
       },
       false, TCatchVerdict::Caught},
      {"bank 9.9", [](TCatchReadings& r) { r.bankDeg = -9.9; }, false, TCatchVerdict::Caught},
      {"bank 10", [](TCatchReadings& r) { r.bankDeg = 10; }, false, TCatchVerdict::Bank},
      {"bank -10", [](TCatchReadings& r) { r.bankDeg = -10; }, false, TCatchVerdict::Bank},
      {"heading 340 vs 5", [](TCatchReadings& r) { r.trueHeadingDeg = 340; }, false,
       TCatchVerdict::Caught},
      {"heading 335 vs 5", [](TCatchReadings& r) { r.trueHeadingDeg = 335; }, false,
       TCatchVerdict::Heading},
      {"heading off 35", [](TCatchReadings& r) { r.trueHeadingDeg = 40; }, false,
       TCatchVerdict::Heading},
      {"outside the area", [](TCatchReadings& r) { r.lon = 0.0011; }, false,
       TCatchVerdict::OutsideArea},
      {"hook at 0.5", [](TCatchReadings& r) { r.tailhook = 0.5; }, true, TCatchVerdict::HookUp},
      {"hook at 0.5 not required", [](TCatchReadings& r) { r.tailhook = 0.5; }, false,
       TCatchVerdict::Caught},
      {"hook at 0.51", [](TCatchReadings& r) { r.tailhook = 0.51; }, true, TCatchVerdict::Caught},
  };
  for (const auto& c : cases) {
    TCatchReadings r = base;
    c.tweak(r);
    EXPECT_EQ(CatchVerdict(z, r, 0, c.hookRequired), c.verdict) << c.what;
  }
  // The variation turns the true heading into the magnetic one: true 15 with 10 east is 5.
  TCatchReadings r = base;
  r.trueHeadingDeg = 45;
  EXPECT_EQ(CatchVerdict(z, r, 10, false), TCatchVerdict::Heading);
  EXPECT_EQ(CatchVerdict(z, r, 40, false), TCatchVerdict::Caught);
}

TEST(GateDecision, TruthTable) {
  struct Case {
    int16_t onGround;
    int32_t gear;
    double speed;
    int16_t slew;
    double distance, previous;
    bool landed, approaching, need;
  };
  const Case cases[] = {
      // airborne, gear down, closing in at 0.04: needed
      {0, 16383, 200, 0, 0.04, 0.045, false, true, true},
      // holding or opening the distance
      {0, 16383, 200, 0, 0.04, 0.04, false, false, false},
      {0, 16383, 200, 0, 0.04, 0.03, false, false, false},
      // at or beyond 0.05
      {0, 16383, 200, 0, 0.05, 0.06, false, false, false},
      // gear up
      {0, 0, 200, 0, 0.04, 0.045, false, true, false},
      // slewing
      {0, 16383, 200, 1, 0.04, 0.045, false, true, false},
      // on deck, gear down, 49.9 ft/s: landed
      {1, 16383, 49.9, 0, 0.04, 0.045, true, true, false},
      // on deck at 50 ft/s: still rolling, checking wanted
      {1, 16383, 50, 0, 0.04, 0.045, false, true, true},
      // on the ground with the gear lever up is not "landed"
      {1, 0, 10, 0, 0.04, 0.045, false, true, false},
      // the previous distance after a reset is 0: never approaching on the first tick
      {0, 16383, 200, 0, 0.04, 0, false, false, false},
  };
  for (const auto& c : cases) {
    TGateReadings r;
    r.onGround = c.onGround;
    r.gearLever = c.gear;
    r.forwardSpeedFps = c.speed;
    r.slew = c.slew;
    const TGateDecision d = GateDecision(r, c.distance, c.previous);
    EXPECT_EQ(d.landed, c.landed) << &c - cases;
    EXPECT_EQ(d.approaching, c.approaching) << &c - cases;
    EXPECT_EQ(d.need, c.need) << &c - cases;
  }
}

}  // namespace
