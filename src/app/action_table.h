#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "app/form_main.h"
#include "input/hot_keys.h"

/// The hot key of an action. The ranks place it in the three orders of the hot keys (lowest
/// first); a new key takes the next free rank in each.
struct TActionHotKey {
  /// Key name ("F8"); null: the action has no hot key.
  const char* Key = nullptr;
  /// Virtual-key code (F1 = 0x70 ... F12 = 0x7B).
  uint8_t Code = 0;
  /// Rank in the order slots are given in (the most important first).
  int AllocationRank = 0;
  /// Rank in the order slots are freed and pressed keys served.
  int PollRank = 0;
  /// Rank in the order the Keystrokes page labels are written.
  int LabelRank = 0;
  /// Toggles both manual-override buttons before the action runs.
  bool TogglesOverride = false;
};

/// The line of an action's hot key on the Keystrokes page.
struct TActionKeyLabel {
  /// The label member; null in a row that names no members (the window makes the label).
  platform::Label TFormMain::*Label = nullptr;
  /// Text after the key combination and the key name ("Show Status Message").
  const char* Text = nullptr;
  /// Rank of the label on the page, top of the left column first.
  int PageRank = 0;
};

/// The toolbar button of an action.
struct TActionButton {
  /// The button member; null in a row that names no members (the toolbar makes the button).
  platform::SpeedButton TfrmToolbar::*Button = nullptr;
  /// Null: the action has no toolbar button.
  const char* Caption = nullptr;
  /// What a click does; null: it executes the action.
  void (*OnClick)(TFormMain&) = nullptr;
};

/// The action of a row: a member of the window (&TFormMain::actShowStatus), or a name from which
/// the window makes the action, its Keystrokes label and its toolbar button itself ("ShowNearest":
/// actShowNearest, lblShowNearestKey, btnShowNearest).
struct TActionMember {
  constexpr TActionMember(platform::Action TFormMain::*member) : Member(member) {}
  constexpr TActionMember(const char* name) : Name(name) {}
  platform::Action TFormMain::*Member = nullptr;
  const char* Name = nullptr;
};

/// One action of ActionList1 with everything that names or starts it. The toolbar button's hint
/// names the action: its hint, or its caption when it has none. A row that names no members has
/// a Keystrokes label when it has label text and a toolbar button when it has a caption.
struct TActionRow {
  TActionMember Action;
  /// The action's handler, on the subsystem that owns it.
  void (*OnExecute)(TFormMain&);
  /// Caption and hint of the action ("": not set).
  const char* Caption;
  const char* Hint;
  TActionHotKey HotKey;
  TActionKeyLabel KeyLabel;
  TActionButton ToolbarButton;
};

/// Every action, in the order of the action list (and of the toolbar buttons).
std::span<const TActionRow> ActionTable();

/// The action of row in form: its member, or the one the window made for the row.
platform::Action& ActionOf(TFormMain& form, const TActionRow& row);
/// The Keystrokes label of row in form; null when the row has none.
platform::Label* KeyLabelOf(TFormMain& form, const TActionRow& row);
/// The toolbar button of row; null when the row has none.
platform::SpeedButton* ButtonOf(TfrmToolbar& toolbar, const TActionRow& row);

/// The hot keys of the action table bound to form's actions and labels, with their orders.
THotKeyList HotKeysOf(TFormMain& form);

/// The Keystrokes page labels of form, in page order.
std::vector<platform::Label*> KeyLabelsOf(TFormMain& form);
