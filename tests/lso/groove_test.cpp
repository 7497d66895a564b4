#include "lso/groove.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "config/zone_file.h"
#include "lso/approach_geometry.h"
#include "platform/clock.h"
#include "sim/flight_model.h"
#include "sim/sim_offsets.h"
#include "sim/simulator.h"
#include "simlink/offsets.h"

/// Calls print as "7350 ms Roger ball" in a failure.
void PrintTo(const TLsoCall& c, std::ostream* os) { *os << c.timeMs << " ms " << c.text; }

namespace {

/// A deviation profile: values at distances to go (metres, far to near), straight between them
/// and held beyond the ends.
using TProfile = std::vector<std::pair<double, double>>;

double at(const TProfile& p, double d) {
  if (p.empty()) return 0;
  if (d >= p.front().first) return p.front().second;
  for (std::size_t i = 1; i < p.size(); ++i)
    if (d >= p[i].first) {
      const auto [d0, v0] = p[i - 1];
      const auto [d1, v1] = p[i];
      return v0 + (v1 - v0) * (d0 - d) / (d0 - d1);
    }
  return p.back().second;
}

// The scripted passes fly 70 m/s (136 kt) on a 3.5 degree slope, one sample per 50 ms tick from
// 1900.25 m to go, to a catch area 120 m long (its back edge 60 m before the touchdown point).
// Phases then fall at X 7350 ms, IM 13950, IC 20550, AR 26300.
constexpr double kSlope = 3.5, kStartM = 1900.25, kStepM = 3.5, kArM = 60;
constexpr double kSpeedKt = 70.0 * 3600 / 1852;
const double kSlopeSinkFpm = 70.0 / 0.3048 * 60 * std::tan(kSlope * 3.14159265358979 / 180);

enum class TEnd { Trap, Bolter };

struct TPass {
  const char* name;
  TProfile glideSlope, lineup;
  TEnd end;
  double endAtM;        // catch (Trap) or leave the catch area (Bolter) at or below this distance
  int wire;             // taken at the catch
  double catchSinkFpm;  // 0: the slope's own sink
  std::vector<TLsoCall> calls;
  const char* grade;
  double points;
  const char* comment;
};

TGrooveSample sampleAt(const TPass& p, int k) {
  TGrooveSample s;
  s.timeMs = 50LL * k;
  s.distanceM = kStartM - kStepM * k;
  s.glideSlopeDeg = at(p.glideSlope, s.distanceM);
  s.lineupDeg = at(p.lineup, s.distanceM);
  s.heightM = s.distanceM * std::tan((kSlope + s.glideSlopeDeg) * 3.14159265358979 / 180);
  s.inGroove = s.distanceM > 0 && s.distanceM <= 1852 && std::fabs(s.lineupDeg) <= 10;
  s.groundSpeedKt = kSpeedKt;
  s.sinkFpm = kSlopeSinkFpm;
  return s;
}

/// Flies the pass through a tracker, checking that each call is returned at its tick.
TGrooveTracker fly(const TPass& p) {
  TGrooveTracker t(kArM);
  for (int k = 0;; ++k) {
    TGrooveSample s = sampleAt(p, k);
    if (s.distanceM <= p.endAtM) {
      if (p.end == TEnd::Trap) {
        if (p.catchSinkFpm > 0) s.sinkFpm = p.catchSinkFpm;
        t.inWires(s, p.wire);
      } else {
        const auto c = t.bolter(s.timeMs);
        EXPECT_EQ(c.has_value(), !t.wavedOff()) << p.name;
      }
      return t;
    }
    const std::size_t before = t.calls().size();
    const auto c = t.feed(s);
    EXPECT_EQ(c.has_value(), t.calls().size() == before + 1) << p.name << " at " << s.timeMs;
  }
}

TEST(GrooveTracker, ScriptedPassesGiveTheirCallsGradeAndComment) {
  const TLsoCall roger{7350, CallRogerBall};
  const TProfile none;
  const std::vector<TPass> passes = {
      {"on slope", none, none, TEnd::Trap, -5, 3, 0, {roger}, "_OK_", 5, "3 wire"},
      // High a little at X: the call waits for the 3 s after "Roger ball".
      {"high then corrected",
       {{1111.2, 0.6}, {833.4, 0}},
       none,
       TEnd::Trap,
       -5,
       3,
       0,
       {roger, {10350, CallHigh}},
       "OK",
       4,
       "(H)X 3 wire"},
      // Low from 483 m; "Power" once below -0.6 inside IC and 3 s after "You're low".
      {"low in close",
       {{555.6, 0}, {370.4, -0.8}},
       none,
       TEnd::Trap,
       15,
       2,
       0,
       {roger, {20250, CallLow}, {23250, CallPower}},
       "(OK)",
       3,
       "(LO)IC LO AR 2 wire"},
      // As low before IC, but "Power" is called only inside it.
      {"low early",
       {{600, -0.7}, {500, 0}},
       none,
       TEnd::Trap,
       -5,
       3,
       0,
       {roger, {10350, CallLow}},
       "(OK)",
       3,
       "LO X LO IM 3 wire"},
      {"lined up left",
       none,
       {{700, -1.5}, {400, 0}},
       TEnd::Trap,
       -5,
       3,
       0,
       {roger, {10350, CallRightForLineup}},
       "OK",
       4,
       "(LUL)X (LUL)IM 3 wire"},
      {"drifting right",
       none,
       {{926, 0}, {200, 2.5}},
       TEnd::Trap,
       -5,
       3,
       0,
       {roger, {18100, CallComeLeft}},
       "(OK)",
       3,
       "(LUR)IC LUR AR 3 wire"},
      // Waved off, then flies over the catch area: still one wave-off, no bolter.
      {"wave-off high",
       {{740.8, 0}, {300, 2.2}},
       none,
       TEnd::Bolter,
       -60,
       0,
       0,
       {roger, {17750, CallHigh}, {21750, CallWaveOff}},
       "WO",
       1,
       "_H_IC _H_WO"},
      // Beyond the wave-off limit from the start: waved off at the first check inside IC.
      {"wave-off at IC",
       {{0, 2.0}},
       none,
       TEnd::Bolter,
       -60,
       0,
       0,
       {roger, {10350, CallHigh}, {20550, CallWaveOff}},
       "WO",
       1,
       "_H_X _H_IM _H_IC _H_WO"},
      // The wave-off is called at once, less than 3 s after "Come left".
      {"wave-off lineup",
       none,
       {{700, 0}, {300, 4}},
       TEnd::Bolter,
       -60,
       0,
       0,
       {roger, {18600, CallComeLeft}, {21450, CallWaveOff}},
       "WO",
       1,
       "LUR IC _LUR_WO"},
      {"bolter",
       none,
       none,
       TEnd::Bolter,
       -60,
       0,
       0,
       {roger, {28050, CallBolter}},
       "B",
       2.5,
       "bolter"},
      // 1000 ft/min is a little over this slope's own 843 at 136 kt, and a 1 wire is (OK) at best.
      {"1 wire", none, none, TEnd::Trap, 40, 1, 1000, {roger}, "(OK)", 3, "(SINK)IW 1 wire"},
      {"2 wire", none, none, TEnd::Trap, 15, 2, 0, {roger}, "OK", 4, "2 wire"},
      {"3 wire, hard", none, none, TEnd::Trap, -5, 3, 1300, {roger}, "--", 2, "_SINK_IW 3 wire"},
      {"4 wire", none, none, TEnd::Trap, -40, 4, 0, {roger}, "OK", 4, "4 wire"},
      {"trap after a wave-off",
       {{740.8, 0}, {300, 2.2}},
       none,
       TEnd::Trap,
       15,
       2,
       0,
       {roger, {17750, CallHigh}, {21750, CallWaveOff}},
       "CUT",
       0,
       "_H_IC _H_WO 2 wire"},
  };
  for (const TPass& p : passes) {
    const TGrooveTracker t = fly(p);
    EXPECT_EQ(t.calls(), p.calls) << p.name;
    const TLsoGrade g = GradePass(t, kSlope);
    EXPECT_EQ(g.grade, p.grade) << p.name;
    EXPECT_EQ(g.points, p.points) << p.name;
    EXPECT_EQ(g.comment, p.comment) << p.name;
    EXPECT_EQ(g.wire, p.end == TEnd::Trap ? p.wire : 0) << p.name;
  }
}

TEST(GrooveTracker, RecordsEachPhaseOnceWithItsErrors) {
  const TPass p{"drift", {}, {{926, 0}, {200, 2.5}}, TEnd::Trap, -5, 3, 0, {}, "", 0, ""};
  const TGrooveTracker t = fly(p);
  const std::pair<TLsoPhase, std::int64_t> expected[] = {{TLsoPhase::X, 7350},
                                                         {TLsoPhase::IM, 13950},
                                                         {TLsoPhase::IC, 20550},
                                                         {TLsoPhase::AR, 26300},
                                                         {TLsoPhase::IW, 27250}};
  for (const auto& [phase, ms] : expected) {
    EXPECT_TRUE(t.phase(phase).seen) << LsoPhaseName(phase);
    EXPECT_EQ(t.phase(phase).timeMs, ms) << LsoPhaseName(phase);
    EXPECT_NEAR(t.phase(phase).lineupDeg, at(p.lineup, kStartM - kStepM * ms / 50), 1e-9);
  }
}

TEST(GrooveGrading, SinkIsJudgedAgainstTheSlopesOwnSinkAndLimitsAreMild) {
  // About 6.2 ft/min per knot at 3.5 degrees; a steeper slope sinks more at the same speed.
  EXPECT_NEAR(GlideSlopeSinkFpm(3.5, 130), 805, 1);
  EXPECT_NEAR(GlideSlopeSinkFpm(3.5, 1), 6.19, 0.01);
  EXPECT_NEAR(GlideSlopeSinkFpm(4.5, 130) / GlideSlopeSinkFpm(3.0, 130),
              std::tan(4.5 * 3.14159265358979 / 180) / std::tan(3.0 * 3.14159265358979 / 180),
              1e-9);
  // A value at a limit lies in the milder band, on both sides.
  const TDeviationBand& high = DeviationBands[0];
  const TDeviationBand& low = DeviationBands[1];
  EXPECT_EQ(SeverityOf(high, CallHighDeg), TSeverity::None);
  EXPECT_EQ(SeverityOf(high, 0.41), TSeverity::Little);
  EXPECT_EQ(SeverityOf(high, 1.21), TSeverity::Gross);
  EXPECT_EQ(SeverityOf(low, CallLowDeg), TSeverity::None);
  EXPECT_EQ(SeverityOf(low, -0.61), TSeverity::Reasonable);
  EXPECT_EQ(SeverityOf(low, 0.5), TSeverity::None);
}

// A pass flown by the substitute simulator's approach (0.6 degree high all the way, 20 Hz
// catch-check ticks), measured by the approach geometry from the position the program reads:
// the tracker hears the ball at 0.75 NM and calls "You're high" 3 s later, and every phase is
// marked a little high.
TEST(GrooveTracker, FollowsTheSimulatorsApproachThroughTheGeometry) {
  const double lat = 36.95, lon = -76.30, heading = 250, kDeg = 3.14159265358979 / 180;
  TCatchZoneData zone;
  auto corner = [&](double ahead, double right, double& cLat, double& cLon) {
    const double h = heading * kDeg;
    cLat = lat + (ahead * std::cos(h) - right * std::sin(h)) / sim::kMetresPerDegLat;
    cLon = lon + (ahead * std::sin(h) + right * std::cos(h)) /
                     (sim::kMetresPerDegLat * std::cos(lat * kDeg));
  };
  corner(60, -15, zone.FrontLeftCornerLat, zone.FrontLeftCornerLon);
  corner(60, 15, zone.FrontRightCornerLat, zone.FrontRightCornerLon);
  corner(-60, -15, zone.BackLeftCornerLat, zone.BackLeftCornerLon);
  corner(-60, 15, zone.BackRightCornerLat, zone.BackRightCornerLon);
  zone.DeckAltM = 60 / FeetPerMetre;
  zone.ZoneHeightM = 1;
  zone.RunwayHeadingMag = heading;
  zone.GlideSlopeDeg = kSlope;

  platform::VirtualClock clock(0);
  sim::Simulator s(clock, sim::SimulatorOptions{});
  sim::Scenario scenario;
  std::vector<sim::ScenarioError> errors;
  ASSERT_TRUE(
      sim::parseScenario("at 0 approach 36.95 -76.30 60 250 3.5 1.1 0.6 0 135\n"
                         "at 60 end\n",
                         scenario, errors));
  s.loadScenario(std::move(scenario));
  s.startScenario();
  TGrooveTracker t(kArM);
  for (int64_t ms = 50; ms < 60000; ms += 50) {
    clock.advanceTo(ms);
    s.advanceToNow();
    if (!s.approach()) break;
    const sim::OffsetSpace& sp = s.server().space();
    using simlink::FixedPoint;
    const TApproachErrors e =
        ApproachErrors(zone,
                       simlink::latitudeDegrees(FixedPoint{sp.get<uint32_t>(sim::off::kLatLow),
                                                           sp.get<int32_t>(sim::off::kLatHigh)}),
                       simlink::longitudeDegrees(FixedPoint{sp.get<uint32_t>(sim::off::kLonLow),
                                                            sp.get<int32_t>(sim::off::kLonHigh)}),
                       simlink::altitudeMetres(FixedPoint{sp.get<uint32_t>(sim::off::kAltLow),
                                                          sp.get<int32_t>(sim::off::kAltHigh)}),
                       0);
    t.feed({ms, e.distanceM, e.glideSlopeDeg, e.lineupDeg, e.heightM, InGroove(e, false), 135,
            GlideSlopeSinkFpm(kSlope, 135)});
  }
  // 0.35 NM at 135 kt over the ground: 9.33 s, heard at the next tick.
  ASSERT_EQ(t.calls().size(), 2u);
  EXPECT_EQ(t.calls()[0].text, CallRogerBall);
  EXPECT_EQ(t.calls()[0].timeMs, 9350);
  EXPECT_EQ(t.calls()[1], (TLsoCall{12350, CallHigh}));
  EXPECT_EQ(GradePass(t, kSlope).comment, "(H)X (H)IM (H)IC (H)AR");
}

}  // namespace
