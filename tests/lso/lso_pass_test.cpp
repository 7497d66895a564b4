#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "harness/harness.h"
#include "logbook/log_rules.h"
#include "lso/trap_sheet.h"
#include "sim/log_check.h"

// Whole passes through the program: corvane-sim flies a straight-in approach to the sample
// carrier (Zone01: touchdown point 36.950185 N 76.29960 W, deck 60 ft, landing heading 090, a
// 3.5 degree slope) and the program, with its trap log kept, follows the groove, makes the
// calls, grades the pass and logs it.

namespace {

struct TScriptedPass {
  const char* name;
  /// The approach from 1.2 NM at its speed: slope and lineup error, speed, then its optional
  /// parts (`through` points, `flare`).
  const char* approach;
  /// Seconds after the start at which the pilot goes around (climbs at 1,500 ft/min); 0: never.
  int goAroundS;
  std::vector<std::string> calls;
  /// The message after the pass: grade, points, wire and comment.
  const char* message;
  /// The pass's log line: event, wire, grade, points and comment.
  const char* event;
  const char* wire;
  const char* grade;
  const char* points;
  const char* comment;
};

const std::string kCallTexts[] = {CallRogerBall,      CallHigh,     CallLow,     CallPower,
                                  CallRightForLineup, CallComeLeft, CallWaveOff, CallBolter};

void PrintTo(const TScriptedPass& p, std::ostream* os) { *os << p.name; }

class LsoPass : public ::testing::TestWithParam<TScriptedPass> {};

TEST_P(LsoPass, GivesItsCallsGradeAndWireAndOneSheet) {
  const TScriptedPass& p = GetParam();
  harness::Harness h(harness::Options::flying());
  std::string scenario = "at 0 set hook 1\nat 0 approach 36.950185 -76.29960 60 90 3.5 1.2 " +
                         std::string(p.approach) + "\n";
  if (p.goAroundS != 0) scenario += "at " + std::to_string(p.goAroundS) + " set vs 1500\n";
  scenario += "at 60 end\n";
  h.writeFile("pass.scn", scenario);
  std::string error;
  ASSERT_TRUE(h.loadScenario(h.folder + "pass.scn", error)) << error;
  TFormMain& f = h.start();
  f.chkbxTrapLog.setChecked(true);
  // Power off once the cables have the aircraft, as a pilot does.
  h.runUntil([&] { return f.tmrDecel.enabled() || h.simulator->scenarioFinished(); }, 60000);
  if (f.tmrDecel.enabled()) h.simulator->set("throttle", 0);
  h.runUntil([&] { return h.simulator->scenarioFinished(); }, 60000);
  h.runFor(2000);

  std::vector<std::string> calls, passMessages;
  for (const std::string& m : h.messageTexts()) {
    if (std::count(std::begin(kCallTexts), std::end(kCallTexts), m) != 0)
      calls.push_back(m);
    else if (m.rfind("Trap", 0) == 0 || m.rfind("Bolter", 0) == 0 || m.rfind("Wave-off", 0) == 0)
      passMessages.push_back(m);
  }
  EXPECT_EQ(calls, p.calls);
  EXPECT_EQ(passMessages, std::vector<std::string>{p.message});

  const std::string log = h.readFile(TrapLogFileName);
  // One line for the pass under the header.
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;
  EXPECT_EQ(harness::lastLineColumn(log, "event"), p.event) << log;
  EXPECT_EQ(harness::lastLineColumn(log, "wire"), p.wire) << log;
  EXPECT_EQ(harness::lastLineColumn(log, "grade"), p.grade) << log;
  EXPECT_EQ(harness::lastLineColumn(log, "points"), p.points) << log;
  EXPECT_EQ(harness::lastLineColumn(log, "comment"), p.comment) << log;

  // The sheet: rows from X on, never more than 0.1 s apart, each call on the row of its check.
  std::vector<std::string> sheets;
  for (const auto& e : std::filesystem::directory_iterator(h.folder + TrapSheetFolder))
    sheets.push_back(e.path().filename().string());
  ASSERT_EQ(sheets.size(), 1u);
  // The harness's wall clock starts at 2026-12-07 12:00:00 UTC.
  EXPECT_TRUE(sheets[0].rfind("2026-12-07-1200", 0) == 0 &&
              sheets[0].ends_with("-CVN-99_Corvane_sample_.csv"))
      << sheets[0];
  std::istringstream sheet(h.readFile(std::string(TrapSheetFolder) + sheets[0]));
  std::string line;
  std::getline(sheet, line);
  EXPECT_EQ(line + "\n", TrapSheetHeader);
  double last = -1;
  int rows = 0;
  std::string firstPhase, lastPhase;
  std::vector<std::string> sheetCalls;
  while (std::getline(sheet, line)) {
    const std::vector<std::string> cols = sim::splitCsvLine(line);
    ASSERT_EQ(cols.size(), 10u) << line;
    if (!cols[9].empty()) sheetCalls.push_back(cols[9]);
    const double t = std::stod(cols[0]);
    if (last >= 0) {
      EXPECT_LE(t - last, 0.1 + 1e-9) << line;
    }
    last = t;
    if (rows++ == 0) firstPhase = cols[8];
    lastPhase = cols[8];
  }
  EXPECT_EQ(sheetCalls, p.calls);
  EXPECT_EQ(firstPhase, "X");
  const std::string event = p.event;
  EXPECT_EQ(lastPhase, event == "trap" ? "IW" : event == "bolter" ? "AR" : "WO");
  EXPECT_GT(rows, 200);
}

const TScriptedPass kPasses[] = {
    {"OnSlope",
     "0 0 136 flare 10 360",
     0,
     {CallRogerBall},
     "Trap: 3 wire, _OK_, 5 points -- 3 wire",
     "trap",
     "3",
     "_OK_",
     "5",
     "3 wire"},
    {"HighThenCorrected",
     "0.9 0 136 through 0.6 0.9 0 through 0.4 0 0",
     0,
     {CallRogerBall, CallHigh},
     "Trap: 2 wire, (OK), 3 points -- H X (H)IM 2 wire",
     "trap",
     "2",
     "(OK)",
     "3",
     "H X (H)IM 2 wire"},
    {"LowInClose",
     "0 0 136 through 0.3 0 0 through 0.2 -0.8 0",
     0,
     {CallRogerBall, CallLow, CallPower},
     "Trap: 1 wire, (OK), 3 points -- (LO)IC LO AR 1 wire",
     "trap",
     "1",
     "(OK)",
     "3",
     "(LO)IC LO AR 1 wire"},
    {"LinedUpLeft",
     "0 -1.5 136",
     0,
     {CallRogerBall, CallRightForLineup},
     "Trap: 2 wire, OK, 4 points -- (LUL)X (LUL)IM (LUL)IC (LUL)AR 2 wire",
     "trap",
     "2",
     "OK",
     "4",
     "(LUL)X (LUL)IM (LUL)IC (LUL)AR 2 wire"},
    {"DriftingRight",
     "0 0 136 through 0.5 0 0 through 0.2 0 2.5",
     0,
     {CallRogerBall, CallComeLeft},
     "Trap: 2 wire, (OK), 3 points -- LUR IC LUR AR 2 wire",
     "trap",
     "2",
     "(OK)",
     "3",
     "LUR IC LUR AR 2 wire"},
    {"WaveOffHigh",
     "0 0 136 through 0.5 0.5 0 through 0.3 2.2 0",
     26,
     {CallRogerBall, CallHigh, CallWaveOff},
     "Wave-off: WO, 1 point -- (H)IM _H_IC _H_WO",
     "waveoff",
     "",
     "WO",
     "1",
     "(H)IM _H_IC _H_WO"},
    {"WaveOffLineup",
     "0 3.5 136",
     26,
     {CallRogerBall, CallComeLeft, CallWaveOff},
     "Wave-off: WO, 1 point -- _LUR_X _LUR_IM _LUR_IC _LUR_WO",
     "waveoff",
     "",
     "WO",
     "1",
     "_LUR_X _LUR_IM _LUR_IC _LUR_WO"},
    {"Bolter",
     "0 0 136 flare 10 0",
     0,
     {CallRogerBall, CallBolter},
     "Bolter: B, 2.5 points -- bolter",
     "bolter",
     "",
     "B",
     "2.5",
     "bolter"},
    {"OneWire",
     "0 0 136 through 0.3 0 0 through 0.1 -1.0 0",
     0,
     {CallRogerBall, CallLow, CallPower},
     "Trap: 1 wire, --, 2 points -- _LO_AR 1 wire",
     "trap",
     "1",
     "--",
     "2",
     "_LO_AR 1 wire"},
    {"TwoWire",
     "0 0 136",
     0,
     {CallRogerBall},
     "Trap: 2 wire, OK, 4 points -- 2 wire",
     "trap",
     "2",
     "OK",
     "4",
     "2 wire"},
    {"ThreeWire",
     "0 0 125 flare 10 330",
     0,
     {CallRogerBall},
     "Trap: 3 wire, _OK_, 5 points -- 3 wire",
     "trap",
     "3",
     "_OK_",
     "5",
     "3 wire"},
    {"FourWire",
     "0 0 136 flare 10 250",
     0,
     {CallRogerBall},
     "Trap: 4 wire, OK, 4 points -- 4 wire",
     "trap",
     "4",
     "OK",
     "4",
     "4 wire"},
    {"TrapAfterWaveOff",
     "0 0 136 through 0.3 0 0 through 0.2 3.0 0 through 0.1 0 0",
     0,
     {CallRogerBall, CallHigh, CallWaveOff},
     "Trap: 2 wire, CUT, 0 points -- _H_IC _H_WO 2 wire",
     "trap",
     "2",
     "CUT",
     "0",
     "_H_IC _H_WO 2 wire"},
};

INSTANTIATE_TEST_SUITE_P(Passes, LsoPass, ::testing::ValuesIn(kPasses),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
