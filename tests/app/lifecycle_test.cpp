#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "app/sim_names.h"
#include "app/unscramble.h"
#include "catapult/plain_form.h"
#include "harness/harness.h"
#include "simlink/sim_link.h"

namespace {

std::string okLine(const char* version) {
  return std::string(IsFS2004Edition ? "FS2004" : "FS2002") +
         " connection status : Okay,  FSUIPC Ver : " + version;
}

harness::Options serverWith(uint32_t version, uint16_t simIndex = IsFS2004Edition ? 7 : 6) {
  harness::Options o;
  o.server.fsuipcVersion = version;
  o.server.simIndex = simIndex;
  return o;
}

}  // namespace

TEST(Unscramble, GivesBackTheAcceptedSimulator) {
  EXPECT_EQ(Unscramble(edition::AcceptedSimScrambled), IsFS2004Edition ? "FS2004" : "FS2002");
  EXPECT_EQ(Unscramble(""), "");
  // The cycle restarts after six characters and wraps below code 0.
  EXPECT_EQ(Unscramble(std::string("\x03\x01\x04\x01\x05\x09\x04", 7)),
            std::string(6, '\0') + "\x01");
  EXPECT_EQ(Unscramble(std::string(300, 'z')).size(), 255u);
}

TEST(SimNames, TableOfThisEdition) {
  ASSERT_EQ(SimNames.size(), IsFS2004Edition ? 8u : 7u);
  EXPECT_STREQ(SimNames[0], "Any");
  EXPECT_STREQ(SimNames[6], "FS2002");
  EXPECT_STREQ(SimNames.back(), IsFS2004Edition ? "FS2004" : "FS2002");
}

TEST(VersionText, DigitsAndLetter) {
  EXPECT_EQ(VersionText(0x36300000), "3.630");
  EXPECT_EQ(VersionText(0x36300002), "3.630b");
  EXPECT_EQ(VersionText(0x28300001), "2.830a");
}

TEST(VersionCheck, RequiresServer283OrLater) {
  struct Case {
    uint32_t word;
    bool accepted;
  } cases[] = {{0x28200000, false}, {0x27990000, false}, {0x19980005, false}, {0x28300000, true},
               {0x29000000, true},  {0x30000000, true},  {0x36300000, true}};
  for (const Case& c : cases)
    EXPECT_EQ(VersionAtLeast283(c.word), c.accepted) << std::hex << c.word;
}

TEST(Connection, StatusLineShowsSimulatorAndVersion) {
  harness::Harness h(serverWith(0x36300002));
  TFormMain& form = h.start();
  EXPECT_EQ(form.lblConnectionInfo.text(), okLine("3.630b"));
  EXPECT_TRUE(h.link.SimLinkIsOpen());
}

TEST(Connection, OldServerIsRefusedAndTheLinkClosed) {
  for (uint32_t word : {0x28200000u, 0x27990000u}) {
    harness::Harness h(serverWith(word));
    TFormMain& form = h.start();
    EXPECT_EQ(form.lblConnectionInfo.text(),
              "Program only works with FSUIPC 2.83 or later -- Connection Aborted");
    EXPECT_FALSE(h.link.SimLinkIsOpen());
    EXPECT_FALSE(form.pgMain.enabled());
    EXPECT_FALSE(form.btnManualDisable.enabled());
    EXPECT_FALSE(form.frmToolbar.btnManualOverride.enabled());
  }
}

TEST(Connection, AnotherSimulatorIsRefused) {
  // FS2002 (index 6) for the FS2004 edition; FS98 (index 1) for the FS2002 edition.
  harness::Harness h(serverWith(0x36300000, IsFS2004Edition ? 6 : 1));
  TFormMain& form = h.start();
  EXPECT_EQ(form.lblConnectionInfo.text(), edition::WrongSimulatorMessage);
  EXPECT_FALSE(h.link.SimLinkIsOpen());
}

TEST(Connection, SimulatorIndexBeyondTheTableIsAnError) {
  harness::Harness h(serverWith(0x36300000, IsFS2004Edition ? 8 : 7));
  TFormMain& form = h.start();
  EXPECT_EQ(form.lblConnectionInfo.text(), std::string("Simulator index ") +
                                               (IsFS2004Edition ? "8" : "7") +
                                               " out of range -- Is FS running?");
  EXPECT_FALSE(form.pgMain.enabled());

  // The link stays open with no zones loaded: the first gate tick finds no carrier and stops
  // the program, without touching the missing zone list, and it stays stopped.
  h.runFor(40000);
  EXPECT_FALSE(form.pgMain.enabled());
  EXPECT_EQ(form.carrierData.CatchZones, nullptr);
  EXPECT_FALSE(h.link.SimLinkIsOpen());
  EXPECT_EQ(form.lblNearestCarrier.text(),
            "Error: unable to find nearest cables. Please send a bug report.");
}

TEST(Connection, NoServerThenAServerAppearing) {
  harness::Options o;
  o.serverPresent = false;
  harness::Harness h(o);
  TFormMain& form = h.start();
  EXPECT_EQ(form.lblConnectionInfo.text(),
            "FSUIPC/WideClient not currently available -- Is FS running?");
  EXPECT_FALSE(form.pgMain.enabled());

  h.runFor(5000);
  h.transport->setServer(platform::LoopbackTransport::Server::Fsuipc);
  const int64_t appeared = h.clock.nowMs();
  ASSERT_TRUE(h.runUntil([&] { return form.pgMain.enabled(); }, 30000));
  EXPECT_LE(h.clock.nowMs() - appeared, 16500);
  EXPECT_EQ(form.lblConnectionInfo.text(), okLine("3.630"));
}

TEST(Lifecycle, StartUpCompletesAndEnablesTheWindow) {
  harness::Harness h;
  TFormMain& form = h.start();
  EXPECT_TRUE(form.pgMain.enabled());
  EXPECT_TRUE(form.cmbDatFile.enabled());
  EXPECT_TRUE(form.btnManualDisable.enabled());
  EXPECT_TRUE(form.frmToolbar.btnManualOverride.enabled());
  EXPECT_FALSE(form.btnManualDisable.down());
  EXPECT_TRUE(form.tmrFindNearest.enabled());
  EXPECT_TRUE(form.tmrIsCatchCheckNeeded.enabled());
  EXPECT_EQ(form.FormMain.caption(), edition::MainCaption);
}

TEST(Lifecycle, TimersAtCreation) {
  catapult_test::PlainForm p;
  const TFormMain& f = *p.form;
  struct Row {
    const platform::Timer& timer;
    int intervalMs;
    bool enabled;
  };
  const Row rows[] = {
      {f.tmrIsCatchCheckNeeded, 1000, true},
      {f.tmrFindNearest, 15000, false},
      {f.tmrCheckForCatch, 50, false},
      {f.tmrDecel, 10, false},
      {f.tmrAccel, 5, false},
      {f.tmrKeystroke, 250, false},
      {f.tmrLaunchCheck, 7, false},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(r.timer.interval(), r.intervalMs) << r.timer.name();
    EXPECT_EQ(r.timer.enabled(), r.enabled) << r.timer.name();
  }
}

TEST(Lifecycle, StartUpRegistersTheHotKeysOnce) {
  harness::Harness h;
  h.start();
  int registrations = 0, releases = 0;
  for (const harness::SimWrite& w : h.writes)
    if (w.offset >= 0x3210 && w.offset < 0x32FA) ++(w.asInt() == 0 ? releases : registrations);
  EXPECT_EQ(registrations, 10);
  EXPECT_EQ(releases, 0);
}

TEST(Lifecycle, EachRunDrawsOtherDamageUnlessTheSeedIsFixed) {
  // Two runs started 3 ms apart on the wall clock; a process's monotonic clock reads the
  // same at both starts.
  auto draws = [](bool seedFixed, int64_t wallUs) {
    harness::Options o;
    o.seedFixed = seedFixed;
    harness::Harness h(o);
    h.clock.setWallClockUs(wallUs);
    h.start();
    std::vector<int> out;
    for (int i = 0; i < 8; ++i) out.push_back(h.random.next(100));
    return out;
  };
  const int64_t t = 1'796'644'800'000'000;
  EXPECT_NE(draws(false, t), draws(false, t + 3000));
  EXPECT_EQ(draws(true, t), draws(true, t + 3000));  // --seed: repeatable
}

TEST(Lifecycle, DataFileChangeBringsBothOverrideButtonsBack) {
  harness::Harness h;
  TFormMain& form = h.start();
  form.carrierData.cmbDatFileChange();
  EXPECT_TRUE(form.pgMain.enabled());
  EXPECT_TRUE(form.btnManualDisable.enabled());
  EXPECT_TRUE(form.frmToolbar.btnManualOverride.enabled());
}

TEST(Lifecycle, AStoppedProgramStaysStoppedUntilTheUserResets) {
  std::string sample;
  struct Case {
    const char* what;
    std::function<void(harness::Harness&)> cause, mend;
    platform::Label TFormMain::*label;
    const char* text;
  } cases[] = {
      {"only carrier 180 flat degrees away",
       [&sample](harness::Harness& h) {
         sample = h.readFile("Corvane.dat");
         h.writeFile("Corvane.dat", sample.substr(0, sample.find("[Zone02]")));
         catapult_test::PlainForm::placeAt(h, -89, 103.7);
       },
       [](harness::Harness& h) { catapult_test::PlainForm::placeAt(h, 36.95, -76.3); },
       &TFormMain::lblNearestCarrier,
       "Error: unable to find nearest cables. Please send a bug report."},
      {"no valid zone in the data file",
       [&sample](harness::Harness& h) {
         sample = h.readFile("Corvane.dat");
         h.writeFile("Corvane.dat", "[Zone01]\r\nCarrierIdent=BROKEN\r\n");
       },
       [&sample](harness::Harness& h) { h.writeFile("Corvane.dat", sample); },
       &TFormMain::lblConnectionInfo,
       "Selected .dat file contains no valid catch zones.  Program stopped."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    harness::Harness h;
    c.cause(h);
    TFormMain& form = h.start();
    EXPECT_EQ((form.*c.label).text(), c.text);
    const int batches = h.transport->batchCount();
    h.runFor(20000);
    EXPECT_EQ(h.transport->batchCount(), batches) << "no reset by itself";
    for (platform::Timer* t : form.timers()) EXPECT_FALSE(t->enabled()) << t->name();
    EXPECT_EQ((form.*c.label).text(), c.text);
    // The hot keys were given back before the link closed: a reset registers them anew, so
    // slots left held would fill the simulator's table halt after halt.
    sim::HotKeyTable& slots = h.simulator->hotKeys();
    for (uint32_t i = 0; i < slots.slotCount(); ++i) EXPECT_EQ(slots.slot(i), 0u) << "slot " << i;

    c.mend(h);
    form.btnReset.click();
    EXPECT_TRUE(form.pgMain.enabled()) << form.lblConnectionInfo.text();
    EXPECT_TRUE(form.tmrFindNearest.enabled());
  }
}

TEST(Lifecycle, ResetKeepsTheUsersOptionsAndRereadsTheSettings) {
  harness::Harness h;
  TFormMain& form = h.start();
  form.options.SetCableCatchAccelFactor(-800);
  form.options.SetCatapultCutoffKnots(150);
  form.actResetProgram.execute();
  EXPECT_EQ(form.options.CableCatchAccelFactor, -800);
  EXPECT_EQ(form.options.CatapultCutoffKnots, 150);
  EXPECT_TRUE(form.pgMain.enabled());
  EXPECT_NE(h.readFile("Corvane.INI").find("CableCatchAccelFactor=-800"), std::string::npos);
  EXPECT_TRUE(h.sawMessage("Corvane disabled while resetting"));
  EXPECT_EQ(form.Screen.cursor(), platform::Cursor::Default);
}

TEST(Lifecycle, ResetWithoutASimulatorDisablesBothOverrideButtons) {
  harness::Harness h;
  TFormMain& form = h.start();
  h.transport->setServer(platform::LoopbackTransport::Server::None);
  form.actResetProgram.execute();
  EXPECT_FALSE(form.pgMain.enabled());
  EXPECT_FALSE(form.btnManualDisable.enabled());
  EXPECT_FALSE(form.frmToolbar.btnManualOverride.enabled());
}

TEST(Lifecycle, CloseAfterStartUpSavesSettingsAndClosesTheLink) {
  harness::Harness h;
  TFormMain& form = h.start();
  form.options.SetCatapultHoldFactor(75);
  form.FormClose();
  EXPECT_FALSE(h.link.SimLinkIsOpen());
  EXPECT_NE(h.readFile("Corvane.INI").find("CatapultHoldFactor=75"), std::string::npos);
  EXPECT_TRUE(h.sawMessage("Corvane deactivated"));
  for (platform::Timer* t : form.timers()) EXPECT_FALSE(t->enabled()) << t->name();
}

TEST(Lifecycle, CloseAfterFailedStartUpLeavesTheSettingsFileAlone) {
  harness::Harness h(serverWith(0x28200000));
  h.writeFile("Corvane.INI", "; mine\r\n[General]\r\nLastLeft=5\r\n");
  TFormMain& form = h.start();
  form.FormClose();
  EXPECT_EQ(h.readFile("Corvane.INI"), "; mine\r\n[General]\r\nLastLeft=5\r\n");
}

TEST(ManualOverride, PausesAndResumesAFuelLoadWithItsMessages) {
  harness::Harness h;
  TFormMain& form = h.start();
  form.fuelTransfer.fuelLoading = true;
  form.btnManualDisable.click();
  EXPECT_TRUE(form.btnManualDisable.down());
  EXPECT_TRUE(form.frmToolbar.btnManualOverride.down());
  EXPECT_EQ(form.btnManualDisable.caption(), "Press to REENABLE program");
  EXPECT_TRUE(h.sawMessage("Corvane has been manually disabled - fuel load paused"));
  form.btnManualDisable.click();
  EXPECT_FALSE(form.frmToolbar.btnManualOverride.down());
  EXPECT_EQ(form.btnManualDisable.caption(), "Manual override -- disable program");
  EXPECT_TRUE(h.sawMessage("Corvane reenabled - fuel load resumed"));
  EXPECT_TRUE(form.fuelTransfer.fuelLoading);
}

TEST(ManualOverride, MessageFollowsWhatIsUnderWay) {
  struct Case {
    bool accel, loading, offloading;
    const char* off;
    const char* on;
  } cases[] = {
      {true, true, false, edition::ManualDisableCatapultMessage,
       "Corvane reenabled - fuel load resumed"},
      {false, false, true, "Corvane has been manually disabled - fuel OFFload paused",
       "Corvane reenabled - fuel OFFload resumed"},
      {false, false, false, "Corvane has been manually disabled", "Corvane reenabled"},
  };
  for (const Case& c : cases) {
    harness::Harness h;
    TFormMain& form = h.start();
    form.fuelTransfer.fuelLoading = c.loading;
    form.fuelTransfer.fuelOffloading = c.offloading;
    form.tmrAccel.setEnabled(c.accel);
    form.tmrLaunchCheck.setEnabled(c.accel);
    form.btnManualDisable.click();
    EXPECT_FALSE(form.tmrLaunchCheck.enabled() && c.accel);
    EXPECT_FALSE(form.tmrDecel.enabled());
    form.tmrAccel.setEnabled(false);
    form.btnManualDisable.click();
    EXPECT_EQ(h.messages.at(h.messages.size() - 2).text, c.off);
    EXPECT_EQ(h.messages.at(h.messages.size() - 2).seconds, 8);
    EXPECT_EQ(h.messages.back().text, c.on);
    EXPECT_EQ(h.messages.back().seconds, 5);
  }
}
