#include "sim/flight_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "block_builder.h"
#include "platform/clock.h"
#include "sim/simulator.h"

namespace {

constexpr double kStep = 1.0 / 60.0;

// Airborne, no engines and no drag: only the client's acceleration changes the speed.
sim::SimulatorOptions bareOptions() {
  sim::SimulatorOptions o;
  o.tuning.dragPerFps2 = 0;
  return o;
}

void airborne(sim::Simulator& s, double kt) {
  ASSERT_EQ(s.set("alt", 3000), "");
  ASSERT_EQ(s.set("vs", 0), "");
  ASSERT_EQ(s.set("engines", 0), "");
  ASSERT_EQ(s.set("speed", kt), "");
}

double speed(sim::Simulator& s) { return simtest::readOne<double>(s, 0x3090); }

TEST(AccelRule, AppliedInTheNextStepOnlyThenCleared) {
  platform::VirtualClock clock(0);
  sim::Simulator s(clock, bareOptions());
  airborne(s, 100);
  double v0 = s.model().state().speedFps;
  clock.advanceTo(20);  // one step done (16.67 ms)
  EXPECT_DOUBLE_EQ(speed(s), v0);
  simtest::writeOne<double>(s, 0x3070, -600.0);
  EXPECT_DOUBLE_EQ(speed(s), v0);  // not applied before the next step
  clock.advanceTo(34);             // step 2 ends at 33.3 ms
  EXPECT_NEAR(speed(s), v0 - 600.0 * kStep, 1e-9);
  EXPECT_EQ(simtest::readOne<double>(s, 0x3070), 0.0);  // cleared
  clock.advanceTo(200);
  EXPECT_NEAR(speed(s), v0 - 600.0 * kStep, 1e-9);  // and not applied again
}

TEST(AccelRule, HeldUntilTheNextWriteWhenTheTuningHoldsIt) {
  platform::VirtualClock clock(0);
  sim::SimulatorOptions o = bareOptions();
  o.tuning.holdClientAccel = true;
  sim::Simulator s(clock, o);
  airborne(s, 100);
  const double v0 = s.model().state().speedFps;
  clock.advanceTo(20);
  simtest::writeOne<double>(s, 0x3070, -60.0);
  clock.advanceTo(67);  // steps 2, 3 and 4
  EXPECT_NEAR(speed(s), v0 - 3 * 60.0 * kStep, 1e-9);
  EXPECT_EQ(simtest::readOne<double>(s, 0x3070), -60.0);  // still pending
  simtest::writeOne<double>(s, 0x3070, 0.0);
  clock.advanceTo(200);
  EXPECT_NEAR(speed(s), v0 - 3 * 60.0 * kStep, 1e-9);  // a zero lets go
}

TEST(AccelRule, LastWriteBeforeAStepWinsAndAddsToNaturalDynamics) {
  platform::VirtualClock c1(0), c2(0);
  sim::Simulator pushed(c1), plain(c2);  // default dynamics: thrust, drag, rolling
  for (sim::Simulator* s : {&pushed, &plain}) {
    ASSERT_EQ(s->set("brake", 0), "");
    ASSERT_EQ(s->set("throttle", 16384), "");
    ASSERT_EQ(s->set("speed", 50), "");
  }
  c1.advanceTo(5);
  simtest::writeOne<double>(pushed, 0x3070, 100.0);
  simtest::writeOne<double>(pushed, 0x3070, 700.0);
  c1.advanceTo(17);
  c2.advanceTo(17);
  EXPECT_NEAR(speed(pushed) - speed(plain), 700.0 * kStep, 1e-9);
}

TEST(AccelRule, NonFiniteAccelerationIsIgnored) {
  platform::VirtualClock clock(0);
  sim::Simulator s(clock, bareOptions());
  airborne(s, 100);
  double v0 = s.model().state().speedFps;
  simtest::writeOne<double>(s, 0x3070, std::numeric_limits<double>::quiet_NaN());
  simtest::writeOne<double>(s, 0x3070, std::numeric_limits<double>::infinity());
  clock.advanceTo(100);
  EXPECT_DOUBLE_EQ(speed(s), v0);
}

TEST(AccelRule, DecelerationStopsTheAircraftWithoutReversing) {
  platform::VirtualClock clock(0);
  sim::Simulator s(clock);
  ASSERT_EQ(s.set("brake", 0), "");
  ASSERT_EQ(s.set("speed", 10), "");
  for (int ms = 10; ms < 500; ms += 10) {
    simtest::writeOne<double>(s, 0x3070, -700.0);
    clock.advanceTo(ms);
  }
  EXPECT_EQ(speed(s), 0.0);
}

struct DeckCase {
  const char* name;
  int throttle, brake;
  double startKt;
  bool faster;   // speed after 2 s above the start
  bool stopped;  // speed after 2 s is 0
};

TEST(FlightModel, NaturalDynamicsOnTheDeck) {
  const DeckCase cases[] = {
      {"full throttle accelerates", 16384, 0, 0, true, false},
      {"idle slows down", 0, 0, 60, false, false},
      {"parking brake stops", 0, 32767, 30, false, true},
      {"brake holds at idle", 0, 32767, 0, false, true},
  };
  for (const DeckCase& c : cases) {
    SCOPED_TRACE(c.name);
    platform::VirtualClock clock(0);
    sim::Simulator s(clock);
    ASSERT_EQ(s.set("throttle", c.throttle), "");
    ASSERT_EQ(s.set("brake", c.brake), "");
    ASSERT_EQ(s.set("speed", c.startKt), "");
    clock.advanceTo(2000);
    double kt = speed(s) / sim::kFpsPerKnot;
    if (c.faster) {
      EXPECT_GT(kt, c.startKt + 10);
    } else {
      EXPECT_LE(kt, c.startKt);
    }
    if (c.stopped) {
      EXPECT_EQ(kt, 0.0);
    } else if (!c.faster) {
      EXPECT_GT(kt, 0.0);
    }
    EXPECT_EQ(simtest::readOne<int16_t>(s, 0x0366), 1);
  }
}

TEST(FlightModel, AirborneHoldsSpeedAtModerateThrottleAndDescends) {
  platform::VirtualClock clock(0);
  sim::Simulator s(clock);
  ASSERT_EQ(s.set("alt", 1000), "");
  ASSERT_EQ(s.set("speed", 150), "");
  ASSERT_EQ(s.set("throttle", 8192), "");
  ASSERT_EQ(s.set("vs", -600), "");
  EXPECT_EQ(simtest::readOne<int16_t>(s, 0x0366), 0);
  clock.advanceTo(10000);
  EXPECT_NEAR(speed(s) / sim::kFpsPerKnot, 150.0, 2.0);
  EXPECT_NEAR(s.model().state().altFt, 900.0, 0.5);
}

TEST(FlightModel, TouchdownLandsOrCrashes) {
  struct Case {
    const char* name;
    double vs;
    int gear;
    bool crashed;
  } cases[] = {
      {"normal", -700, 1, false}, {"too hard", -2000, 1, true}, {"gear up", -300, 0, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform::VirtualClock clock(0);
    sim::Simulator s(clock);
    ASSERT_EQ(s.set("alt", 80), "");
    ASSERT_EQ(s.set("gear", c.gear), "");
    ASSERT_EQ(s.set("speed", 130), "");
    ASSERT_EQ(s.set("vs", c.vs), "");
    clock.advanceTo(5000);
    EXPECT_EQ(simtest::readOne<int16_t>(s, 0x0366), 1);
    EXPECT_EQ(simtest::readOne<int16_t>(s, 0x0840), c.crashed ? 1 : 0);
    EXPECT_DOUBLE_EQ(s.model().state().altFt, 60.0);
  }
}

TEST(FlightModel, PublishedEncodings) {
  platform::VirtualClock clock(0);
  sim::Simulator s(clock);
  ASSERT_EQ(s.set("lat", 36.95), "");
  ASSERT_EQ(s.set("lon", -76.30), "");
  ASSERT_EQ(s.set("heading", 270), "");
  ASSERT_EQ(s.set("magvar", -1.40625), "");
  ASSERT_EQ(s.set("surface", 100), "");
  ASSERT_EQ(s.set("hook", 1), "");
  double lat = (simtest::readOne<int32_t>(s, 0x0564) +
                simtest::readOne<uint32_t>(s, 0x0560) / 4294967296.0) *
               90.0 / 10001750.0;
  double lon = (simtest::readOne<int32_t>(s, 0x056C) +
                simtest::readOne<uint32_t>(s, 0x0568) / 4294967296.0) *
               360.0 / 4294967296.0;
  double altM =
      simtest::readOne<int32_t>(s, 0x0574) + simtest::readOne<uint32_t>(s, 0x0570) / 4294967296.0;
  EXPECT_NEAR(lat, 36.95, 1e-9);
  EXPECT_NEAR(lon, -76.30, 1e-9);
  EXPECT_NEAR(altM, 100 * 0.3048, 1e-6);  // raising the surface puts the aircraft on it
  EXPECT_EQ(simtest::readOne<int16_t>(s, 0x0366), 1);
  EXPECT_EQ(simtest::readOne<uint32_t>(s, 0x0580), 0xC0000000u);
  EXPECT_EQ(simtest::readOne<int16_t>(s, 0x02A0), -256);
  EXPECT_EQ(simtest::readOne<int16_t>(s, 0x0B4C), 30);
  EXPECT_EQ(simtest::readOne<double>(s, 0x3BA0), 1.0);
  EXPECT_EQ(simtest::readOne<int16_t>(s, 0x0BC8), 32767);
  EXPECT_GT(simtest::readOne<int32_t>(s, 0x0BE8), 0);
  EXPECT_EQ(simtest::readOne<uint32_t>(s, 0x0B80), 500u);
}

TEST(FlightModel, EncodeFixedPointHalves) {
  int32_t hi;
  uint32_t lo;
  sim::encodeFixed64(12.5, hi, lo);
  EXPECT_EQ(hi, 12);
  EXPECT_EQ(lo, 0x80000000u);
  sim::encodeFixed64(-0.5, hi, lo);  // -1 + half a unit, never -0 - half
  EXPECT_EQ(hi, -1);
  EXPECT_EQ(lo, 0x80000000u);
}

}  // namespace

TEST(FlightModel, WindIsServedAndTheLiftOffIsAnAirspeed) {
  struct Case {
    const char* name;
    double windFromDeg, windKt;
    double liftoffGroundKt;
  } cases[] = {
      {"calm", 0, 0, 140}, {"30 kt headwind", 270, 30, 110}, {"20 kt tailwind", 90, 20, 160}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform::VirtualClock clock(0);
    sim::Simulator s(clock);
    ASSERT_EQ(s.set("heading", 270), "");
    ASSERT_EQ(s.set("wind_dir", c.windFromDeg), "");
    ASSERT_EQ(s.set("wind_speed", c.windKt), "");
    EXPECT_EQ(simtest::readOne<uint16_t>(s, 0x0E90), c.windKt);
    EXPECT_EQ(simtest::readOne<uint16_t>(s, 0x0E92), c.windFromDeg / 360 * 65536);
    ASSERT_EQ(s.set("speed", c.liftoffGroundKt - 2), "");
    ASSERT_EQ(s.set("brake", 0), "");
    ASSERT_EQ(s.set("throttle", 16384), "");
    int64_t ms = 0;
    while (simtest::readOne<int16_t>(s, 0x0366) == 1 && ms < 10000) clock.advanceTo(ms += 10);
    EXPECT_NEAR(speed(s) / sim::kFpsPerKnot, c.liftoffGroundKt, 0.5);
  }
}
