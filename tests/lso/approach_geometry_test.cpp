#include "lso/approach_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "config/zone_file.h"
#include "logbook/log_rules.h"
#include "platform/clock.h"
#include "sim/flight_model.h"
#include "sim/sim_offsets.h"
#include "sim/simulator.h"
#include "simlink/offsets.h"

namespace {

constexpr double kRad = 3.14159265358979323846 / 180.0;

/// A zone whose catch area (120 m by 30 m) is centred on lat/lon along the true heading
/// headingMag + magVar.
TCatchZoneData zoneAround(double lat, double lon, double deckFt, double headingMag, double magVar,
                          double glideSlope) {
  const double h = (headingMag + magVar) * kRad;
  const double mLat = sim::kMetresPerDegLat, mLon = sim::kMetresPerDegLat * std::cos(lat * kRad);
  auto at = [&](double ahead, double right, double& outLat, double& outLon) {
    outLat = lat + (ahead * std::cos(h) - right * std::sin(h)) / mLat;
    outLon = lon + (ahead * std::sin(h) + right * std::cos(h)) / mLon;
  };
  TCatchZoneData z;
  z.CarrierIdent = "CVN-99 Test";
  at(60, -15, z.FrontLeftCornerLat, z.FrontLeftCornerLon);
  at(60, 15, z.FrontRightCornerLat, z.FrontRightCornerLon);
  at(-60, -15, z.BackLeftCornerLat, z.BackLeftCornerLon);
  at(-60, 15, z.BackRightCornerLat, z.BackRightCornerLon);
  z.DeckAltM = deckFt / FeetPerMetre;
  z.ZoneHeightM = 1;
  z.RunwayHeadingMag = headingMag;
  z.GlideSlopeDeg = glideSlope;
  return z;
}

std::string number(double v) {
  char s[32];
  std::snprintf(s, sizeof s, "%.9f", v);
  return s;
}

struct Flight {
  double headingMag, magVar;
  int stepHz, sampleHz;
};

/// Flies a scripted approach in the substitute simulator and, at each sample, compares the
/// errors from the position the program reads (through the wire encodings) with those the
/// simulator flew. Returns the number of samples compared.
int flyAndCompare(const Flight& f, double slopeError, double lineupError) {
  const double lat = 36.95, lon = -76.30, deckFt = 60, slope = 3.25;
  const TCatchZoneData zone = zoneAround(lat, lon, deckFt, f.headingMag, f.magVar, slope);
  platform::VirtualClock clock(0);
  sim::SimulatorOptions options;
  options.stepHz = f.stepHz;
  sim::Simulator s(clock, options);
  sim::Scenario scenario;
  std::vector<sim::ScenarioError> errors;
  const std::string text = "at 0 set magvar " + number(f.magVar) + "\nat 0 approach " +
                           number(lat) + " " + number(lon) + " 60 " + number(f.headingMag) +
                           " 3.25 1.1 " + number(slopeError) + " " + number(lineupError) +
                           " 135\nat 40 end\n";
  EXPECT_TRUE(sim::parseScenario(text, scenario, errors)) << text;
  s.loadScenario(std::move(scenario));
  s.startScenario();
  int compared = 0;
  for (int64_t n = 1;; ++n) {
    clock.advanceTo(n * 1000 / f.sampleHz);
    s.advanceToNow();
    if (!s.approach()) break;
    const sim::OffsetSpace& sp = s.server().space();
    using simlink::FixedPoint;
    const double aLat = simlink::latitudeDegrees(
        FixedPoint{sp.get<uint32_t>(sim::off::kLatLow), sp.get<int32_t>(sim::off::kLatHigh)});
    const double aLon = simlink::longitudeDegrees(
        FixedPoint{sp.get<uint32_t>(sim::off::kLonLow), sp.get<int32_t>(sim::off::kLonHigh)});
    const double aAlt = simlink::altitudeMetres(
        FixedPoint{sp.get<uint32_t>(sim::off::kAltLow), sp.get<int32_t>(sim::off::kAltHigh)});
    const double magVar = simlink::magVarDegrees(sp.get<int16_t>(sim::off::kMagVar));
    const sim::FlownErrors flown = sim::flownErrors(*s.approach(), s.model().state());
    // Close to the deck a centimetre is a large angle; the groove ends at the ramp anyway.
    if (flown.distanceNm < 0.05) continue;
    const TApproachErrors e = ApproachErrors(zone, aLat, aLon, aAlt, magVar);
    // The simulator flew the errors it was given, and the program sees what it flew.
    EXPECT_NEAR(flown.slopeErrorDeg, slopeError, 0.01);
    EXPECT_NEAR(flown.lineupErrorDeg, lineupError, 0.01);
    EXPECT_NEAR(e.glideSlopeDeg, flown.slopeErrorDeg, 0.05) << flown.distanceNm << " NM";
    EXPECT_NEAR(e.lineupDeg, flown.lineupErrorDeg, 0.05) << flown.distanceNm << " NM";
    EXPECT_NEAR(e.distanceM / 1852, flown.distanceNm, 0.001);
    if (::testing::Test::HasFailure()) return compared;
    ++compared;
  }
  return compared;
}

}  // namespace

TEST(TouchdownPoint, MiddleOfTheCatchAreaBetweenTheTwoAndThreeWireBands) {
  const TCatchZoneData z = zoneAround(36.95, -76.30, 60, 33, 7, 3.5);
  const TDeckPoint p = TouchdownPoint(z);
  EXPECT_NEAR(p.lat, 36.95, 1e-9);
  EXPECT_NEAR(p.lon, -76.30, 1e-9);
  EXPECT_EQ(WireOf(z, p.lat - 1e-7 * std::cos(40 * kRad), p.lon - 1e-7 * std::sin(40 * kRad)), 2);
  EXPECT_EQ(WireOf(z, p.lat + 1e-7 * std::cos(40 * kRad), p.lon + 1e-7 * std::sin(40 * kRad)), 3);
}

TEST(ApproachErrors, MatchTheFlownApproachWhateverTheDeckHeadingAndVariation) {
  for (double heading : {0.0, 90.0, 225.0, 359.0})
    for (double magVar : {-20.0, 0.0, 15.0})
      for (const auto& [stepHz, sampleHz] : {std::pair{60, 20}, std::pair{1000, 200}}) {
        SCOPED_TRACE("heading " + std::to_string(heading) + " magvar " + std::to_string(magVar) +
                     " at " + std::to_string(sampleHz) + " Hz");
        const Flight f{heading, magVar, stepHz, sampleHz};
        EXPECT_GT(flyAndCompare(f, 0.6, -2.5), sampleHz * 20);
        EXPECT_GT(flyAndCompare(f, -0.45, 1.2), sampleHz * 20);
        if (::testing::Test::HasFailure()) return;
      }
}

TEST(InGroove, LimitsIncluded) {
  TApproachErrors e;
  e.distanceM = 1852;
  e.heightM = 1000 * 0.3048 - 0.01;
  e.lineupDeg = 10;
  EXPECT_TRUE(InGroove(e, false));
  EXPECT_FALSE(InGroove(e, true));  // on the deck or the water
  const auto with = [&](auto member, double value) {
    TApproachErrors c = e;
    c.*member = value;
    return InGroove(c, false);
  };
  EXPECT_FALSE(with(&TApproachErrors::distanceM, 1852.01));
  EXPECT_TRUE(with(&TApproachErrors::distanceM, 0.01));
  EXPECT_FALSE(with(&TApproachErrors::distanceM, 0));
  EXPECT_FALSE(with(&TApproachErrors::heightM, 1000 * 0.3048));
  EXPECT_TRUE(with(&TApproachErrors::lineupDeg, -10));
  EXPECT_FALSE(with(&TApproachErrors::lineupDeg, 10.01));
  EXPECT_FALSE(with(&TApproachErrors::lineupDeg, -10.01));
}
