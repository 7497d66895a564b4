#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "arrest/form_fixture.h"
#include "arrest/geometry.h"
#include "logbook/log_rules.h"

namespace {

class Nearest : public FormFixture {};

TEST_F(Nearest, PicksNearestAnnouncesOnceAndLabels) {
  ASSERT_TRUE(opened);
  addZone("CV-63", 0.5, 0.5, 90);
  addZone("CVN-68", 0.01, 0.01, 187.5);
  set<int16_t>(0x02A0, static_cast<int16_t>(-12.34 / 360.0 * 65536.0));
  setPosition(0, 0);
  const double d = form->arrest.FindNearestCarrier();
  EXPECT_EQ(form->arrest.NearestZoneIndex, 1);
  EXPECT_NEAR(d, FlatDistance(0.011, 0.0101, 0, 0), 1e-9);
  EXPECT_EQ(form->arrest.NearestDistance, d);
  EXPECT_EQ(form->lblNearestCarrier.text(), "Nearest cables: CVN-68 (rwy hdg 187.5)");
  EXPECT_EQ(form->lblCurrentMagVar.text(), "Current Mag Var: -12.3 deg");
  const std::string prefix =
      IsFS2004Edition ? "Nearest cables: (rwy hdg " : "NEAREST CABLES: (rwy hdg ";
  EXPECT_EQ(messages(), (std::vector<std::string>{prefix + "187.5) \"CVN-68\""}));
  EXPECT_EQ(server.space().get<int16_t>(0x32FA), 5);
  // The same carrier again: no second announcement.
  form->arrest.FindNearestCarrier();
  EXPECT_EQ(messages().size(), 1u);
}

TEST_F(Nearest, TiesKeepTheEarlierZone) {
  addZone("CV-63", 0.2, 0.2, 90);
  addZone("CV-64", 0.2, 0.2, 45);
  setPosition(0, 0);
  form->arrest.FindNearestCarrier();
  EXPECT_EQ(form->arrest.NearestZoneIndex, 0);
}

TEST_F(Nearest, NoLatitudeScalingAndSameIdentIsNotAnnounced) {
  // At latitude 60 a zone 0.1 east counts as far as one 0.1 north.
  addZone("CV-63", 60.1 - 0.001, 0 - 0.0001, 90);
  addZone("CV-63", 60 - 0.001, 0.1 - 0.0001, 90);
  setPosition(60, 0);
  EXPECT_NEAR(form->arrest.FindNearestCarrier(), 0.1, 1e-6);
  EXPECT_EQ(messages().size(), 1u);
  // A zone of the same carrier nearer now: labels follow, no message.
  addZone("CV-63", 60, 0, 270);
  form->arrest.FindNearestCarrier();
  EXPECT_EQ(form->arrest.NearestZoneIndex, 2);
  EXPECT_EQ(messages().size(), 1u);
  EXPECT_EQ(form->lblNearestCarrier.text(), "Nearest cables: CV-63 (rwy hdg 270)");
}

TEST_F(Nearest, FailedReadKeepsEverything) {
  addZone("CV-63");
  setPosition(0, 0);
  form->arrest.FindNearestCarrier();
  const std::string label = form->lblNearestCarrier.text();
  link.SimLinkClose();
  EXPECT_EQ(form->arrest.FindNearestCarrier(), 180.0);
  EXPECT_EQ(form->arrest.NearestDistance, 180.0);
  EXPECT_EQ(form->arrest.NearestZoneIndex, 0);
  EXPECT_EQ(form->lblNearestCarrier.text(), label);
  EXPECT_FALSE(form->lblCurrentMagVar.text().empty());
}

TEST_F(Nearest, DateLineNeighbour) {
  addZone("FAR", 0, 179.9499, 0);  // front-right corner at 179.95 E
  setPosition(0.001, -179.95);
  EXPECT_NEAR(form->arrest.FindNearestCarrier(), 0.1, 1e-6);
}

TEST_F(Nearest, NoZoneWithin180KeepsTheLastIndex) {
  addZone("CV-63");
  setPosition(0, 0);
  form->arrest.FindNearestCarrier();
  setPosition(-89, -170);  // about 192 flat degrees away
  EXPECT_EQ(form->arrest.FindNearestCarrier(), 180.0);
  EXPECT_EQ(form->arrest.NearestZoneIndex, 0);
}

TEST_F(Nearest, TickBlinksRemindsEvery15sAndClearsTheCatchText) {
  addZone("CV-63");
  setPosition(0, 0);
  form->chkbxShowDisableReminders.setChecked(true);
  form->lblCableCatchStatus.setText("Cables were CAUGHT.");
  form->arrest.tmrFindNearestTimer();
  EXPECT_EQ(messages().at(0), "Corvane enabled");  // no nearest zone known before this search
  EXPECT_EQ(form->arrest.NearestZoneIndex, 0);
  EXPECT_EQ(form->lblFlightStatus.color(), platform::Color::White);
  EXPECT_EQ(form->lblCableCatchStatus.text(), "");
  EXPECT_TRUE(form->tmrFindNearest.enabled());
  EXPECT_TRUE(form->tmrIsCatchCheckNeeded.enabled());

  form->btnManualDisable.setDown(true);
  writes.clear();
  const int64_t first = clock.nowMs();
  loop.runUntil(first + 14999);
  EXPECT_TRUE(messages().empty());
  loop.runUntil(first + 15000);
  EXPECT_EQ(messages(), std::vector<std::string>{"Corvane has been manually disabled"});
  EXPECT_EQ(form->lblFlightStatus.color(), platform::Color::ButtonFace);
  form->chkbxShowDisableReminders.setChecked(false);
  loop.runUntil(first + 30000);
  EXPECT_EQ(messages().size(), 1u);
  EXPECT_EQ(form->lblFlightStatus.color(), platform::Color::White);
}

TEST_F(Nearest, NoZoneAtAllStopsTheProgramUntilReset) {
  setPosition(0, 0);  // and no zone loaded
  form->arrest.tmrFindNearestTimer();
  const std::string error = "Error: unable to find nearest cables. Please send a bug report.";
  EXPECT_EQ(form->lblNearestCarrier.text(), error);
  EXPECT_FALSE(link.SimLinkIsOpen());
  // Neither this tick, nor the hot-key poll, nor time brings a timer back.
  form->hotKeys.tmrKeystrokeTimer();
  loop.runUntil(clock.nowMs() + 60000);
  for (platform::Timer* t : form->timers()) EXPECT_FALSE(t->enabled()) << t->name();
  EXPECT_EQ(form->lblNearestCarrier.text(), error);
}

class Gate : public FormFixture {
 protected:
  Gate() {
    addZone("CV-63");
    form->actResetProgram.onExecute = [this] { ++resets; };
    set<int32_t>(0x0BE8, 16383);
    set<double>(0x3090, 200.0);
    setAltitude(300);
  }
  /// Puts the aircraft `distance` flat degrees south of the zone's front-right corner.
  void at(double distance) { setPosition(0.001 - distance, 0.0001); }
  int resets = 0;
};

TEST_F(Gate, ApproachActivatesOnceWithMessage) {
  form->chkbxShowCablesActiveMsg.setChecked(true);
  form->lblCableCatchStatus.setText("Cables were CAUGHT.");
  at(0.045);
  form->arrest
      .tmrIsCatchCheckNeededTimer();  // previous distance 0 after a reset: not approaching yet
  EXPECT_EQ(form->lblActivelyCheckingStatus.text(), "NOT NEEDED");
  EXPECT_EQ(form->lblFlightStatus.text(), "Flying");
  at(0.04);
  form->arrest.tmrIsCatchCheckNeededTimer();
  EXPECT_TRUE(form->tmrCheckForCatch.enabled());
  EXPECT_EQ(form->lblActivelyCheckingStatus.text(), "ACTIVE");
  EXPECT_EQ(form->lblCableCatchStatus.text(), "");
  at(0.03);
  form->arrest.tmrIsCatchCheckNeededTimer();
  std::vector<std::string> active;
  for (const auto& m : messages())
    if (m == "TRAPPING ACTIVE") active.push_back(m);
  EXPECT_EQ(active.size(), 1u);
  EXPECT_TRUE(form->tmrFindNearest.enabled());
  // Holding the distance switches checking off again.
  form->arrest.tmrIsCatchCheckNeededTimer();
  EXPECT_EQ(form->lblActivelyCheckingStatus.text(), "NOT NEEDED");
  EXPECT_FALSE(form->tmrCheckForCatch.enabled());
}

TEST_F(Gate, LandedAndGearUp) {
  at(0.04);
  set<int16_t>(0x0366, 1);
  set<double>(0x3090, 49.9);
  form->arrest.tmrIsCatchCheckNeededTimer();
  EXPECT_EQ(form->lblFlightStatus.text(), "LANDED");
  set<double>(0x3090, 50.0);
  form->arrest.tmrIsCatchCheckNeededTimer();
  EXPECT_EQ(form->lblFlightStatus.text(), "Flying");
  set<int32_t>(0x0BE8, 0);
  at(0.03);
  form->arrest.tmrIsCatchCheckNeededTimer();
  EXPECT_EQ(form->lblFlightStatus.text(), "Flying");
  EXPECT_FALSE(form->tmrCheckForCatch.enabled());
}

TEST_F(Gate, ManuallyDisabledKeepsCheckingOffWithoutSearch) {
  form->tmrCheckForCatch.setEnabled(true);
  form->btnManualDisable.setDown(true);
  const int batches = transport.batchCount();
  form->arrest.tmrIsCatchCheckNeededTimer();
  EXPECT_FALSE(form->tmrCheckForCatch.enabled());
  EXPECT_EQ(form->lblActivelyCheckingStatus.text(), "NOT NEEDED");
  EXPECT_EQ(transport.batchCount(), batches);
}

TEST_F(Gate, TailhookAtHalfSkipsSearchAndStatus) {
  if constexpr (!edition::HasTailhookOption) GTEST_SKIP();
  form->chkbxDetectTailhook.setChecked(true);
  set<double>(0x3BA0, 0.5);
  form->lblFlightStatus.setText("LANDED");
  form->tmrCheckForCatch.setEnabled(true);
  form->arrest.NearestDistance = 7;
  at(0.04);
  form->arrest.tmrIsCatchCheckNeededTimer();
  EXPECT_EQ(form->arrest.NearestDistance, 7);
  EXPECT_EQ(form->lblFlightStatus.text(), "LANDED");
  EXPECT_TRUE(form->tmrCheckForCatch.enabled());
  EXPECT_EQ(form->lblActivelyCheckingStatus.text(), "ACTIVE");
  set<double>(0x3BA0, 1.0);
  form->arrest.tmrIsCatchCheckNeededTimer();
  EXPECT_EQ(form->lblFlightStatus.text(), "Flying");
}

TEST_F(Gate, CrashEndsArrestAndLaunchAsTheirOwnEndsDo) {
  form->chkbxSpecialSoundHandling.setChecked(true);
  form->tmrDecel.setEnabled(true);
  form->tmrAccel.setEnabled(true);
  form->tmrLaunchCheck.setEnabled(true);
  form->tmrKeystroke.setEnabled(false);
  form->cues.catapultSoundPlayed = true;
  form->lblCableCatchStatus.setText("Cables were CAUGHT.");
  set<uint16_t>(0x0B20, 0);
  set<int16_t>(0x0840, 1);
  form->arrest.tmrIsCatchCheckNeededTimer();
  EXPECT_EQ(form->lblFlightStatus.text(), "CRASHED");
  for (platform::Timer* t :
       {&form->tmrDecel, &form->tmrAccel, &form->tmrLaunchCheck, &form->tmrCheckForCatch})
    EXPECT_FALSE(t->enabled()) << t->name();
  EXPECT_FALSE(form->cues.catapultSoundPlayed);
  EXPECT_EQ(form->lblCableCatchStatus.text(), "");
  // What the normal ends restore: hot keys, the simulator's sound, the smoke off.
  EXPECT_TRUE(form->tmrKeystroke.enabled());
  EXPECT_EQ(server.space().get<uint16_t>(0x0B20), 1);
  EXPECT_EQ(writesTo(0x05D8).size(), 2u);
  EXPECT_EQ(form->arrest.LastArrestEnd, clock.nowMs());
}

TEST_F(Gate, FailedExchangeWithCodeRunsReset) {
  form->lblFlightStatus.setText("Flying");
  link.SimLinkClose();
  form->arrest.tmrIsCatchCheckNeededTimer();
  EXPECT_EQ(resets, 1);
  EXPECT_EQ(form->lblFlightStatus.text(), "Flying");
  EXPECT_TRUE(form->tmrFindNearest.enabled());
}

TEST_F(Gate, LostLinkLogsTheArrestAndTheStrokeUnderWayAsLinkBeforeTheReset) {
  form->chkbxTrapLog.setChecked(true);
  form->trapLog.trapLogArrest.motion.begin(clock.nowMs(), 200);
  form->trapLog.trapLogLaunch.motion.begin(clock.nowMs(), 100);
  link.SimLinkClose();
  form->arrest.tmrIsCatchCheckNeededTimer();
  EXPECT_EQ(resets, 1);
  std::ifstream in(folder / TrapLogFileName, std::ios::binary);
  const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(log.find(",trap,"), std::string::npos) << log;
  EXPECT_NE(log.find(",launch,"), std::string::npos) << log;
  size_t links = 0;
  for (size_t at = log.find(",link,"); at != std::string::npos;
       at = log.find(",link,", at + 1))
    ++links;
  EXPECT_EQ(links, 2u) << log;
}

class Catch : public FormFixture {
 protected:
  Catch() {
    addZone("CV-63", 0, 0, 90);
    setPosition(0, 0);
    setAltitude(25);
    setHeadingTrue(90);
    set<double>(0x3090, 120.0);
    form->arrest.NearestZoneIndex = 0;
    form->tmrKeystroke.setEnabled(true);
    form->tmrFindNearest.setEnabled(true);
  }
  /// Runs decel ticks until the arrest ends or limit ticks; returns the ticks run.
  int decelerate(int limit) {
    int n = 0;
    while (form->tmrDecel.enabled() && n < limit) {
      form->arrest.tmrDecelTimer();
      ++n;
    }
    return n;
  }
};

TEST_F(Catch, TrapDeceleratesAndEnds) {
  form->chkbxSpecialSoundHandling.setChecked(true);
  std::ofstream(folder / "CableCatch.wav") << "RIFF";
  form->cues.CheckSoundFiles();
  form->tmrLaunchCheck.setEnabled(true);
  form->tmrAccel.setEnabled(true);
  form->arrest.tmrCheckForCatchTimer();
  EXPECT_TRUE(form->tmrDecel.enabled());
  EXPECT_EQ(writesTo(0x3070).size(), 1u) << "the first deceleration goes out with the catch";
  EXPECT_FALSE(form->tmrLaunchCheck.enabled()) << "a trap ends any launch";
  EXPECT_FALSE(form->tmrAccel.enabled());
  // The simulator's sound is switched off before the catch sound starts.
  ASSERT_EQ(playsAtWrite.size(), 1u);
  const auto soundSwitch = std::find_if(writes.begin(), writes.end(),
                                        [](const ClientWrite& w) { return w.offset == 0x0B20; });
  ASSERT_NE(soundSwitch, writes.end());
  EXPECT_LT(static_cast<size_t>(soundSwitch - writes.begin()), playsAtWrite[0]);
  EXPECT_TRUE(form->tmrCheckForCatch.enabled());
  EXPECT_FALSE(form->tmrKeystroke.enabled());
  EXPECT_FALSE(form->tmrFindNearest.enabled());
  EXPECT_EQ(form->lblCableCatchStatus.text(), "Cables were CAUGHT.");
  EXPECT_EQ(server.space().get<uint16_t>(0x0B20), 0);
  // A catch tick while arresting does nothing.
  form->arrest.tmrCheckForCatchTimer();
  form->arrest.tmrDecelTimer();
  form->arrest.tmrDecelTimer();
  auto accel = writesTo(0x3070);
  ASSERT_EQ(accel.size(), 3u);
  double written = 0;
  std::memcpy(&written, accel[0].data.data(), 8);
  EXPECT_EQ(written, -700.0);
  set<double>(0x3090, 0.001);
  form->arrest.tmrDecelTimer();
  EXPECT_EQ(writesTo(0x3070).size(), 4u);
  set<double>(0x3090, 0.0);
  form->arrest.tmrDecelTimer();
  EXPECT_FALSE(form->tmrDecel.enabled());
  EXPECT_TRUE(form->tmrKeystroke.enabled());
  EXPECT_TRUE(form->tmrFindNearest.enabled());
  EXPECT_EQ(form->arrest.LastArrestEnd, clock.nowMs());
  EXPECT_EQ(server.space().get<uint16_t>(0x0B20), 1);
  EXPECT_EQ(writesTo(0x3070).size(), 4u);
}

TEST_F(Catch, LockoutAfterAnArrestAndAfterACatapultStroke) {
  struct Step {
    int64_t afterMs;
    bool caught;
  };
  for (const bool stroke : {false, true}) {
    form->tmrDecel.setEnabled(false);
    if (stroke) {
      form->tmrAccel.setEnabled(true);
      form->catapult.EndLaunch(false);
    } else {
      form->arrest.tmrCheckForCatchTimer();
      set<double>(0x3090, 0.0);
      decelerate(5);
      ASSERT_FALSE(form->tmrDecel.enabled());
      set<double>(0x3090, 120.0);
    }
    const int64_t end = clock.nowMs();
    ASSERT_EQ(stroke ? form->catapult.LastLaunchEnd : form->arrest.LastArrestEnd, end);
    for (const Step s : {Step{20000, false}, Step{30000, false}, Step{30001, true}}) {
      clock.advanceTo(end + s.afterMs);
      form->arrest.tmrCheckForCatchTimer();
      EXPECT_EQ(form->tmrDecel.enabled(), s.caught)
          << (stroke ? "stroke " : "arrest ") << s.afterMs;
    }
  }
}

TEST_F(Catch, FailedSpeedReadEndsArrest) {
  form->arrest.tmrCheckForCatchTimer();
  ASSERT_TRUE(form->tmrDecel.enabled());
  link.SimLinkClose();
  form->arrest.tmrDecelTimer();
  EXPECT_FALSE(form->tmrDecel.enabled());
  EXPECT_NE(form->arrest.LastArrestEnd, 0);
}

TEST_F(Catch, NoCatchOutsideTheTests) {
  struct Case {
    const char* what;
    void (*setup)(Catch&);
  };
  const Case cases[] = {
      {"too high", [](Catch& f) { f.setAltitude(30.01); }},
      {"banked", [](Catch& f) { f.setBank(-10.01); }},
      {"heading off by 35", [](Catch& f) { f.setHeadingTrue(125); }},
      {"beside the circle", [](Catch& f) { f.setPosition(0, 0.0011); }},
      {"no nearest zone", [](Catch& f) { f.form->arrest.NearestZoneIndex = -1; }},
      {"link closed", [](Catch& f) { f.link.SimLinkClose(); }},
  };
  for (const auto& c : cases) {
    c.setup(*this);
    form->arrest.tmrCheckForCatchTimer();
    EXPECT_FALSE(form->tmrDecel.enabled()) << c.what;
    EXPECT_TRUE(form->tmrCheckForCatch.enabled()) << c.what;
    // Back to a catchable state for the next case.
    form->tmrDecel.setEnabled(false);
    setPosition(0, 0);
    setAltitude(25);
    setBank(0);
    setHeadingTrue(90);
    form->arrest.NearestZoneIndex = 0;
  }
}

TEST_F(Catch, TailhookOption) {
  if constexpr (!edition::HasTailhookOption) GTEST_SKIP();
  form->chkbxDetectTailhook.setChecked(true);
  set<double>(0x3BA0, 0.5);
  form->arrest.tmrCheckForCatchTimer();
  EXPECT_FALSE(form->tmrDecel.enabled());
  set<double>(0x3BA0, 1.0);
  form->arrest.tmrCheckForCatchTimer();
  EXPECT_TRUE(form->tmrDecel.enabled());
}

TEST_F(Catch, OnTheGroundNoAltitudeTest) {
  set<int16_t>(0x0366, 1);
  setAltitude(500);
  setBank(9.9);
  setHeadingTrue(119.9);
  form->arrest.tmrCheckForCatchTimer();
  EXPECT_TRUE(form->tmrDecel.enabled());
}

}  // namespace
