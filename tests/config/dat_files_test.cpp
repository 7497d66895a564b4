#include <gtest/gtest.h>

#include <filesystem>

#include "config_fixture.h"
#include "edition/edition.h"
#include "platform/ini_file.h"

using configtest::ConfigTest;
using configtest::zoneSection;

namespace {

const char* kNoValidZones = "Selected .dat file contains no valid catch zones.  Program stopped.";
const char* kLog = "CorvaneDatLoadErrorLog.txt";

std::string failedLine(const char* number) {
  return std::string(edition::ZoneFailedLogPrefix) + number + ".";
}

}  // namespace

using DatFileList = ConfigTest;

TEST_F(DatFileList, ListsDataFilesSortedWithoutHiddenOnes) {
  for (const char* name :
       {"b.DAT", "A.dat", "c.dat.txt", ".hidden.dat", "Corvane.dat", "notes.txt"})
    writeFile(name, "");
  std::filesystem::create_directory(folder + "dir.dat");
  ASSERT_TRUE(listDatFiles());
  EXPECT_EQ(form->cmbDatFile.items(), (std::vector<std::string>{"A.dat", "b.DAT", "Corvane.dat"}));
}

TEST_F(DatFileList, NoDataFileKeepsTheComboAndSaysSo) {
  form->cmbDatFile.addItem("old.dat");
  writeFile("Corvane.INI", "");
  EXPECT_FALSE(listDatFiles());
  EXPECT_EQ(form->lblConnectionInfo.text(), "Connection to FSUIPC OK, but...No .dat files found.");
  EXPECT_EQ(form->cmbDatFile.items(), std::vector<std::string>{"old.dat"});
}

TEST_F(DatFileList, DefaultDataFileIsFoundWithoutRegardToCaseAndRemembered) {
  writeFile("a.dat", "");
  writeFile("CORVANE.DAT", "");
  listDatFiles();
  writeFile("Corvane.INI", "; keep me\r\n[General]\r\nLastLeft=1\r\n");
  platform::IniFile settings(folder + "Corvane.INI");
  EXPECT_TRUE(form->carrierData.SelectDefaultDatFile(settings));
  EXPECT_EQ(form->cmbDatFile.text(), "CORVANE.DAT");
  EXPECT_EQ(readFile("Corvane.INI"),
            "; keep me\r\n[General]\r\nLastLeft=1\r\nLastDatFileUsed=Corvane.dat\r\n");
}

TEST_F(DatFileList, MissingDefaultDataFileFails) {
  writeFile("other.dat", "");
  listDatFiles();
  platform::IniFile settings(folder + "Corvane.INI");
  EXPECT_FALSE(form->carrierData.SelectDefaultDatFile(settings));
  EXPECT_EQ(form->lblConnectionInfo.text(),
            "Connection to FSUIPC OK, but...Corvane.dat file not found.");
  EXPECT_FALSE(fileExists("Corvane.INI"));
}

using LoadCatchZones = ConfigTest;

TEST_F(LoadCatchZones, OneBadZoneOfThreeIsLoggedAndSkipped) {
  const std::string text = zoneSection("Zone01", {{"CarrierIdent", "First"}}) +
                           zoneSection("Zone02", {{"CableCatchZoneHeightInFeet", "5"}}) +
                           zoneSection("Zone03", {{"CarrierIdent", "Third"}});
  ASSERT_TRUE(loadDat(text));
  ASSERT_EQ(zoneCount(), 2u);
  EXPECT_EQ((*form->carrierData.CatchZones)[0]->CarrierIdent, "First");
  EXPECT_EQ((*form->carrierData.CatchZones)[1]->CarrierIdent, "Third");
  EXPECT_EQ(form->lblNumOfCarriersLoaded.text(), "# of cable zones: 2 out of 3");
  EXPECT_EQ(readFile(kLog),
            "Corvane .dat load failure log for file : \r\n"
            "  " +
                folder +
                "Corvane.dat\r\n"
                "Run/Reset time: 2026-12-07  12:00:00\r\n"
                "\r\n" +
                failedLine("02") +
                "\r\n"
                "\r\n"
                "Verify that the failed zones contain all the required data fields\r\n"
                "and that the values fall within acceptable ranges.  See Corvane*.txt.\r\n");
}

TEST_F(LoadCatchZones, BadZoneSevenIsNumberedAsInItsSection) {
  std::string text;
  for (int n = 1; n <= 8; ++n)
    text += zoneSection(
        "Zone0" + std::to_string(n),
        n == 7 ? configtest::ZoneKeys{{"CarrierIdent", std::nullopt}} : configtest::ZoneKeys{});
  ASSERT_TRUE(loadDat(text));
  EXPECT_EQ(form->lblNumOfCarriersLoaded.text(), "# of cable zones: 7 out of 8");
  EXPECT_NE(readFile(kLog).find("\r\n" + failedLine("07") + "\r\n"), std::string::npos);
}

TEST_F(LoadCatchZones, AllValidWritesNoLogAndKeepsAnOlderOne) {
  writeFile(kLog, "old log");
  ASSERT_TRUE(loadDat(zoneSection("Zone01") + zoneSection("Zone02") + zoneSection("Zone04")));
  EXPECT_EQ(form->lblNumOfCarriersLoaded.text(), "# of cable zones: 2 out of 2");
  EXPECT_EQ(readFile(kLog), "old log");
}

TEST_F(LoadCatchZones, NoValidZoneHaltsWithoutWritingTheLog) {
  struct Case {
    const char* name;
    std::string text;
  };
  const Case cases[] = {
      {"all zones bad", zoneSection("Zone01", {{"DeckAltInFeet", "30000"}}) +
                            zoneSection("Zone02", {{"FrontRightCornerLat", "36,95"}})},
      {"no Zone01", zoneSection("Zone1")},
      {"empty file", ""},
  };
  for (const Case& c : cases) {
    writeFile(kLog, "old log");
    form->lblNumOfCarriersLoaded.setText("# of cable zones: 1 out of 1");
    for (platform::Timer* t :
         {&form->tmrFindNearest, &form->tmrIsCatchCheckNeeded, &form->tmrCheckForCatch})
      t->setEnabled(true);
    EXPECT_FALSE(loadDat(c.text)) << c.name;
    EXPECT_EQ(form->lblConnectionInfo.text(), kNoValidZones) << c.name;
    EXPECT_EQ(form->lblNumOfCarriersLoaded.text(), "") << c.name;
    EXPECT_EQ(zoneCount(), 0u) << c.name;
    EXPECT_EQ(readFile(kLog), "old log") << c.name;
    EXPECT_FALSE(form->tmrFindNearest.enabled()) << c.name;
    EXPECT_FALSE(form->tmrIsCatchCheckNeeded.enabled()) << c.name;
    EXPECT_FALSE(form->tmrCheckForCatch.enabled()) << c.name;
  }
}

TEST_F(LoadCatchZones, MissingSelectedFileHasNoValidZones) {
  writeFile("gone.dat", zoneSection("Zone01"));
  listDatFiles();
  form->cmbDatFile.setItemIndex(0);
  std::filesystem::remove(folder + "gone.dat");
  EXPECT_FALSE(form->carrierData.LoadCatchZones());
  EXPECT_EQ(form->lblConnectionInfo.text(), kNoValidZones);
}

TEST_F(LoadCatchZones, UnreadableFileTakesTheExceptionPath) {
  std::filesystem::create_directory(folder + "odd.dat");
  form->cmbDatFile.addItem("odd.dat");
  form->cmbDatFile.setItemIndex(0);
  form->tmrIsCatchCheckNeeded.setEnabled(true);
  EXPECT_FALSE(form->carrierData.LoadCatchZones());
  EXPECT_EQ(form->lblConnectionInfo.text(),
            "Cannot read " + folder +
                "odd.dat.  Exception occurred during .dat file load.  Program halted.");
  EXPECT_FALSE(form->tmrIsCatchCheckNeeded.enabled());
  EXPECT_FALSE(fileExists(kLog));
}

TEST_F(LoadCatchZones, ReloadReplacesTheEarlierZones) {
  ASSERT_TRUE(loadDat(zoneSection("Zone01") + zoneSection("Zone02")));
  EXPECT_EQ(zoneCount(), 2u);
  ASSERT_TRUE(loadDat(zoneSection("Zone01", {{"CarrierIdent", "Only"}}), "other.dat"));
  ASSERT_EQ(zoneCount(), 1u);
  EXPECT_EQ((*form->carrierData.CatchZones)[0]->CarrierIdent, "Only");
}

TEST_F(LoadCatchZones, WorksWithoutAPreparedList) {
  form->carrierData.CatchZones.reset();
  EXPECT_TRUE(loadDat(zoneSection("Zone01")));
  EXPECT_EQ(zoneCount(), 1u);
}

TEST_F(LoadCatchZones, SampleDataFileLoadsEveryZone) {
  std::filesystem::copy_file(std::filesystem::path(CORVANE_SOURCE_DIR) / "samples/Corvane.dat",
                             folder + "Corvane.dat");
  listDatFiles();
  form->cmbDatFile.setItemIndex(0);
  ASSERT_TRUE(form->carrierData.LoadCatchZones());
  EXPECT_EQ(form->lblNumOfCarriersLoaded.text(), "# of cable zones: 4 out of 4");
  const TCatchZoneData& z = *(*form->carrierData.CatchZones)[0];
  EXPECT_EQ(z.CarrierIdent, "CVN-99 Corvane (sample)");
  EXPECT_DOUBLE_EQ(z.FrontRightCornerLat, 36.95012);
  EXPECT_DOUBLE_EQ(z.FrontRightCornerLon, -76.29900);
  EXPECT_DOUBLE_EQ(z.BackLeftCornerLat, 36.95025);
  EXPECT_DOUBLE_EQ(z.BackLeftCornerLon, -76.30020);
  EXPECT_DOUBLE_EQ(z.RunwayHeadingMag, 90);
  EXPECT_FALSE(fileExists(kLog));
}
