#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "config/option_table.h"
#include "cues/cues.h"
#include "harness/harness.h"
#include "logbook/log_rules.h"
#include "logbook/trap_log.h"
#include "platform/clock.h"
#include "platform/controls.h"
#include "sim/log_check.h"

namespace {

/// Flies a sample scenario with the log on or off; returns the simulator's exit code.
int fly(harness::Harness& h, const char* scenario, bool logOn) {
  TFormMain& form = h.start();
  form.chkbxTrapLog.setChecked(logOn);
  std::string summary;
  const int rc = h.flyScenario(scenario, 60000, summary);
  EXPECT_EQ(rc, 0) << summary;
  return rc;
}

TEST(TrapLog, OffByDefaultWritesNothing) {
  harness::Harness h(harness::Options::flying());
  h.start();
  EXPECT_FALSE(h.form().chkbxTrapLog.checked());
  std::string summary;
  EXPECT_EQ(h.flyScenario("samples/scenarios/trap.scn", 60000, summary), 0) << summary;
  EXPECT_FALSE(h.fileExists(TrapLogFileName));
  for (const std::string& m : h.messageTexts()) EXPECT_EQ(m.rfind("Trap:", 0), std::string::npos);
}

TEST(TrapLog, ATrapIsGradedLoggedAndAnnounced) {
  harness::Harness h(harness::Options::flying());
  fly(h, "samples/scenarios/trap.scn", true);
  const std::string log = h.readFile(TrapLogFileName);
  ASSERT_EQ(log.rfind(TrapLogHeader, 0), 0u) << log;
  const std::string line = log.substr(std::string(TrapLogHeader).size());
  // Touched down short of the area and rolled in: caught at its back edge, on the 1 wire. The
  // LSO followed it from 1 NM: at 500 ft/min it is grossly low all the way and waved off in
  // close, so the trap is a CUT.
  EXPECT_EQ(line.substr(0, 17), "2026-12-07 12:00:");
  EXPECT_NE(line.find(",trap,CVN-99 Corvane (sample),1,1,CUT,130,500,0.0,0.0,"), std::string::npos)
      << line;
  EXPECT_NE(line.find(",,,,stopped,0,_LO_X _LO_IM _LO_IC _LO_WO 1 wire,"), std::string::npos)
      << line;
  EXPECT_EQ(line.find('\n'), line.size() - 1) << "one line";
  EXPECT_TRUE(h.sawMessage("Trap: 1 wire, CUT, 0 points -- _LO_X _LO_IM _LO_IC _LO_WO 1 wire"));
}

TEST(TrapLog, ALaunchIsLoggedWithItsEnd) {
  harness::Harness h(harness::Options::flying());
  fly(h, "samples/scenarios/launch.scn", true);
  const std::string log = h.readFile(TrapLogFileName);
  EXPECT_NE(log.find(",launch,CVN-99 Corvane (sample),1,,,,,,,,,,12"), std::string::npos) << log;
  EXPECT_NE(log.find(",cutoff,"), std::string::npos) << log;
}

TEST(TrapLog, ZoneIsTheSectionNumberWhenAnEarlierZoneWasRejected) {
  // The sample carrier as [Zone02], after a [Zone01] that is rejected for its deck altitude.
  for (const char* scenario : {"samples/scenarios/trap.scn", "samples/scenarios/launch.scn"}) {
    harness::Harness h(harness::Options::flying());
    std::string dat = h.readFile("Corvane.dat");
    dat = dat.substr(0, dat.find("; Off Point Loma"));
    dat.replace(dat.find("[Zone01]"), 8, "[Zone02]");
    h.writeFile("Corvane.dat", "[Zone01]\r\nCarrierIdent=Broken\r\nDeckAltInFeet=-5\r\n" + dat);
    fly(h, scenario, true);
    ASSERT_EQ(h.form().carrierData.CatchZones->size(), 1u) << scenario;
    const std::string log = h.readFile(TrapLogFileName);
    EXPECT_NE(log.find(",CVN-99 Corvane (sample),2,"), std::string::npos) << scenario << "\n"
                                                                          << log;
  }
}

TEST(TrapLog, AFileThatCannotBeWrittenTurnsTheLogOff) {
  harness::Harness h(harness::Options::flying());
  std::filesystem::create_directory(h.folder + TrapLogFileName);
  fly(h, "samples/scenarios/trap.scn", true);
  EXPECT_FALSE(h.form().chkbxTrapLog.checked());
  EXPECT_EQ(h.form().lblOtherStatus.text(), "Trap log turned off: cannot write CorvaneLog.csv");
  EXPECT_TRUE(h.errorBoxes.empty());
}

TEST(TrapLog, APassNotSeenToLeaveTheAreaIsForgottenWhenCheckingStops) {
  // Stopped on the deck inside the area without a catch: no bolter at the next approach.
  harness::Harness h(harness::Options::flying());
  TFormMain& form = h.start();
  form.chkbxTrapLog.setChecked(true);
  form.trapLog.trapLogPass.active = true;
  h.runFor(1'100);
  EXPECT_EQ(form.lblActivelyCheckingStatus.text(), "NOT NEEDED");
  EXPECT_FALSE(form.trapLog.trapLogPass.active);
}

TEST(TrapLog, GradedPassScenariosFlyInProcess) {
  for (const char* scenario :
       {"samples/scenarios/trap_three_wire.scn", "samples/scenarios/trap_one_wire.scn",
        "samples/scenarios/trap_bolter.scn", "samples/scenarios/trap_fast_hard.scn"}) {
    harness::Harness h(harness::Options::flying());
    std::string summary;
    EXPECT_EQ(h.flyScenario(scenario, 60000, summary), 0) << scenario << "\n" << summary;
    EXPECT_TRUE(h.form().chkbxTrapLog.checked()) << scenario;
  }
}

}  // namespace

namespace {

// The scenarios' `expect log` check must fail as surely as it passes.
TEST(TrapLog, ScenarioLogExpectationsMatchWholeColumns) {
  harness::Harness h;
  const std::string path = h.folder + "log.csv";
  h.writeFile("log.csv", std::string(TrapLogHeader) +
                             "t,trap,\"CV,63\",1,3,_OK_,130,500,0.0,0.0,35,0.32,22.0,,,,stopped\r\n"
                             "t,bolter,CV-63,1,,B,130,0,0.0,0.0,,,,,,,high\r\n");
  const std::pair<const char*, bool> cases[] = {
      {"event=trap wire=3 grade=_OK_", true},
      {"carrier=CV,63 grade=_OK_", true},
      {"event=bolter wire= result=high", true},
      {"event=trap grade=B", false},  // values from two different lines
      {"wire=33", false},             //
      {"grade=OK", false},            // not a part of _OK_
      {"wire_no=3", false},           // no such column
  };
  for (const auto& [pairs, matches] : cases) {
    std::string detail;
    EXPECT_EQ(sim::logHasLine(path, pairs, detail), matches) << pairs << ": " << detail;
  }
  std::string detail;
  EXPECT_FALSE(sim::logHasLine(h.folder + "none.csv", "event=trap", detail));
  EXPECT_FALSE(sim::logHasLine("", "event=trap", detail));
}

}  // namespace

/// The log alone, with its own controls and clock: no window.
class TrapLogAlone : public ::testing::Test {
 protected:
  std::string folder = (std::filesystem::path(::testing::TempDir()) /
                        (std::string("trap_log_alone_") +
                         ::testing::UnitTest::GetInstance()->current_test_info()->name()))
                           .string() +
                       "/";
  platform::VirtualClock clock;
  platform::CheckBox chkbxDamageSounds{"chkbxDamageSounds"};
  platform::CheckBox chkbxSpecialSoundHandling{"chkbxSpecialSoundHandling"};
  platform::CheckBox chkbxLsoCalls{"chkbxLsoCalls"};
  platform::CheckBox chkbxTrapLog{"chkbxTrapLog"};
  platform::Label lblOtherStatus{"lblOtherStatus"};
  simlink::Link link;  // never opened: the cues' messages go nowhere
  TCues cues{
      {chkbxDamageSounds, chkbxSpecialSoundHandling, chkbxLsoCalls, lblOtherStatus, folder, link},
      {}};
  TTrapLog log{{chkbxTrapLog, lblOtherStatus, cues, clock, folder}};

  void SetUp() override {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
  }
  void TearDown() override { std::filesystem::remove_all(folder); }
  std::string logText() const {
    std::ifstream in(folder + TrapLogFileName, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  /// A stroke from rest to 100 kt in one second, sampled every 10 ms, ended with result.
  void stroke(const TCatchZoneData* zone, const char* result, const TGearFigures& gear = {}) {
    log.TrapLogLaunchStart(zone, 0);
    log.trapLogLaunch.gear = gear;
    for (int i = 1; i <= 100; ++i) {
      clock.advanceTo(clock.nowMs() + 10);
      log.TrapLogLaunchSample(i * options::FpsPerKnot);
    }
    log.TrapLogLaunchEnd(result);
  }
};

TEST_F(TrapLogAlone, AStrokeIsLoggedWithTheZoneItWasGiven) {
  chkbxTrapLog.setChecked(true);
  TCatchZoneData zone;
  zone.CarrierIdent = "CVN-77";
  zone.SectionNumber = 3;
  stroke(&zone, "cutoff");
  stroke(nullptr, "early");
  const std::string text = logText();
  ASSERT_EQ(text.rfind(TrapLogHeader, 0), 0u) << text;
  // 100 kt after one second from rest: 84.45 ft.
  EXPECT_NE(text.find(",launch,CVN-77,3,,,,,,,,,,100,84,1.00,cutoff,,,,,,,,,,\r\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find(",launch,,0,,,,,,,,,,100,84,1.00,early,,,,,,,,,,\r\n"), std::string::npos)
      << text;
}

TEST_F(TrapLogAlone, NothingIsWrittenWhileTheLogIsOffAndAFailedWriteTurnsItOff) {
  stroke(nullptr, "cutoff");
  EXPECT_FALSE(std::filesystem::exists(folder + TrapLogFileName));
  chkbxTrapLog.setChecked(true);
  std::filesystem::create_directory(folder + TrapLogFileName);
  stroke(nullptr, "cutoff");
  EXPECT_FALSE(chkbxTrapLog.checked());
  EXPECT_EQ(lblOtherStatus.text(), "Trap log turned off: cannot write CorvaneLog.csv");
}

// A log begun before the LSO's columns is continued under today's header, never rewritten: the
// old lines stay byte for byte, the new header comes once, then the new lines.
TEST_F(TrapLogAlone, AnOldLogIsContinuedUnderTheNewHeaderOnce) {
  chkbxTrapLog.setChecked(true);
  const std::string old =
      "utc,event,carrier,zone,wire,grade,ground_speed_kt,sink_fpm,lineup_deg,bank_deg,stop_ft,"
      "stop_s,peak_g,end_speed_kt,stroke_ft,stroke_s,result\r\n"
      "2026-12-01 10:00:00,launch,CV-63,1,,,,,,,,,,120,190,1.86,cutoff";  // no line end
  {
    std::ofstream out(folder + TrapLogFileName, std::ios::binary);
    out << old;
  }
  stroke(nullptr, "cutoff");
  stroke(nullptr, "early");
  const std::string text = logText();
  ASSERT_EQ(text.rfind(old + "\r\n" + TrapLogHeader, 0), 0u) << text;
  const std::string after = text.substr(old.size() + 2 + std::string(TrapLogHeader).size());
  const size_t first = after.find(",launch,,0,,,,,,,,,,100,84,1.00,cutoff,,,,,,,,,,\r\n");
  ASSERT_NE(first, std::string::npos) << text;
  const std::string second = after.substr(after.find('\n') + 1);
  EXPECT_NE(second.find(",launch,,0,,,,,,,,,,100,84,1.00,early,,,,,,,,,,\r\n"), std::string::npos)
      << text;
  EXPECT_EQ(std::count(after.begin(), after.end(), '\n'), 2) << text;
  EXPECT_EQ(after.find("utc,"), std::string::npos) << text;
}

// The gear columns come with the first line that has a gear figure, under a header of their own
// once; every later line keeps them, empty where it has no figure.
TEST_F(TrapLogAlone, GearColumnsComeWithTheFirstGearFigureAndStay) {
  chkbxTrapLog.setChecked(true);
  stroke(nullptr, "cutoff");
  TGearFigures gear;
  gear.windOverDeckKt = 24.96;
  gear.runoutFt = 340;
  gear.note = "3 g limit, stopped short";
  stroke(nullptr, "cutoff", gear);
  stroke(nullptr, "early");
  const std::string launch = ",launch,,0,,,,,,,,,,100,84,1.00,";
  const std::string text = logText();
  const std::vector<std::string> lines = [&] {
    std::vector<std::string> v;
    for (size_t pos = 0; pos < text.size();) {
      const size_t end = text.find("\r\n", pos);
      v.push_back(text.substr(pos, end - pos));
      pos = end + 2;
    }
    return v;
  }();
  ASSERT_EQ(lines.size(), 5u) << text;
  EXPECT_EQ(lines[0] + "\r\n", TrapLogHeader);
  EXPECT_NE(lines[1].find(launch + "cutoff,,,,,,,,,,"), std::string::npos) << lines[1];
  EXPECT_EQ(lines[1].back(), ',') << "no gear columns yet: " << lines[1];
  EXPECT_EQ(lines[2], std::string(TrapLogHeader).substr(0, std::string(TrapLogHeader).size() - 2) +
                          ",wind_over_deck_kt,runout_ft,gear_note");
  EXPECT_NE(lines[3].find(launch + "cutoff,,,,,,,,,,,25.0,340,\"3 g limit, stopped short\""),
            std::string::npos)
      << lines[3];
  EXPECT_NE(lines[4].find(launch + "early,,,,,,,,,,,,,"), std::string::npos) << lines[4];
  EXPECT_EQ(lines[4].size() - lines[4].find("early"), std::string("early,,,,,,,,,,,,,").size());
}

// A trap sheet that cannot be written costs only that sheet: a notice in the main window, the
// log stays on.
TEST(TrapSheet, AFolderThatCannotBeMadeGivesANotice) {
  harness::Harness h(harness::Options::flying());
  h.writeFile("TrapSheets", "a file where the folder should be");
  h.writeFile("pass.scn",
              "at 0 set hook 1\nat 0 approach 36.950185 -76.29960 60 90 3.5 1.2 0 0 136\n"
              "at 40 end\n");
  std::string error;
  ASSERT_TRUE(h.loadScenario(h.folder + "pass.scn", error)) << error;
  TFormMain& f = h.start();
  f.chkbxTrapLog.setChecked(true);
  h.runUntil([&] { return f.tmrDecel.enabled(); }, 60000);
  h.simulator->set("throttle", 0);
  h.runUntil([&] { return h.simulator->scenarioFinished(); }, 60000);
  h.runFor(2000);
  EXPECT_EQ(f.lblOtherStatus.text().rfind("Trap sheet not written: cannot write TrapSheets/", 0),
            0u)
      << f.lblOtherStatus.text();
  EXPECT_TRUE(f.chkbxTrapLog.checked());
  EXPECT_NE(h.readFile(TrapLogFileName).find(",trap,"), std::string::npos);
}
