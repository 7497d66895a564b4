#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "harness/harness.h"
#include "logbook/log_rules.h"
#include "sim/hot_keys.h"
#include "simlink/sim_link.h"

namespace {

// Zone01 of the sample data file: front-right corner (36.95012, -76.29900), deck 60 ft with a
// 4.5 ft window, landing heading 90; the catch area is centred on (36.950185, -76.29960).
constexpr double kFrontRightLat = 36.95012, kFrontRightLon = -76.29900;
constexpr double kCentreLat = 36.950185, kCentreLon = -76.29960;
constexpr double kDeckM = 60 / 3.2808;

/// The program against the in-process server with the aircraft state poked in directly.
class Trap : public ::testing::Test {
 protected:
  Trap() = default;

  TFormMain& start() {
    approach(0.045);
    TFormMain& f = h.start();
    EXPECT_TRUE(h.link.SimLinkIsOpen()) << f.lblConnectionInfo.text();
    return f;
  }
  void fixed(uint32_t offset, double value) {
    const double high = std::floor(value);
    h.poke<uint32_t>(offset, static_cast<uint32_t>((value - high) * 4294967296.0));
    h.poke<int32_t>(offset + 4, static_cast<int32_t>(high));
  }
  void position(double lat, double lon) {
    fixed(0x0560, lat / (90.0 / 10001750.0));
    fixed(0x0568, lon / (360.0 / 4294967296.0));
  }
  /// Airborne on the approach `distance` flat degrees west of the front-right corner.
  void approach(double distance) {
    position(kFrontRightLat, kFrontRightLon - distance);
    fixed(0x0570, 100);
    h.poke<int16_t>(0x0366, 0);
    h.poke<int32_t>(0x0BE8, 16383);
    h.poke<double>(0x3090, 220.0);
    h.poke<uint32_t>(0x0580, 0x40000000u);  // 90 degrees true
    h.poke<double>(0x3BA0, 1.0);
  }
  /// On the deck in the middle of the catch area, rolling at speed.
  void touchDown() {
    position(kCentreLat, kCentreLon);
    fixed(0x0570, kDeckM);
    h.poke<int16_t>(0x0366, 1);
  }
  /// Flies an approach tick by tick (one gate tick each) down to 0.01 degree.
  void flyApproach() {
    for (double d : {0.045, 0.04, 0.03, 0.02, 0.01}) {
      approach(d);
      h.runFor(1000);
    }
  }
  bool arresting() { return h.form().tmrDecel.enabled(); }
  /// A slow arrest: a gentle pull every 200 ms, with the simulator's sound and the log in use.
  TFormMain& startSlowArrest() {
    TFormMain& f = start();
    f.chkbxSpecialSoundHandling.setChecked(true);
    f.chkbxTrapLog.setChecked(true);
    f.options.SetCableCatchAccelFactor(-100);
    f.options.SetTimingResolution(20);
    flyApproach();
    touchDown();
    EXPECT_TRUE(h.runUntil([&] { return arresting(); }, 200));
    h.runFor(1000);
    EXPECT_TRUE(arresting());
    EXPECT_EQ(h.peek<uint16_t>(0x0B20), 0);
    return f;
  }
  /// The trap lines of the log, without the header.
  std::string logLines() const {
    const std::string log = h.readFile(TrapLogFileName);
    return log.size() < std::string(TrapLogHeader).size()
               ? log
               : log.substr(std::string(TrapLogHeader).size());
  }
  bool sawGrade() const {
    for (const std::string& m : h.messageTexts())
      if (m.rfind("Trap:", 0) == 0) return true;
    return false;
  }
  std::vector<double> accelWrites() const {
    std::vector<double> out;
    for (const auto& w : h.writesTo(0x3070)) out.push_back(w.asDouble());
    return out;
  }

  harness::Harness h;
};

TEST_F(Trap, ApproachCatchDecelerateStop) {
  h.writeFile("CableCatch.wav", "RIFF");
  TFormMain& f = start();
  f.chkbxShowCablesActiveMsg.setChecked(true);
  f.chkbxSpecialSoundHandling.setChecked(true);
  flyApproach();
  EXPECT_EQ(f.lblActivelyCheckingStatus.text(), "ACTIVE");
  EXPECT_EQ(f.lblFlightStatus.text(), "Flying");
  touchDown();
  ASSERT_TRUE(h.runUntil([&] { return arresting(); }, 200));
  EXPECT_EQ(f.lblCableCatchStatus.text(), "Cables were CAUGHT.");
  EXPECT_EQ(h.peek<uint16_t>(0x0B20), 0);
  h.runFor(100);
  const auto accel = accelWrites();
  ASSERT_GE(accel.size(), 9u);
  for (double a : accel) EXPECT_EQ(a, -700.0);
  EXPECT_FALSE(f.tmrKeystroke.enabled());
  h.poke<double>(0x3090, 0.0);
  ASSERT_TRUE(h.runUntil([&] { return !arresting(); }, 50));
  const size_t writes = accelWrites().size();
  h.runFor(1000);
  EXPECT_EQ(accelWrites().size(), writes) << "no deceleration after the stop";
  EXPECT_EQ(h.peek<uint16_t>(0x0B20), 1);
  EXPECT_TRUE(f.tmrKeystroke.enabled());
  EXPECT_EQ(f.lblFlightStatus.text(), "LANDED");

  const std::string announce =
      std::string(IsFS2004Edition ? "Nearest cables: (rwy hdg " : "NEAREST CABLES: (rwy hdg ") +
      "90) \"CVN-99 Corvane (sample)\"";
  EXPECT_EQ(h.messageTexts(),
            (std::vector<std::string>{"Corvane enabled", announce, "TRAPPING ACTIVE"}));
  EXPECT_EQ(h.messages[2].seconds, 3);
  bool catchPlayed = false;
  for (const auto& e : h.sounds) catchPlayed |= e.player == "mplyrCatchSound" && e.what == "play";
  EXPECT_TRUE(catchPlayed);
  EXPECT_EQ(f.lblOtherStatus.text(), "Cable catch sound played");
}

TEST_F(Trap, SecondTouchdownLockedOutFor30Seconds) {
  TFormMain& f = start();
  flyApproach();
  touchDown();
  ASSERT_TRUE(h.runUntil([&] { return arresting(); }, 200));
  h.poke<double>(0x3090, 0.0);
  ASSERT_TRUE(h.runUntil([&] { return !arresting(); }, 50));
  const int64_t stop = f.arrest.LastArrestEnd;
  ASSERT_EQ(stop, h.clock.nowMs());

  // Around again: a fresh approach, touching down 20 s after the stop.
  h.runUntil([&] { return h.clock.nowMs() >= stop + 14000; }, 20000);
  flyApproach();  // 5 s of gate ticks, ends at about 19 s
  touchDown();
  h.poke<double>(0x3090, 200.0);
  h.runUntil([&] { return h.clock.nowMs() >= stop + 20500; }, 2000);
  EXPECT_FALSE(arresting()) << "locked out 20 s after the stop";

  const size_t before = accelWrites().size();
  h.runUntil([&] { return h.clock.nowMs() >= stop + 25000; }, 6000);
  flyApproach();
  touchDown();
  h.runUntil([&] { return h.clock.nowMs() >= stop + 31000 || arresting(); }, 2000);
  EXPECT_TRUE(arresting()) << "caught again after the lock-out";
  EXPECT_GE(h.clock.nowMs(), stop + 30000);
  h.runFor(50);
  EXPECT_GT(accelWrites().size(), before);
}

TEST_F(Trap, TailhookOptionNeedsTheHookOut) {
  if constexpr (!edition::HasTailhookOption) GTEST_SKIP() << "no tailhook option in this edition";
  TFormMain& f = start();
  f.chkbxDetectTailhook.setChecked(true);
  flyApproach();
  ASSERT_EQ(f.lblActivelyCheckingStatus.text(), "ACTIVE");
  h.poke<double>(0x3BA0, 0.5);
  touchDown();
  h.runFor(1500);
  EXPECT_FALSE(arresting());
  EXPECT_EQ(f.lblFlightStatus.text(), "Flying") << "the gate stops before updating the status";
  h.poke<double>(0x3BA0, 0.51);
  h.runFor(100);
  EXPECT_TRUE(arresting());
}

TEST_F(Trap, CrashDuringArrestStopsDecelerationAndRestoresSoundAndKeys) {
  TFormMain& f = start();
  f.chkbxSpecialSoundHandling.setChecked(true);
  flyApproach();
  touchDown();
  ASSERT_TRUE(h.runUntil([&] { return arresting(); }, 200));
  h.poke<int16_t>(0x0840, 1);
  ASSERT_TRUE(h.runUntil([&] { return !arresting(); }, 1100));
  EXPECT_EQ(f.lblFlightStatus.text(), "CRASHED");
  const size_t writes = accelWrites().size();
  h.runFor(500);
  EXPECT_EQ(accelWrites().size(), writes);
  EXPECT_FALSE(f.tmrCheckForCatch.enabled());
  EXPECT_EQ(h.peek<uint16_t>(0x0B20), 1) << "the simulator's sound back";
  EXPECT_TRUE(f.tmrKeystroke.enabled()) << "the hot keys alive";
}

TEST_F(Trap, OverrideDuringASlowArrestEndsItAsItsStopWould) {
  TFormMain& f = startSlowArrest();
  for (double a : accelWrites()) EXPECT_EQ(a, -100.0);
  f.btnManualDisable.click();
  const int64_t overridden = h.clock.nowMs();
  EXPECT_FALSE(arresting());
  EXPECT_EQ(h.peek<uint16_t>(0x0B20), 1) << "the simulator's sound back";
  EXPECT_EQ(f.arrest.LastArrestEnd, overridden) << "the lock-out starts";
  EXPECT_EQ(h.messageTexts().back(), "Corvane has been manually disabled");
  h.runFor(2000);
  f.btnManualDisable.click();
  EXPECT_EQ(h.messageTexts().back(), "Corvane reenabled");

  // Still rolling through the catch area at speed, but locked out: no second catch.
  const size_t writes = accelWrites().size();
  h.runFor(5000);
  EXPECT_FALSE(arresting());
  EXPECT_EQ(accelWrites().size(), writes);
  // The hot keys answer again: the override's own key disables the program.
  ASSERT_GT(h.simulator->hotKeys().press(*sim::parseHotKey("SHIFT+F12")), 0);
  h.runFor(300);
  EXPECT_TRUE(f.btnManualDisable.down());

  const std::string lines = logLines();
  EXPECT_NE(lines.find(",trap,"), std::string::npos) << lines;
  EXPECT_NE(lines.find(",override,"), std::string::npos) << lines;
  EXPECT_EQ(lines.find('\n'), lines.size() - 1) << "one line";
  EXPECT_FALSE(sawGrade());
}

TEST_F(Trap, ArrestCutShortByALostLinkIsLoggedAsLinkWithoutAGrade) {
  TFormMain& f = startSlowArrest();
  // The next deceleration tick's exchange fails in all its attempts; the ones after it go
  // through again.
  f.tmrDecel.onTimer = [&] {
    h.transport->failSends(10, 1400);
    f.arrest.tmrDecelTimer();
  };
  ASSERT_TRUE(h.runUntil([&] { return !arresting(); }, 1000));
  // The server that let the exchange time out is looked for again at the next connection.
  ASSERT_TRUE(h.runUntil([&] { return !h.link.SimLinkIsOpen(); }, 1000));
  ASSERT_TRUE(h.runUntil([&] { return h.link.SimLinkIsOpen(); }, 30000));
  h.runFor(1000);
  EXPECT_EQ(h.peek<uint16_t>(0x0B20), 1) << "the simulator's sound back";
  EXPECT_TRUE(f.tmrKeystroke.enabled());
  const std::string lines = logLines();
  EXPECT_NE(lines.find(",trap,"), std::string::npos) << lines;
  EXPECT_NE(lines.find(",link,"), std::string::npos) << lines;
  EXPECT_FALSE(sawGrade()) << testing::PrintToString(h.messageTexts());
}

TEST_F(Trap, LostServerDuringApproachResetsAndReconnects) {
  TFormMain& f = start();
  flyApproach();
  ASSERT_TRUE(f.tmrCheckForCatch.enabled());
  // The simulator goes away: every send fails and no server window is found any more.
  h.transport->setServer(platform::LoopbackTransport::Server::None);
  h.transport->failSends(1000000, 1400);
  h.runFor(1000);
  EXPECT_FALSE(h.link.SimLinkIsOpen());
  EXPECT_FALSE(f.pgMain.enabled());
  EXPECT_NE(f.lblConnectionInfo.text().find(" -- Is FS running?"), std::string::npos)
      << f.lblConnectionInfo.text();
  EXPECT_FALSE(f.tmrCheckForCatch.enabled());

  h.transport->failSends(0, 0);
  h.transport->setServer(platform::LoopbackTransport::Server::Fsuipc);
  ASSERT_TRUE(h.runUntil([&] { return h.link.SimLinkIsOpen(); }, 20000));
  EXPECT_TRUE(f.pgMain.enabled());
  // Back in business: the next approach is caught.
  h.runFor(1000);
  flyApproach();
  touchDown();
  EXPECT_TRUE(h.runUntil([&] { return arresting(); }, 200));
}

TEST_F(Trap, FailedNearestSearchKeepsLabels) {
  TFormMain& f = start();
  approach(0.04);
  h.runFor(1000);
  const std::string nearest = f.lblNearestCarrier.text();
  const std::string magVar = f.lblCurrentMagVar.text();
  ASSERT_FALSE(nearest.empty());
  h.transport->failSends(10, 0);
  EXPECT_EQ(f.arrest.FindNearestCarrier(), 180.0);
  EXPECT_EQ(f.arrest.NearestDistance, 180.0);
  EXPECT_EQ(f.arrest.NearestZoneIndex, 0);
  EXPECT_EQ(f.lblNearestCarrier.text(), nearest);
  EXPECT_EQ(f.lblCurrentMagVar.text(), magVar);
}

}  // namespace
