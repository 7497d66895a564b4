#include <gtest/gtest.h>

#include "config_fixture.h"
#include "harness/harness.h"
#include "simlink/sim_link.h"

using configtest::zoneSection;

namespace {

int indexOf(const TFormMain& form, const std::string& name) {
  const auto& items = form.cmbDatFile.items();
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i] == name) return static_cast<int>(i);
  return -1;
}

}  // namespace

TEST(StartChain, SamplesLoadAndTheSettingsSurviveACloseUnchanged) {
  harness::Harness h;
  const std::string before = h.readFile("Corvane.INI");
  TFormMain& form = h.start();
  ASSERT_TRUE(form.cmbDatFile.enabled()) << form.lblConnectionInfo.text();
  EXPECT_EQ(form.lblNumOfCarriersLoaded.text(), "# of cable zones: 4 out of 4");
  form.FormClose();
  EXPECT_EQ(h.readFile("Corvane.INI"), before);
}

TEST(StartChain, AnotherDataFileIsRememberedAtClose) {
  harness::Harness h;
  h.writeFile("Atlantic.dat", zoneSection("Zone01") + zoneSection("Zone02"));
  TFormMain& form = h.start();
  ASSERT_TRUE(form.cmbDatFile.enabled()) << form.lblConnectionInfo.text();
  form.cmbDatFile.pick(indexOf(form, "Atlantic.dat"));
  EXPECT_TRUE(form.cmbDatFile.enabled());
  EXPECT_TRUE(form.pgMain.enabled());
  EXPECT_TRUE(form.tmrFindNearest.enabled());
  EXPECT_EQ(form.lblNumOfCarriersLoaded.text(), "# of cable zones: 2 out of 2");
  EXPECT_NE(h.readFile("Corvane.INI").find("LastDatFileUsed=Corvane.dat"), std::string::npos);
  form.FormClose();
  EXPECT_NE(h.readFile("Corvane.INI").find("LastDatFileUsed=Atlantic.dat\r\n"), std::string::npos);
}

TEST(StartChain, ChoosingAFileWithoutValidZonesHaltsUntilReset) {
  harness::Harness h;
  h.writeFile("Broken.dat", zoneSection("Zone01", {{"CableCatchZoneHeightInFeet", "5"}}));
  TFormMain& form = h.start();
  ASSERT_TRUE(form.cmbDatFile.enabled()) << form.lblConnectionInfo.text();
  const std::string settings = h.readFile("Corvane.INI");
  form.cmbDatFile.pick(indexOf(form, "Broken.dat"));
  EXPECT_EQ(form.lblConnectionInfo.text(),
            "Selected .dat file contains no valid catch zones.  Program stopped.");
  EXPECT_FALSE(form.cmbDatFile.enabled());
  EXPECT_FALSE(form.pgMain.enabled());
  EXPECT_FALSE(h.link.SimLinkIsOpen());
  EXPECT_FALSE(h.fileExists("CorvaneDatLoadErrorLog.txt"));
  h.runFor(1'000);
  EXPECT_FALSE(form.cmbDatFile.enabled());
  form.FormClose();
  EXPECT_EQ(h.readFile("Corvane.INI"), settings);
}

TEST(StartChain, DataFileAddedWhileRunningIsListedAfterReset) {
  harness::Harness h;
  TFormMain& form = h.start();
  ASSERT_TRUE(form.cmbDatFile.enabled()) << form.lblConnectionInfo.text();
  h.writeFile("Later.dat", zoneSection("Zone01"));
  EXPECT_EQ(indexOf(form, "Later.dat"), -1);
  form.actResetProgramExecute();
  EXPECT_GE(indexOf(form, "Later.dat"), 0);
  EXPECT_TRUE(form.cmbDatFile.enabled());
}

TEST(StartChain, MissingSettingsAndDataFileStopTheStart) {
  harness::Options o;
  o.copySamples = false;
  harness::Harness h(o);
  h.writeFile("Other.dat", zoneSection("Zone01"));
  TFormMain& form = h.start();
  EXPECT_EQ(form.lblConnectionInfo.text(),
            "Connection to FSUIPC OK, but...Corvane.dat file not found.");
  EXPECT_FALSE(form.pgMain.enabled());
  form.FormClose();
  EXPECT_FALSE(h.fileExists("Corvane.INI"));
}
