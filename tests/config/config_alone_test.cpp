// The options and the carrier data built alone, each with its view of a few stand-in controls:
// no window, no server.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "config/carrier_data.h"
#include "config/options.h"
#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/os.h"

namespace {

/// The controls, timers and folder both views refer to, and the two classes built on them.
struct Alone {
  Alone() {
    static int counter = 0;
    dir = std::filesystem::temp_directory_path() /
          ("corvane_alone_" + std::to_string(platform::currentProcessId()) + "_" +
           std::to_string(counter++));
    std::filesystem::create_directories(dir);
    folder = dir.string() + "/";
    rdgrpCtrlKeys.addItem("SHIFT+<key>");
    rdgrpCtrlKeys.addItem("SHIFT+CTRL+<key>");
    rdgrpFuelTransferRate.addItem("drogue");
    rdgrpFuelTransferRate.addItem("boom");
    FormMain.setVisible(false);
    options.WireControls();
  }
  ~Alone() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  void writeFile(const std::string& name, const std::string& text) const {
    std::ofstream(folder + name, std::ios::binary) << text;
  }
  std::vector<platform::Timer*> timers() {
    return {&tmrIsCatchCheckNeeded, &tmrFindNearest, &tmrCheckForCatch, &tmrDecel, &tmrAccel,
            &tmrKeystroke,          &tmrLaunchCheck};
  }

  std::filesystem::path dir;
  std::string folder;
  platform::VirtualClock clock{1'000'000};
  platform::EventLoop loop{clock};
  platform::Timer tmrIsCatchCheckNeeded{loop, "tmrIsCatchCheckNeeded", 1000, true};
  platform::Timer tmrFindNearest{loop, "tmrFindNearest", 15000, false};
  platform::Timer tmrCheckForCatch{loop, "tmrCheckForCatch", 50, false};
  platform::Timer tmrDecel{loop, "tmrDecel", 10, false};
  platform::Timer tmrAccel{loop, "tmrAccel", 5, false};
  platform::Timer tmrKeystroke{loop, "tmrKeystroke", 250, false};
  platform::Timer tmrLaunchCheck{loop, "tmrLaunchCheck", 7, false};
  TActivity activity{{tmrCheckForCatch, tmrDecel, tmrAccel, tmrLaunchCheck}};
  platform::ComboBox cmbDatFile{"cmbDatFile"};
  platform::FileListBox lstboxDatFiles{"lstboxDatFiles"};
  platform::Label lblNumOfCarriersLoaded{"lblNumOfCarriersLoaded"};
  platform::Label lblConnectionInfo{"lblConnectionInfo"};
  platform::Screen Screen;
  platform::CheckBox chkbxShowDisableReminders{"c1"}, chkbxSpecialSoundHandling{"c2"},
      chkbxDetectTailhook{"c3"}, chkbxCatSmoke{"c4"}, chkbxDamageSounds{"c5"},
      chkbxShowCablesActiveMsg{"c6"}, chkbxTrapLog{"c7"}, chkbxLsoCalls{"c8"},
      chkbxRealisticGear{"c9"};
  platform::RadioGroup rdgrpCtrlKeys{"rdgrpCtrlKeys"}, rdgrpFuelTransferRate{"rdgrpRate"};
  platform::Window FormMain{"FormMain"}, frmToolbar{"frmToolbar"};
  std::vector<std::string> calls;
  /// No server: a failed load closes a link that was never open.
  simlink::Link link;
  TCarrierData carrierData{{link, cmbDatFile, lstboxDatFiles, lblNumOfCarriersLoaded,
                            lblConnectionInfo, Screen, activity, tmrIsCatchCheckNeeded,
                            tmrFindNearest, tmrKeystroke, clock, folder,
                            [this] { calls.push_back("ReleaseHotKeys"); },
                            [this](bool) { calls.push_back("ResetState"); },
                            [this] { calls.push_back("EnableLoadedControls"); },
                            [this] { calls.push_back("tmrFindNearestTimer"); }}};
  TOptions options{{chkbxShowDisableReminders,
                    chkbxSpecialSoundHandling,
                    chkbxDetectTailhook,
                    chkbxCatSmoke,
                    chkbxDamageSounds,
                    chkbxShowCablesActiveMsg,
                    chkbxTrapLog,
                    chkbxLsoCalls,
                    chkbxRealisticGear,
                    rdgrpCtrlKeys,
                    rdgrpFuelTransferRate,
                    FormMain,
                    frmToolbar,
                    tmrDecel,
                    tmrAccel,
                    cmbDatFile,
                    lblConnectionInfo,
                    carrierData,
                    folder,
                    [this](const std::string& t) { calls.push_back("error: " + t); },
                    [this] { calls.push_back("rdgrpCtrlKeysClick"); },
                    true}};
};

}  // namespace

TEST(OptionRows, EveryRowIsReadAndWrittenOnceAndSurvivesTheFile) {
  Alone a;
  std::set<int> load, save;
  for (const TOptionRow& r : a.options.rows()) {
    EXPECT_TRUE(load.insert(r.loadStep).second) << r.key << " shares its load step";
    EXPECT_TRUE(save.insert(r.saveStep).second) << r.key << " shares its save step";
    EXPECT_GT(r.loadStep, 0) << r.key;
    EXPECT_GT(r.saveStep, 0) << r.key;
    if (r.updown) {
      EXPECT_TRUE(InUpDownRange(*r.updown, r.defaultValue)) << r.key;
    }
  }
  // Every row away from its default, then written and read back by a second set of options.
  a.writeFile("Corvane.dat", "");
  a.cmbDatFile.addItem("Corvane.dat");
  a.cmbDatFile.setItemIndex(0);
  a.cmbDatFile.setEnabled(true);
  a.options.SetCableCatchAccelFactor(-900);
  a.options.SetCatapultAccelFactor(1100);
  a.options.SetCatapultCutoffKnots(150);
  a.options.SetCatapultHoldFactor(75);
  a.options.SetTimingResolution(3);
  a.chkbxShowDisableReminders.setChecked(false);  // on by default; the others off
  for (platform::CheckBox* c : {&a.chkbxSpecialSoundHandling, &a.chkbxDetectTailhook,
                                &a.chkbxCatSmoke, &a.chkbxDamageSounds, &a.chkbxShowCablesActiveMsg,
                                &a.chkbxTrapLog, &a.chkbxLsoCalls, &a.chkbxRealisticGear})
    c->setChecked(true);
  a.rdgrpCtrlKeys.setItemIndex(1);
  a.rdgrpFuelTransferRate.setItemIndex(1);
  a.options.SaveSettings();

  Alone b;
  b.folder = a.folder;  // the view refers to the folder, so this reads a's file
  b.cmbDatFile.addItem("Corvane.dat");
  ASSERT_TRUE(b.options.LoadSettings());
  EXPECT_DOUBLE_EQ(b.options.CableCatchAccelFactor, -900);
  EXPECT_DOUBLE_EQ(b.options.CatapultAccelFactor, 1100);
  EXPECT_EQ(b.options.CatapultCutoffKnots, 150);
  EXPECT_EQ(b.options.CatapultHoldFactor, -75);
  EXPECT_EQ(b.options.TimingResolutionFactor, 3);
  EXPECT_EQ(b.tmrDecel.interval(), 30);
  EXPECT_EQ(b.tmrAccel.interval(), 15);
  b.chkbxShowDisableReminders.setChecked(true);
  ASSERT_TRUE(b.options.LoadSettings());
  EXPECT_FALSE(b.chkbxShowDisableReminders.checked());
  for (platform::CheckBox* c : {&b.chkbxSpecialSoundHandling, &b.chkbxDetectTailhook,
                                &b.chkbxCatSmoke, &b.chkbxDamageSounds, &b.chkbxShowCablesActiveMsg,
                                &b.chkbxTrapLog, &b.chkbxLsoCalls, &b.chkbxRealisticGear})
    EXPECT_TRUE(c->checked()) << c->name();
  EXPECT_EQ(b.rdgrpCtrlKeys.itemIndex(), 1);
  EXPECT_EQ(b.rdgrpFuelTransferRate.itemIndex(), 1);
  // The key combination was chosen by a change of item; the window is hidden, so only once.
  EXPECT_EQ(b.calls, std::vector<std::string>{});
}

TEST(OptionRows, DefaultsAtStartLeaveTheHoldFactorAndShowTheOthers) {
  Alone a;
  a.options.SetCableCatchAccelFactor(-900);
  a.options.SetCatapultHoldFactor(75);
  a.options.SetTimingResolution(4);
  std::vector<std::string> shown;
  for (TNumberControls& number : a.options.NumberControls())
    number.updown.onChange = [&shown](platform::Control& c, platform::Change) {
      if (shown.empty() || shown.back() != c.name()) shown.push_back(c.name());
    };
  a.options.ApplyDefaults();
  EXPECT_DOUBLE_EQ(a.options.CableCatchAccelFactor, -700);
  EXPECT_EQ(a.options.TimingResolutionFactor, 1);
  EXPECT_EQ(a.tmrDecel.interval(), 10);
  EXPECT_EQ(a.options.CatapultHoldFactor, -75);
  EXPECT_EQ(a.options.NumberControls("DecelFactor").edit.text(), "-700");
  // Cut-off, deceleration, acceleration, timing: the order the window has always shown them.
  EXPECT_EQ(shown, (std::vector<std::string>{"updwnCatapultCutoff", "updwnDecelFactor",
                                             "updwnAccelFactor", "updwnTimingResolution"}));
}

TEST(CarrierDataAlone, AFileWithoutValidZonesHaltsEverythingItSees) {
  Alone a;
  a.writeFile("Empty.dat", "; nothing\r\n");
  a.lstboxDatFiles.setDirectory(a.folder);
  ASSERT_TRUE(a.carrierData.PrepareCatchZoneList());
  ASSERT_TRUE(a.carrierData.FillDatFileList());
  a.cmbDatFile.setItemIndex(0);
  a.cmbDatFile.setEnabled(true);
  for (platform::Timer* t : a.timers()) t->setEnabled(true);
  a.cmbDatFile.onChange = [&a] { a.carrierData.cmbDatFileChange(); };
  a.cmbDatFile.pick(0);
  EXPECT_EQ(a.lblConnectionInfo.text(),
            "Selected .dat file contains no valid catch zones.  Program stopped.");
  for (platform::Timer* t : a.timers()) EXPECT_FALSE(t->enabled()) << t->name();
  EXPECT_TRUE(a.activity.programStopped);
  EXPECT_EQ(a.activity.Current(), Activity::Stopped);
  // The hot keys go back during the halt; the window is not opened and no search runs (the
  // view's cmbDatFile is still enabled here, as the window's reset would have disabled it).
  EXPECT_EQ(a.calls,
            (std::vector<std::string>{"ResetState", "ReleaseHotKeys", "tmrFindNearestTimer"}));
  EXPECT_EQ(a.Screen.cursor(), platform::Cursor::Default);
}

TEST(CarrierDataAlone, AGoodFileIsLoadedAndTheWindowOpened) {
  Alone a;
  std::string zone =
      "[Zone01]\r\nCarrierIdent=CVN-99\r\nFrontRightCornerLat=36.95012\r\n"
      "FrontRightCornerLon=-76.299\r\nFrontLeftCornerLat=36.95025\r\nFrontLeftCornerLon=-76.299\r\n"
      "BackLeftCornerLat=36.95025\r\nBackLeftCornerLon=-76.3002\r\nBackRightCornerLat=36.95012\r\n"
      "BackRightCornerLon=-76.3002\r\nDeckAltInFeet=60\r\nCableCatchZoneHeightInFeet=4.5\r\n"
      "RunwayHeadingInDegreesMag=90\r\n";
  a.writeFile("Corvane.dat", zone);
  a.lstboxDatFiles.setDirectory(a.folder);
  ASSERT_TRUE(a.carrierData.FillDatFileList());
  a.cmbDatFile.setItemIndex(0);
  a.cmbDatFile.setEnabled(true);
  a.tmrCheckForCatch.setEnabled(true);
  a.carrierData.cmbDatFileChange();
  ASSERT_TRUE(a.carrierData.CatchZones);
  ASSERT_EQ(a.carrierData.CatchZones->size(), 1u);
  EXPECT_EQ(a.lblNumOfCarriersLoaded.text(), "# of cable zones: 1 out of 1");
  EXPECT_FALSE(a.tmrCheckForCatch.enabled());
  EXPECT_FALSE(a.activity.programStopped);
  EXPECT_EQ(a.calls, (std::vector<std::string>{"ResetState", "EnableLoadedControls",
                                               "tmrFindNearestTimer"}));
}
