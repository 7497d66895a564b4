#include "app/action_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catapult/plain_form.h"

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
    platform::Action& action = f.*row.Action;
    SCOPED_TRACE(action.name());
    EXPECT_EQ(actions[i], &action);
    EXPECT_EQ(buttons[i + 1], &(f.frmToolbar.*row.ToolbarButton.Button));

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
    EXPECT_EQ(key.Label, &(f.*row.KeyLabel.Label));
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

}  // namespace
