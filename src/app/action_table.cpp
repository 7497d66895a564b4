#include "app/action_table.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <stdexcept>
#include <string>
#include <utility>

namespace {

// One row per action, in the order of the action list. Action: a member of the window, or a name
// ("ShowNearest") for which the window makes the action, its key label and its toolbar button
// (the label and button members are then null). Hot key: key, code, allocation rank, poll rank,
// label rank, toggles the override. Key label: label, text, page rank. Toolbar: button, caption,
// click (null: executes the action).
constexpr TActionRow kActions[] = {
    {&TFormMain::actResetProgram,
     [](TFormMain& f) { f.actResetProgramExecute(); },
     "Reset Program and Connection",
     "",
     {"F11", 0x7A, 3, 3, 7, false},
     {&TFormMain::lblResetKey, "Reset Program", 7},
     {&TfrmToolbar::btnReset, "Rst ", nullptr}},
    {&TFormMain::actManualOverride,
     [](TFormMain& f) { f.actManualOverrideExecute(); },
     "Manual Override",
     "",
     {"F12", 0x7B, 1, 2, 6, true},
     {&TFormMain::lblManualOverrideKey, "Program Disable/Enable", 6},
     {&TfrmToolbar::btnManualOverride, "MO", [](TFormMain& f) { f.btnManualOverrideClick(); }}},
    {&TFormMain::actShowStatus,
     [](TFormMain& f) { f.actShowStatusExecute(); },
     "",
     "Show Status",
     {"F8", 0x77, 4, 4, 4, false},
     {&TFormMain::lblStatusKey, "Show Status Message", 1},
     {&TfrmToolbar::btnShowStatus, "Stat ", nullptr}},
    {&TFormMain::actCatapultArm,
     [](TFormMain& f) { f.catapult.actCatapultArmExecute(); },
     "",
     "Catapult Arm/Disarm",
     {"F9", 0x78, 2, 1, 5, false},
     {&TFormMain::lblCatapultKey, "Arm/Disarm Catapult", 2},
     {&TfrmToolbar::btnCatapultArm, "Cat ", nullptr}},
    {&TFormMain::actFuelLoad,
     [](TFormMain& f) { f.fuelTransfer.actFuelLoadExecute(); },
     "",
     "Fuel Load",
     {"F5", 0x74, 5, 5, 1, false},
     {&TFormMain::lblFuelLoadKey, "Fuel LOAD On/Off", 3},
     {&TfrmToolbar::btnFuelLoad, "F+ ", nullptr}},
    {&TFormMain::actFuelOFFload,
     [](TFormMain& f) { f.fuelTransfer.actFuelOFFloadExecute(); },
     "",
     "Fuel OFFload",
     {"F6", 0x75, 6, 6, 2, false},
     {&TFormMain::lblFuelOffloadKey, "Fuel OFFload On/Off", 4},
     {&TfrmToolbar::btnFuelOffload, "F-  ", nullptr}},
    {&TFormMain::actFuelRateToggle,
     [](TFormMain& f) { f.fuelTransfer.actFuelRateToggleExecute(); },
     "",
     "Fuel Rate Toggle",
     {"F7", 0x76, 10, 10, 3, false},
     {&TFormMain::lblFuelTransferRateKey, "Toggle Transfer Rate", 5},
     {&TfrmToolbar::btnToggleFuelRate, "FR ", nullptr}},
    {&TFormMain::actBattleDamage1,
     [](TFormMain& f) { f.battleDamage.actBattleDamage1Execute(); },
     "",
     "Battle Damage Level 1",
     {"F1", 0x70, 7, 7, 8, false},
     {&TFormMain::lblBattleDamage1Key, "Battle Damage Level 1", 8},
     {&TfrmToolbar::btnBattleDamage1, "D1", nullptr}},
    {&TFormMain::actBattleDamage2,
     [](TFormMain& f) { f.battleDamage.actBattleDamage2Execute(); },
     "",
     "Battle Damage Level 2",
     {"F2", 0x71, 8, 8, 9, false},
     {&TFormMain::lblBattleDamage2Key, "Battle Damage Level 2", 9},
     {&TfrmToolbar::btnBattleDamage2, "D2", nullptr}},
    {&TFormMain::actBattleDamage3,
     [](TFormMain& f) { f.battleDamage.actBattleDamage3Execute(); },
     "",
     "Battle Damage Level 3",
     {"F3", 0x72, 9, 9, 10, false},
     {&TFormMain::lblBattleDamage3Key, "Battle Damage Level 3", 10},
     {&TfrmToolbar::btnBattleDamage3, "D3", nullptr}},
};

/// Indexes 0..n-1 ordered by rank(i), lowest first; equal ranks keep index order.
template <typename Rank>
std::vector<int> OrderBy(size_t n, Rank rank) {
  std::vector<int> order(n);
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return rank(a) < rank(b); });
  return order;
}

}  // namespace

std::span<const TActionRow> ActionTable() { return kActions; }

TRowControls::TRowControls(const TActionRow& row)
    : row(row),
      action(std::string("act") + row.Action.Name),
      keyLabel(std::string("lbl") + row.Action.Name + "Key") {}

TRowButton::TRowButton(const TActionRow& row)
    : row(row), button(std::string("btn") + row.Action.Name) {}

platform::Action& ActionOf(TFormMain& form, const TActionRow& row) {
  if (row.Action.Member) return form.*row.Action.Member;
  for (TRowControls& made : form.rowControls)
    if (&made.row == &row) return made.action;
  throw std::logic_error("action row outside the window's table");
}

platform::Label* KeyLabelOf(TFormMain& form, const TActionRow& row) {
  if (row.Action.Member) return row.KeyLabel.Label ? &(form.*row.KeyLabel.Label) : nullptr;
  if (!row.KeyLabel.Text) return nullptr;
  for (TRowControls& made : form.rowControls)
    if (&made.row == &row) return &made.keyLabel;
  return nullptr;
}

platform::SpeedButton* ButtonOf(TfrmToolbar& toolbar, const TActionRow& row) {
  if (row.Action.Member)
    return row.ToolbarButton.Button ? &(toolbar.*row.ToolbarButton.Button) : nullptr;
  for (TRowButton& made : toolbar.rowButtons)
    if (&made.row == &row) return &made.button;
  return nullptr;
}

THotKeyList HotKeysOf(TFormMain& form) {
  THotKeyList list;
  std::vector<const TActionHotKey*> keys;
  for (const TActionRow& row : form.actionRows) {
    if (!row.HotKey.Key) continue;
    keys.push_back(&row.HotKey);
    THotKey key;
    key.Key = row.HotKey.Key;
    key.Code = row.HotKey.Code;
    key.Action = &ActionOf(form, row);
    key.TogglesOverride = row.HotKey.TogglesOverride;
    if (platform::Label* label = KeyLabelOf(form, row)) {
      key.Label = label;
      key.LabelText = std::string(row.HotKey.Key) + "   " + row.KeyLabel.Text;
    }
    list.keys.push_back(key);
  }
  const auto at = [&keys](int i) { return keys[static_cast<size_t>(i)]; };
  list.allocationOrder = OrderBy(keys.size(), [&](int i) { return at(i)->AllocationRank; });
  list.pollOrder = OrderBy(keys.size(), [&](int i) { return at(i)->PollRank; });
  list.labelOrder = OrderBy(keys.size(), [&](int i) { return at(i)->LabelRank; });
  return list;
}

std::vector<platform::Label*> KeyLabelsOf(TFormMain& form) {
  std::vector<std::pair<const TActionRow*, platform::Label*>> rows;
  for (const TActionRow& row : form.actionRows)
    if (platform::Label* label = KeyLabelOf(form, row)) rows.emplace_back(&row, label);
  std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
    return a.first->KeyLabel.PageRank < b.first->KeyLabel.PageRank;
  });
  std::vector<platform::Label*> labels;
  for (const auto& [row, label] : rows) labels.push_back(label);
  return labels;
}
