#include <gtest/gtest.h>

#include <filesystem>

#include "config_fixture.h"
#include "edition/edition.h"

using configtest::ConfigTest;

namespace {

class Settings : public ConfigTest {
 protected:
  Settings() {
    writeFile("Corvane.dat", "");
    writeFile("Other.dat", "");
    listDatFiles();
  }
  /// Loads a settings file made of these lines (CRLF).
  bool loadWith(const std::string& ini) {
    writeFile("Corvane.INI", ini);
    return form->options.LoadSettings();
  }
};

/// The settings file SaveSettings writes for a new file with every option at its default.
std::string defaultFile() {
  std::string s =
      "[General]\r\n"
      "LastDatFileUsed=Corvane.dat\r\n"
      "LastLeft=300\r\n"
      "LastTop=200\r\n"
      "ShowRemindersWhenDisabled=1\r\n"
      "SpecialSoundHandling=0\r\n"
      "PlayBattleDamageSounds=0\r\n"
      "TimingResolutionFactor=1\r\n"
      "KeystrokeCompatibilityOption=0\r\n"
      "VerticalToolbarLeft=0\r\n"
      "VerticalToolbarTop=124\r\n"
      "\r\n"
      "[CableOps]\r\n"
      "CableCatchAccelFactor=-700\r\n"
      "ShowCablesActiveMsg=0\r\n";
  if (IsFS2004Edition) s += "DetectTrapsIfTailhookExtended=0\r\n";
  s += "TrapLog=0\r\n"
       "LsoCalls=0\r\n"
       "RealisticGear=0\r\n"
       "\r\n"
       "[CatapultOps]\r\n"
       "CatapultAccelFactor=700\r\n"
       "CatapultSpeedCutoffKnots=120\r\n"
       "CatapultHoldFactor=50\r\n"
       "UseAircraftSmoke=0\r\n"
       "\r\n"
       "[FuelOps]\r\n"
       "TransferRateIndex=0\r\n";
  return s;
}

}  // namespace

TEST_F(Settings, MissingFileGivesDefaultsAndRemembersTheDefaultDataFile) {
  form->options.SetCatapultHoldFactor(100);
  ASSERT_TRUE(form->options.LoadSettings());
  EXPECT_EQ(form->cmbDatFile.text(), "Corvane.dat");
  EXPECT_EQ(form->FormMain.left(), 300);
  EXPECT_EQ(form->FormMain.top(), 200);
  EXPECT_EQ(form->frmToolbar.frmToolbar.left(), 0);
  EXPECT_EQ(form->frmToolbar.frmToolbar.top(), 124);
  EXPECT_TRUE(form->chkbxShowDisableReminders.checked());
  EXPECT_FALSE(form->chkbxSpecialSoundHandling.checked());
  EXPECT_EQ(form->options.CatapultHoldFactor, -50);
  EXPECT_EQ(form->rdgrpCtrlKeys.itemIndex(), 0);
  EXPECT_EQ(form->rdgrpFuelTransferRate.itemIndex(), 0);
  EXPECT_EQ(readFile("Corvane.INI"), "[General]\r\nLastDatFileUsed=Corvane.dat\r\n");
}

TEST_F(Settings, OptionValuesAreCorrectedOnReading) {
  struct Case {
    const char* line;  // "Section/Key=value"
    double decel, accel;
    int knots;
    double fps;
    int hold, timing, decelMs, accelMs, keys, rate;
  };
  // Defaults: -700, 700, 120 kn (202.68 ft/s), hold -50, timing 1 (10/5 ms), item 0, item 0.
  const Case cases[] = {
      {"CatapultOps/CatapultSpeedCutoffKnots=59", -700, 700, 120, 202.68, -50, 1, 10, 5, 0, 0},
      {"CatapultOps/CatapultSpeedCutoffKnots=181", -700, 700, 120, 202.68, -50, 1, 10, 5, 0, 0},
      {"CatapultOps/CatapultSpeedCutoffKnots=60", -700, 700, 60, 101.34, -50, 1, 10, 5, 0, 0},
      {"CatapultOps/CatapultSpeedCutoffKnots=180", -700, 700, 180, 304.02, -50, 1, 10, 5, 0, 0},
      {"CatapultOps/CatapultHoldFactor=75", -700, 700, 120, 202.68, -75, 1, 10, 5, 0, 0},
      {"CatapultOps/CatapultHoldFactor=201", -700, 700, 120, 202.68, -50, 1, 10, 5, 0, 0},
      {"CableOps/CableCatchAccelFactor=-50", -700, 700, 120, 202.68, -50, 1, 10, 5, 0, 0},
      {"CableOps/CableCatchAccelFactor=-1600", -700, 700, 120, 202.68, -50, 1, 10, 5, 0, 0},
      {"CableOps/CableCatchAccelFactor=-100", -100, 700, 120, 202.68, -50, 1, 10, 5, 0, 0},
      {"CableOps/CableCatchAccelFactor=-1500", -1500, 700, 120, 202.68, -50, 1, 10, 5, 0, 0},
      {"CableOps/CableCatchAccelFactor=-712.5", -712, 700, 120, 202.68, -50, 1, 10, 5, 0, 0},
      {"CableOps/CableCatchAccelFactor=-800,5", -700, 700, 120, 202.68, -50, 1, 10, 5, 0, 0},
      {"CableOps/CableCatchAccelFactor=", -700, 700, 120, 202.68, -50, 1, 10, 5, 0, 0},
      {"CatapultOps/CatapultAccelFactor=349", -700, 700, 120, 202.68, -50, 1, 10, 5, 0, 0},
      {"CatapultOps/CatapultAccelFactor=1500", -700, 1500, 120, 202.68, -50, 1, 10, 5, 0, 0},
      {"CatapultOps/CatapultAccelFactor=1.2e3", -700, 1200, 120, 202.68, -50, 1, 10, 5, 0, 0},
      {"General/TimingResolutionFactor=20", -700, 700, 120, 202.68, -50, 20, 200, 100, 0, 0},
      {"General/TimingResolutionFactor=0", -700, 700, 120, 202.68, -50, 1, 10, 5, 0, 0},
      {"General/TimingResolutionFactor=0x3", -700, 700, 120, 202.68, -50, 3, 30, 15, 0, 0},
      {"General/TimingResolutionFactor=2.5", -700, 700, 120, 202.68, -50, 1, 10, 5, 0, 0},
      {"General/KeystrokeCompatibilityOption=1", -700, 700, 120, 202.68, -50, 1, 10, 5, 1, 0},
      {"General/KeystrokeCompatibilityOption=2", -700, 700, 120, 202.68, -50, 1, 10, 5, 0, 0},
      {"FuelOps/TransferRateIndex=1", -700, 700, 120, 202.68, -50, 1, 10, 5, 0, 1},
      {"FuelOps/TransferRateIndex=-1", -700, 700, 120, 202.68, -50, 1, 10, 5, 0, 0},
  };
  for (const Case& c : cases) {
    const std::string line = c.line;
    const size_t slash = line.find('/');
    // Start from other values so that a setter that is not called shows up.
    form->options.SetCableCatchAccelFactor(-1000);
    form->options.SetCatapultAccelFactor(1000);
    form->options.SetCatapultCutoffKnots(150);
    form->options.SetCatapultHoldFactor(150);
    form->options.SetTimingResolution(7);
    form->rdgrpCtrlKeys.setItemIndex(1 - c.keys);
    form->rdgrpFuelTransferRate.setItemIndex(1 - c.rate);
    ASSERT_TRUE(loadWith("[" + line.substr(0, slash) + "]\r\n" + line.substr(slash + 1) + "\r\n"))
        << c.line;
    EXPECT_DOUBLE_EQ(form->options.CableCatchAccelFactor, c.decel) << c.line;
    EXPECT_DOUBLE_EQ(form->options.CatapultAccelFactor, c.accel) << c.line;
    EXPECT_EQ(form->options.CatapultCutoffKnots, c.knots) << c.line;
    EXPECT_NEAR(form->options.CatapultCutoffFps, c.fps, 1e-9) << c.line;
    EXPECT_EQ(form->options.CatapultHoldFactor, c.hold) << c.line;
    EXPECT_EQ(form->options.TimingResolutionFactor, c.timing) << c.line;
    EXPECT_EQ(form->tmrDecel.interval(), c.decelMs) << c.line;
    EXPECT_EQ(form->tmrAccel.interval(), c.accelMs) << c.line;
    EXPECT_EQ(form->rdgrpCtrlKeys.itemIndex(), c.keys) << c.line;
    EXPECT_EQ(form->rdgrpFuelTransferRate.itemIndex(), c.rate) << c.line;
  }
}

TEST_F(Settings, ControlsAndWindowsFollowTheFile) {
  ASSERT_TRUE(loadWith(
      "[general]\r\nlastleft=-20\r\nLastTop=0x10\r\nVerticalToolbarLeft=900\r\nVerticalToolbarTop="
      "5\r\n"
      "ShowRemindersWhenDisabled=0\r\nSpecialSoundHandling=1\r\nPlayBattleDamageSounds=7\r\n"
      "[CableOps]\r\nShowCablesActiveMsg=1\r\nDetectTrapsIfTailhookExtended=1\r\nTrapLog=1\r\n"
      "[CatapultOps]\r\nUseAircraftSmoke=1\r\n"));
  EXPECT_EQ(form->FormMain.left(), -20);
  EXPECT_EQ(form->FormMain.top(), 16);
  EXPECT_EQ(form->frmToolbar.frmToolbar.left(), 900);
  EXPECT_EQ(form->frmToolbar.frmToolbar.top(), 5);
  EXPECT_FALSE(form->chkbxShowDisableReminders.checked());
  EXPECT_TRUE(form->chkbxSpecialSoundHandling.checked());
  EXPECT_TRUE(form->chkbxDamageSounds.checked());
  EXPECT_TRUE(form->chkbxShowCablesActiveMsg.checked());
  EXPECT_TRUE(form->chkbxCatSmoke.checked());
  EXPECT_TRUE(form->chkbxTrapLog.checked());
  // The FS2002 edition has no tail-hook option and never reads its key.
  EXPECT_EQ(form->chkbxDetectTailhook.checked(), edition::HasTailhookOption);
}

TEST_F(Settings, RememberedDataFileIsChosenWithoutRegardToCase) {
  ASSERT_TRUE(loadWith("[General]\r\nLastDatFileUsed=OTHER.DAT\r\n"));
  EXPECT_EQ(form->cmbDatFile.text(), "Other.dat");
  EXPECT_EQ(readFile("Corvane.INI"), "[General]\r\nLastDatFileUsed=OTHER.DAT\r\n");
}

TEST_F(Settings, UnknownRememberedFileFallsBackToTheDefault) {
  ASSERT_TRUE(loadWith("[General]\r\nLastDatFileUsed=Gone.dat\r\n"));
  EXPECT_EQ(form->cmbDatFile.text(), "Corvane.dat");
  EXPECT_EQ(readFile("Corvane.INI"), "[General]\r\nLastDatFileUsed=Corvane.dat\r\n");
}

TEST_F(Settings, NoDataFileToChooseStopsBeforeTheOptions) {
  std::filesystem::remove(folder + "Corvane.dat");
  listDatFiles();
  form->options.SetCatapultHoldFactor(100);
  EXPECT_FALSE(
      loadWith("[General]\r\nLastDatFileUsed=Gone.dat\r\nLastLeft=11\r\n"
               "[CatapultOps]\r\nCatapultHoldFactor=75\r\n"));
  EXPECT_EQ(form->lblConnectionInfo.text(),
            "Connection to FSUIPC OK, but...Corvane.dat file not found.");
  EXPECT_EQ(form->options.CatapultHoldFactor, -100);
  EXPECT_EQ(form->FormMain.left(), 11);  // the window was already placed
}

TEST_F(Settings, UnreadableSettingsFileStopsTheStart) {
  std::filesystem::create_directory(folder + "Corvane.INI");
  EXPECT_FALSE(form->options.LoadSettings());
  EXPECT_EQ(form->lblConnectionInfo.text(),
            "Connection to FSUIPC OK, but...problem loading/creating Corvane.INI");
}

TEST_F(Settings, NothingIsWrittenUnlessLoaded) {
  form->cmbDatFile.setEnabled(false);
  form->options.SaveSettings();
  EXPECT_FALSE(fileExists("Corvane.INI"));
  writeFile("Corvane.INI", "; mine\r\n");
  form->options.SaveSettings();
  EXPECT_EQ(readFile("Corvane.INI"), "; mine\r\n");
}

TEST_F(Settings, NewFileHoldsEveryKeyInOrder) {
  ASSERT_TRUE(form->options.LoadSettings());
  std::filesystem::remove(folder + "Corvane.INI");
  form->options.SetCableCatchAccelFactor(-700);
  form->options.SetCatapultAccelFactor(700);
  form->options.SetCatapultCutoffKnots(120);
  form->options.SetCatapultHoldFactor(50);
  form->options.SetTimingResolution(1);
  form->cmbDatFile.setEnabled(true);
  form->options.SaveSettings();
  EXPECT_EQ(readFile("Corvane.INI"), defaultFile());
  EXPECT_TRUE(errorBoxes.empty());
}

TEST_F(Settings, SaveKeepsCommentsUnknownKeysAndOtherSections) {
  const std::string before =
      "; Corvane settings of a long-time user\r\n"
      "[General]\r\n"
      "LastDatFileUsed=Other.dat\r\n"
      "MyNote=keep this\r\n"
      "LastLeft=300\r\n"
      "\r\n"
      "[Squadron]\r\n"
      "Callsign=Ghost\r\n"
      "\r\n"
      "[CableOps]\r\n"
      "; harder traps\r\n"
      "CableCatchAccelFactor=-900\r\n"
      "DetectTrapsIfTailhookExtended=1\r\n";
  ASSERT_TRUE(loadWith(before));
  form->cmbDatFile.setEnabled(true);
  form->FormMain.moveTo(640, 480);
  form->options.SetCatapultHoldFactor(75);
  form->chkbxDetectTailhook.setChecked(false);
  form->options.SaveSettings();
  const std::string after = readFile("Corvane.INI");
  for (const char* kept :
       {"; Corvane settings of a long-time user\r\n[General]\r\n", "MyNote=keep this\r\n",
        "\r\n[Squadron]\r\nCallsign=Ghost\r\n\r\n[CableOps]\r\n; harder traps\r\n"
        "CableCatchAccelFactor=-900\r\n",
        "LastDatFileUsed=Other.dat\r\n", "LastLeft=640\r\n", "LastTop=480\r\n",
        "CatapultHoldFactor=75\r\n"})
    EXPECT_NE(after.find(kept), std::string::npos) << kept;
  // The FS2002 edition leaves the tail-hook line as it found it.
  EXPECT_NE(after.find(IsFS2004Edition ? "DetectTrapsIfTailhookExtended=0\r\n"
                                       : "DetectTrapsIfTailhookExtended=1\r\n"),
            std::string::npos);
  // Reading back gives what was saved.
  form->options.SetCatapultHoldFactor(50);
  ASSERT_TRUE(form->options.LoadSettings());
  EXPECT_EQ(form->options.CatapultHoldFactor, -75);
  EXPECT_DOUBLE_EQ(form->options.CableCatchAccelFactor, -900);
}

TEST_F(Settings, StoredRealIsWrittenAsIs) {
  ASSERT_TRUE(form->options.LoadSettings());
  form->cmbDatFile.setEnabled(true);
  form->updwnDecelFactor.associate = nullptr;  // keep the edit from rounding it
  form->options.SetCableCatchAccelFactor(-712.5);
  form->options.SaveSettings();
  EXPECT_NE(readFile("Corvane.INI").find("CableCatchAccelFactor=-712.5\r\n"), std::string::npos);
}

TEST_F(Settings, FailedSaveIsReportedAndLeavesTheFile) {
  ASSERT_TRUE(form->options.LoadSettings());
  form->cmbDatFile.setEnabled(true);
  const std::string before = readFile("Corvane.INI");
  std::filesystem::create_directory(folder + "Corvane.INI.tmp" + std::to_string(::getpid()));
  form->options.SaveSettings();
  EXPECT_EQ(readFile("Corvane.INI"), before);
  EXPECT_EQ(errorBoxes, std::vector<std::string>{"Unable to write to " + folder + "Corvane.INI"});
}
