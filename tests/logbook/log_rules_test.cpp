#include "logbook/log_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "logbook/log_records.h"

namespace {

TEST(TrapGrade, FollowsTheTable) {
  struct Case {
    int wire;
    double sink, lineup, bank;
    std::string grade;
  } cases[] = {
      {3, 700, 3, -3, "_OK_"},   // every limit is inclusive
      {2, 500, 0, 0, "OK"},      // wire 2 or 4 within the limits
      {4, 500, -3, 3, "OK"},     //
      {3, 1399, 0, 0, "OK"},     // wire 3, one limit missed by less than twice
      {3, 0, -5.9, 0, "OK"},     // a left lineup counts as a right one
      {3, 1400, 0, 0, "(OK)"},   // missed by twice
      {3, 701, 3.1, 0, "(OK)"},  // two limits missed
      {2, 701, 0, 0, "(OK)"},    // a miss off the target wire
      {1, 0, 0, 0, "(OK)"},      //
      {4, 2000, 20, 9, "(OK)"},  // any other catch
      // Graded as the figures are shown: 700.4 fpm shows "700", 3.04 degrees "3.0", 1399.6
      // fpm "1400" (twice the limit), 3.05 degrees "3.1".
      {3, 700.4, 3.04, -3.04, "_OK_"},
      {3, 0, -3.049, 0, "_OK_"},
      {3, 1399.6, 0, 0, "(OK)"},
      {3, 0, 5.96, 0, "(OK)"},
      {3, 0, 0, 3.05, "OK"},
  };
  for (const Case& c : cases) {
    TPassFigures p;
    p.wire = c.wire;
    p.sinkFpm = c.sink;
    p.lineupDeg = c.lineup;
    p.bankDeg = c.bank;
    EXPECT_EQ(GradeOf(p), c.grade) << c.wire << " " << c.sink << " " << c.lineup << " " << c.bank;
  }
}

TEST(TrapGrade, WireIsTheQuarterOfTheAreaFromTheBackEdge) {
  // A deck running north: back edge at -0.001, front edge at +0.001 latitude.
  TCatchZoneData z;
  z.FrontRightCornerLat = 0.001, z.FrontRightCornerLon = 0.0001;
  z.FrontLeftCornerLat = 0.001, z.FrontLeftCornerLon = -0.0001;
  z.BackLeftCornerLat = -0.001, z.BackLeftCornerLon = -0.0001;
  z.BackRightCornerLat = -0.001, z.BackRightCornerLon = 0.0001;
  const std::pair<double, int> cases[] = {{-0.0011, 1}, {-0.0009, 1}, {-0.0004, 2}, {0.0001, 3},
                                          {0.0004, 3},  {0.0006, 4},  {0.0012, 4}};
  for (const auto& [lat, wire] : cases) EXPECT_EQ(WireOf(z, lat, 0.00005), wire) << lat;
  TCatchZoneData empty;
  EXPECT_EQ(WireOf(empty, 0, 0), 1);
}

TEST(TrapGrade, LineupIsSignedAcrossNorth) {
  EXPECT_DOUBLE_EQ(LineupError(95, 90), 5);
  EXPECT_DOUBLE_EQ(LineupError(350, 10), -20);
  EXPECT_DOUBLE_EQ(LineupError(10, 350), 20);
  EXPECT_DOUBLE_EQ(LineupError(270, 90), 180);
}

TEST(TrapLogLines, HaveEveryColumnAndQuoteTheCarrier) {
  TPassFigures p{"CV,63 \"Big E\"", 2, 3, 131.4, 610.2, 0.84, -1.25};
  const std::string trap =
      TrapLine("2026-12-07 12:00:31", p, "_OK_", {38.4, 0.306, 21.76}, "stopped");
  EXPECT_EQ(trap,
            "2026-12-07 12:00:31,trap,\"CV,63 \"\"Big E\"\"\",2,3,_OK_,131,610,0.8,-1.3,38,0.31,"
            "21.8,,,,stopped,,,,,,,,,,\r\n");
  p.carrier = "=HYPERLINK(\"x\")\n";
  const std::string bolter = BolterLine("t", p, "high");
  EXPECT_EQ(bolter,
            "t,bolter,\"'=HYPERLINK(\"\"x\"\") \",2,,B,131,610,0.8,-1.3,,,,,,,high,,,,,,,,,,\r\n");
  const std::string launch = LaunchLine("t", {"CV-63", 1, 121.6, 190.2, 1.857}, "cutoff");
  EXPECT_EQ(launch, "t,launch,CV-63,1,,,,,,,,,,122,190,1.86,cutoff,,,,,,,,,,\r\n");
  // A wave-off over the catch area has its entry figures; one before it has none, not zeros.
  EXPECT_EQ(WaveOffLine("t", p, "high", ""),
            "t,waveoff,\"'=HYPERLINK(\"\"x\"\") \",2,,WO,131,610,0.8,-1.3,,,,,,,high\r\n");
  const std::string early = WaveOffLine("t", {"CV-63", 2}, "", ",1,_H_IC,,,,,,,,");
  EXPECT_EQ(early, "t,waveoff,CV-63,2,,WO,,,,,,,,,,,,1,_H_IC,,,,,,,,\r\n");
  const std::string header = TrapLogHeader;
  for (const std::string& line : {header, launch, early})
    EXPECT_EQ(std::count(line.begin(), line.end(), ','), 26) << line;
}

TEST(TrapLogLines, MessagesAndUtcTimes) {
  const TPassFigures p{"CV-63", 1, 3, 131.2, 610, 0.8, 0};
  EXPECT_EQ(TrapMessage(p, "_OK_"), "Trap: 3 wire, _OK_ -- 131 kt, 610 fpm, lineup +0.8");
  EXPECT_EQ(BolterMessage({"", 1, 0, 130, 0, -35, 0}), "Bolter: B -- 130 kt, 0 fpm, lineup -35.0");
  EXPECT_EQ(UtcText(0), "1970-01-01 00:00:00");
  EXPECT_EQ(UtcText(1'796'644'800'000'000), "2026-12-07 12:00:00");
  EXPECT_EQ(UtcText(951'868'799'999'999), "2000-02-29 23:59:59");
  EXPECT_EQ(UtcText(-1), "1969-12-31 23:59:59");
}

TEST(TrapLogMotion, PeakDecelerationIgnoresSamplesBetweenFrames) {
  // 700 ft/s^2 from 200 ft/s to a stop, the speed changing once per 1/60 s frame but sampled
  // every 10 ms: single samples would show up to 1167 ft/s^2.
  TMotionRecord m;
  m.begin(0, 200);
  for (int64_t ms = 10; ms <= 400; ms += 10) {
    const double frames = static_cast<double>(ms * 60 / 1000);
    m.sample(ms, std::max(0.0, 200 - 700 * frames / 60));
  }
  EXPECT_NEAR(m.peakDecel(), 700, 140);
  EXPECT_NEAR(m.distanceFt, 200 * 200 / 1400.0, 4);
  EXPECT_DOUBLE_EQ(m.seconds(), 0.4);
}

}  // namespace
