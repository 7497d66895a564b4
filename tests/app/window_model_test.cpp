#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <string>
#include <utility>

#include "app/expected_texts.h"
#include "edition/edition.h"
#include "fuel/fuel_transfer.h"
#include "harness/harness.h"

namespace {

class WindowModel : public ::testing::Test {
 protected:
  void SetUp() override {
    f = &h.start();
    f->btnManualDisable.setDown(false);
    f->frmToolbar.btnManualOverride.setDown(false);
    f->tmrLaunchCheck.setEnabled(false);
    f->lblFlightStatus.setText("Flying");
    f->lblActivelyCheckingStatus.setText("ACTIVE");
    h.clearRecords();
  }
  void setNearest(double heading, const std::string& ident) {
    if (!f->carrierData.CatchZones) f->carrierData.CatchZones = std::make_unique<TCatchZoneList>();
    f->carrierData.CatchZones->clear();
    auto zone = std::make_unique<TCatchZoneData>();
    zone->RunwayHeadingMag = heading;
    zone->CarrierIdent = ident;
    f->carrierData.CatchZones->push_back(std::move(zone));
    f->arrest.NearestZoneIndex = 0;
    f->arrest.NearestCarrierIdent = ident;
  }
  /// The text of the one status message, checking its display time.
  std::string status(int seconds = 7) {
    h.clearRecords();
    f->actShowStatus.execute();
    if (h.messages.size() != 1) return "messages: " + std::to_string(h.messages.size());
    EXPECT_EQ(h.messages[0].seconds, seconds);
    return h.messages[0].text;
  }

  harness::Harness h;
  TFormMain* f = nullptr;
};

const std::string kNearest = edition::StatusNearestCablesItem;

TEST_F(WindowModel, StatusMessageCases) {
  setNearest(90, "CVN-65 Enterprise");
  EXPECT_EQ(status(), "FLYING, TRAPPING ACTIVE" + kNearest + "90 (\"CVN-65 Enterprise\")");

  // Exactly 97 characters before the closing quote: the identifier is shown whole.
  setNearest(187.5, "CV-63");
  f->fuelTransfer.fuelLoading = true;
  EXPECT_EQ(status(), "FLYING, TRAPPING ACTIVE, LOADING FUEL @ 500 GPM (DROGUE)" + kNearest +
                          "187.5 (\"CV-63\")");
  f->lblFlightStatus.setText("LANDED");
  f->lblActivelyCheckingStatus.setText("NOT NEEDED");
  EXPECT_EQ(status(), "LANDED, TRAPPING NOT NEEDED, LOADING FUEL @ 500 GPM (DROGUE)" + kNearest +
                          "187.5 (\"CV-6\")");
  f->fuelTransfer.fuelLoading = false;
  f->fuelTransfer.fuelOffloading = true;
  f->rdgrpFuelTransferRate.setItemIndex(1);
  f->tmrLaunchCheck.setEnabled(true);
  EXPECT_EQ(status(), "LANDED, TRAPPING NOT NEEDED, OFFLOADING FUEL @ 1200 GPM (BOOM), CAT ARMED");
  f->tmrLaunchCheck.setEnabled(false);
}

TEST_F(WindowModel, StatusCutsALongIdentifierTo97Characters) {
  setNearest(270, std::string(150, 'X'));
  const std::string s = status();
  ASSERT_EQ(s.size(), 99u);
  EXPECT_EQ(s.substr(97), "\")");
  const std::string head = "FLYING, TRAPPING ACTIVE" + kNearest + "270 (\"";
  EXPECT_EQ(s.substr(0, head.size()), head);
  EXPECT_EQ(s.substr(head.size(), 97 - head.size()), std::string(97 - head.size(), 'X'));

  // Text already past 97 before the identifier: none of it is added.
  f->lblFlightStatus.setText(std::string(80, 'a'));
  const std::string t = status();
  EXPECT_EQ(t.find('X'), std::string::npos);
  EXPECT_EQ(t.substr(0, 80), std::string(80, 'A'));
}

TEST_F(WindowModel, StatusWithoutANearestZone) {
  f->arrest.NearestZoneIndex = -1;
  EXPECT_EQ(status(), "FLYING, TRAPPING ACTIVE, no nearest cables known");
  setNearest(90, "CV-63");
  f->arrest.NearestZoneIndex = 1;  // beyond the list
  EXPECT_EQ(status(), "FLYING, TRAPPING ACTIVE, no nearest cables known");
  f->carrierData.CatchZones.reset();
  f->arrest.NearestZoneIndex = 0;
  EXPECT_EQ(status(), "FLYING, TRAPPING ACTIVE, no nearest cables known");
  f->tmrLaunchCheck.setEnabled(true);
  EXPECT_EQ(status(), "FLYING, TRAPPING ACTIVE, CAT ARMED");
  f->tmrLaunchCheck.setEnabled(false);
}

TEST_F(WindowModel, StatusWhileManuallyDisabled) {
  f->btnManualDisable.setDown(true);
  EXPECT_EQ(status(3), "Corvane status: manually disabled");
}

TEST_F(WindowModel, ToolbarOverrideClickedTwice) {
  f->frmToolbar.btnManualOverride.click();
  EXPECT_TRUE(f->btnManualDisable.down());
  EXPECT_TRUE(f->frmToolbar.btnManualOverride.down());
  EXPECT_EQ(f->btnManualDisable.caption(), "Press to REENABLE program");
  ASSERT_EQ(h.messages.size(), 1u);
  EXPECT_EQ(h.messages[0].text, "Corvane has been manually disabled");

  h.clearRecords();
  f->frmToolbar.btnManualOverride.click();
  EXPECT_FALSE(f->btnManualDisable.down());
  EXPECT_FALSE(f->frmToolbar.btnManualOverride.down());
  ASSERT_EQ(h.messages.size(), 1u);
  EXPECT_EQ(h.messages[0].text, "Corvane reenabled");
}

TEST_F(WindowModel, OverrideButtonsAgreeWhicheverIsClicked) {
  const struct {
    bool mainButton;
    bool downAfter;
  } clicks[] = {{true, true}, {false, false}, {false, true}, {true, false}};
  for (const auto& c : clicks) {
    if (c.mainButton)
      f->btnManualDisable.click();
    else
      f->frmToolbar.btnManualOverride.click();
    EXPECT_EQ(f->btnManualDisable.down(), c.downAfter);
    EXPECT_EQ(f->frmToolbar.btnManualOverride.down(), c.downAfter);
  }
}

TEST_F(WindowModel, SwitchingBetweenWindows) {
  f->FormMain.show();
  f->btnToolbar.click();
  EXPECT_TRUE(f->frmToolbar.frmToolbar.visible());
  EXPECT_FALSE(f->FormMain.visible());
  f->frmToolbar.btnToolbarToggle.click();
  EXPECT_TRUE(f->FormMain.visible());
  EXPECT_FALSE(f->frmToolbar.frmToolbar.visible());
}

TEST_F(WindowModel, CreationTexts) {
  EXPECT_EQ(f->FormMain.caption(), edition::MainCaption);
  EXPECT_EQ(f->btnToolbar.caption(), edition::ToolbarButtonCaption);
  EXPECT_EQ(f->pgMain.pages, (std::vector<std::string>{"  &FLIGHT STATUS  ", " F&UEL TRANSFERS ",
                                                       "  O&PTIONS  ", " &KEYSTROKES "}));
  // The rate group carries its constants; the key group keeps no selection of its own.
  ASSERT_EQ(f->rdgrpFuelTransferRate.items().size(), 2u);
  EXPECT_EQ(f->rdgrpFuelTransferRate.itemData(0), fuel::DrogueRate);
  EXPECT_EQ(f->rdgrpFuelTransferRate.itemData(1), fuel::BoomRate);
  EXPECT_EQ(f->rdgrpCtrlKeys.items(),
            (std::vector<std::string>{"SHIFT+<key>", "SHIFT+CTRL+<key>"}));
  const std::string cutoffHint = edition::OptionCaptionHints ? "Catapult cutoff (knots):" : "";
  const std::string keysHint =
      edition::OptionCaptionHints ? "  Special Key Combo for all Keystrokes:  " : "";
  EXPECT_EQ(f->lblCatapultCutoff.hint(), cutoffHint);
  EXPECT_EQ(f->rdgrpCtrlKeys.hint(), keysHint);
  EXPECT_EQ(f->chkbxDetectTailhook.visible(), edition::HasTailhookOption);

  EXPECT_EQ(f->frmToolbar.frmToolbar.clientWidth, 30);
  EXPECT_EQ(f->frmToolbar.frmToolbar.caption(), "CV");
  EXPECT_EQ(f->frmToolbar.frmToolbar.hint(), "Corvane as Toolbar");
  const std::pair<const char*, const char*> faces[] = {
      {"", "Return to Corvane Main Window"},
      {"Rst ", "Reset Program and Connection"},
      {"MO", "Manual Override"},
      {"Stat ", "Show Status"},
      {"Cat ", "Catapult Arm/Disarm"},
      {"F+ ", "Fuel Load"},
      {"F-  ", "Fuel OFFload"},
      {"FR ", "Fuel Rate Toggle"},
      {"D1", "Battle Damage Level 1"},
      {"D2", "Battle Damage Level 2"},
      {"D3", "Battle Damage Level 3"},
  };
  const auto buttons = f->frmToolbar.buttons();
  ASSERT_EQ(buttons.size(), std::size(faces));
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    EXPECT_EQ(buttons[i]->caption(), faces[i].first) << buttons[i]->name();
    EXPECT_EQ(buttons[i]->hint(), faces[i].second) << buttons[i]->name();
  }
  // Every toolbar button but the first forwards to an action whose hint it shares.
  const auto actions = f->actions();
  for (std::size_t i = 3; i < buttons.size(); ++i)
    EXPECT_EQ(buttons[i]->hint(), actions[i - 1]->hint()) << buttons[i]->name();
  EXPECT_EQ(f->frmToolbar.Shapes[0], platform::Color::White);
  EXPECT_EQ(f->frmToolbar.Shapes[7], platform::Color::Red);
}

}  // namespace

TEST(WindowTexts, EveryControlShowsItsTextAfterStartUp) {
  harness::Harness h;
  TFormMain& form = h.start();
  for (const ExpectedText& e : ExpectedStartTexts()) {
    platform::Control* c = form.findControl(e.window, e.name);
    ASSERT_NE(c, nullptr) << e.window << "." << e.name;
    EXPECT_EQ(ModelText(*c), e.text) << e.window << "." << e.name;
  }
}
