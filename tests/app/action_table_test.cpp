#include "app/action_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catapult/plain_form.h"
#include "gui/layout.h"
#include "sim/hot_keys.h"

namespace {

/// Every action of a plain window only records that it ran.
struct Recording : catapult_test::PlainForm {
  std::vector<std::string> ran;
  Recording() {
    for (platform::Action* a : form->actions())
      a->onExecute = [this, a] { ran.push_back(a->name()); };
  }
};

TEST(ActionTable, EachRowBindsItsActionButtonKeyAndLabel) {
  Recording r;
  TFormMain& f = *r.form;
  const std::vector<platform::Action*> actions = f.actions();
  const std::vector<platform::SpeedButton*> buttons = f.frmToolbar.buttons();
  const THotKeyList& keys = f.hotKeys.List();
  ASSERT_EQ(actions.size(), ActionTable().size());
  ASSERT_EQ(buttons.size(), ActionTable().size() + 1);  // the toggle comes first
  for (size_t i = 0; i < ActionTable().size(); ++i) {
    const TActionRow& row = ActionTable()[i];
    platform::Action& action = ActionOf(f, row);
    SCOPED_TRACE(action.name());
    EXPECT_EQ(actions[i], &action);
    EXPECT_EQ(buttons[i + 1], ButtonOf(f.frmToolbar, row));
    if (row.Action.Member) {  // a row naming members uses the window's own
      EXPECT_EQ(&action, &(f.*row.Action.Member));
      EXPECT_EQ(buttons[i + 1], &(f.frmToolbar.*row.ToolbarButton.Button));
      EXPECT_EQ(KeyLabelOf(f, row), &(f.*row.KeyLabel.Label));
    }

    // The button runs the row's action (the override button through its own click).
    r.ran.clear();
    buttons[i + 1]->click();
    EXPECT_EQ(r.ran, std::vector<std::string>{action.name()});
    // Only the override button's own click turns the main window's override button down (the
    // recording action leaves it as the click set it).
    EXPECT_EQ(f.btnManualDisable.down(), &action == &f.actManualOverride);
    f.btnManualDisable.setDown(false);

    // The key runs the same action and writes the row's label.
    const int k = f.hotKeys.KeyIndex(row.HotKey.Key);
    ASSERT_GE(k, 0);
    const THotKey& key = keys.keys[static_cast<size_t>(k)];
    EXPECT_EQ(key.Action, &action);
    EXPECT_EQ(key.Label, KeyLabelOf(f, row));
    EXPECT_EQ(key.TogglesOverride, &action == &f.actManualOverride);
  }
}

TEST(ActionTable, TheKeystrokesPageListsTheLabelsInPageOrder) {
  catapult_test::PlainForm p;
  TFormMain& f = *p.form;
  std::vector<platform::Control*> page;
  for (const TControlEntry& e : f.controls())
    if (e.page == 3) page.push_back(e.control);
  const std::vector<platform::Control*> expected{
      &f.lblStatusKey,           &f.lblCatapultKey,       &f.lblFuelLoadKey, &f.lblFuelOffloadKey,
      &f.lblFuelTransferRateKey, &f.lblManualOverrideKey, &f.lblResetKey,    &f.lblBattleDamage1Key,
      &f.lblBattleDamage2Key,    &f.lblBattleDamage3Key};
  EXPECT_EQ(page, expected);
}

int nearestRuns = 0;

// A row that names no members: the window makes its action, Keystrokes label and toolbar button,
// named after the row, wires them to the row's handler, registers and polls its key, and the
// Windows layout places the label and button after today's.
TEST(ActionTable, ARowWithoutMembersGetsItsOwnControlsWiredPolledAndPlaced) {
  std::vector<TActionRow> rows(ActionTable().begin(), ActionTable().end());
  rows.push_back({"ShowNearest",
                  [](TFormMain&) { ++nearestRuns; },
                  "",
                  "Show Nearest Carrier",
                  {"F4", 0x73, 11, 11, 11, false},
                  {nullptr, "Show Nearest Carrier", 11},
                  {nullptr, "N", nullptr}});
  harness::Harness h;
  sim::HotKeyTable table(h.server->space(), 56);
  TFormServices services;
  services.loop = &h.loop;
  services.random = &h.random;
  services.programFolder = h.folder;
  services.link = &h.link;
  services.actionTable = rows;
  TFormMain f(std::move(services));
  uint32_t result = 0;
  ASSERT_TRUE(h.link.SimLinkOpen(0, result));
  f.SetCaptions();
  f.frmToolbar.FormCreate();

  platform::Control* action = f.findControl("ActionList1", "actShowNearest");
  platform::Control* label = f.findControl("FormMain", "lblShowNearestKey");
  auto* button = static_cast<platform::SpeedButton*>(f.findControl("frmToolbar", "btnShowNearest"));
  ASSERT_TRUE(action && label && button);
  EXPECT_EQ(f.actions().back(), action);
  EXPECT_EQ(f.frmToolbar.buttons().back(), button);
  EXPECT_EQ(action->hint(), "Show Nearest Carrier");
  EXPECT_EQ(button->caption(), "N");
  EXPECT_EQ(button->hint(), "Show Nearest Carrier");

  // The button and the key run the row's handler; the key's label is written.
  nearestRuns = 0;
  button->click();
  EXPECT_EQ(nearestRuns, 1);
  f.rdgrpCtrlKeys.addItem("SHIFT+<key>");
  f.rdgrpCtrlKeys.addItem("SHIFT+CTRL+<key>");
  f.rdgrpCtrlKeys.setItemIndex(0);
  EXPECT_EQ(static_cast<platform::Label*>(label)->text(), "SHIFT+F4   Show Nearest Carrier");
  ASSERT_GT(table.press(*sim::parseHotKey("SHIFT+F4")), 0);
  f.hotKeys.tmrKeystrokeTimer();
  EXPECT_EQ(nearestRuns, 2);

  // The next free row of the Keystrokes page, and a toolbar slot below the last button.
  const int buttons = static_cast<int>(f.frmToolbar.buttons().size());
  for (const TControlEntry& e : f.controls()) {
    gui::Rect r{};
    if (e.control == label) {
      EXPECT_EQ(e.page, 3);
      ASSERT_TRUE(gui::placeOf(e.window, e.page, e.order, e.control->name(), r));
      EXPECT_EQ(std::vector<int>({r.x, r.y, r.w, r.h}), std::vector<int>({12, 108, 215, 15}));
    }
    if (e.control == button) {
      ASSERT_TRUE(gui::placeOf(e.window, e.page, e.order, e.control->name(), r));
      EXPECT_EQ(std::vector<int>({r.x, r.y, r.w, r.h}), std::vector<int>({3, 277, 23, 23}));
      EXPECT_EQ(gui::toolbarClientHeight(buttons), r.y + r.h + 4);
    }
  }
  h.link.SimLinkClose();
}

}  // namespace
