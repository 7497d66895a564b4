#include "gui/layout.h"

#include <algorithm>
#include <iterator>
#include <string_view>
#include <vector>

#include "config/options.h"

namespace gui {

namespace {

struct Place {
  std::string_view name;
  Rect r;
};

// The main window, top to bottom, and the page area of pgMain below the tabs.
constexpr Place kMain[] = {
    {"btnReset", {8, 8, 479, 25}},
    {"lblConnectionInfo", {8, 38, 479, 15}},
    {"lblOtherStatus", {8, 56, 376, 28}},
    {"btnToolbar", {392, 58, 95, 22}},
    {"chkbxShowDisableReminders", {8, 88, 260, 17}},
    {"btnManualDisable", {8, 108, 479, 25}},
    {"pgMain", {8, 138, 479, 176}},
    {"cmbDatFile", {8, 320, 479, 250}},  // open, its list shows 15 lines
    // Page "FLIGHT STATUS".
    {"lblCurrentMagVar", {10, 8, 300, 15}},
    {"lblNumOfCarriersLoaded", {10, 26, 300, 15}},
    {"lblCableCatchStatus", {10, 44, 300, 15}},
    {"lblFlightStatusCaption", {10, 66, 80, 15}},
    {"lblFlightStatus", {92, 66, 90, 15}},
    {"lblActivelyCheckingCaption", {10, 86, 120, 15}},
    {"lblActivelyCheckingStatus", {139, 86, 90, 15}},
    {"lblNearestCarrier", {10, 110, 450, 15}},
    // Page "FUEL TRANSFERS".
    {"rdgrpFuelTransferRate", {10, 8, 200, 64}},
    {"lblFuelTransferStatus", {10, 84, 450, 15}},
    // Page "OPTIONS": the numbers are placed by numberPlace; then the check boxes and keys, in
    // a column wide enough for "Detect Traps only if Tailhook is extended" in MS Sans Serif.
    {"chkbxShowCablesActiveMsg", {258, 4, 211, 17}},
    {"chkbxDamageSounds", {258, 21, 211, 17}},
    {"chkbxCatSmoke", {258, 38, 211, 17}},
    {"chkbxSpecialSoundHandling", {258, 55, 211, 17}},
    {"chkbxDetectTailhook", {258, 72, 211, 17}},
    {"rdgrpCtrlKeys", {258, 92, 211, 50}},
    // Page "KEYSTROKES": two columns; rows 1-2 and 3-5 apart by a small gap.
    {"lblStatusKey", {12, 10, 215, 15}},
    {"lblCatapultKey", {12, 28, 215, 15}},
    {"lblFuelLoadKey", {12, 54, 215, 15}},
    {"lblFuelOffloadKey", {12, 72, 215, 15}},
    {"lblFuelTransferRateKey", {12, 90, 215, 15}},
    {"lblManualOverrideKey", {240, 10, 225, 15}},
    {"lblResetKey", {240, 28, 225, 15}},
    {"lblBattleDamage1Key", {240, 54, 225, 15}},
    {"lblBattleDamage2Key", {240, 72, 225, 15}},
    {"lblBattleDamage3Key", {240, 90, 225, 15}},
};

// The numbers of the options page, one grid row each from the top of the page: caption, edit
// field and up-down control. The rows share the height above the trap-log check box; at most
// kNumberPitch apart. The note beside the timing granularity is as wide as "Accel/Decel" in
// MS Sans Serif. Below the numbers: the realistic-gear check box, then the trap-log check box
// sharing its row with the LSO-calls check box, to its right.
constexpr int kNumberTop = 7;
constexpr int kNumberPitch = 24;
constexpr int kNumberBottom = 107;
constexpr Rect kRealisticGear{8, kNumberBottom + 2, 248, 17};
constexpr int kTrapLogTop = 128;
constexpr Rect kTrapLog{8, kTrapLogTop, 150, 17};
constexpr Rect kLsoCalls{164, kTrapLogTop, 88, 17};

/// The place of a number's caption, edit field or up-down control, or of the note beside the
/// timing granularity; false for any other control.
bool numberPlace(std::string_view name, Rect& r) {
  const std::vector<TNumberOption>& numbers = TOptions::NumberRows();
  const int count = static_cast<int>(numbers.size());
  const int pitch = std::min(kNumberPitch, (kNumberBottom - kNumberTop) / std::max(count, 1));
  const int field = std::min(21, pitch - 1);
  for (int i = 0; i < count; ++i) {
    const std::string_view n = numbers[static_cast<std::size_t>(i)].name;
    const int top = kNumberTop + i * pitch;
    const bool note = name == "lblAccelDecelNote" && n == "TimingResolution";
    if (name.size() == 3 + n.size() && name.starts_with("lbl") && name.ends_with(n))
      r = {8, top + 3, 110, 15};
    else if (name.size() == 3 + n.size() && name.starts_with("edt") && name.ends_with(n))
      r = {120, top, 56, field};
    else if (name.size() == 5 + n.size() && name.starts_with("updwn") && name.ends_with(n))
      r = {176, top, 16, field};
    else if (note)
      r = {194, top + 3, 62, 15};
    else
      continue;
    return true;
  }
  return false;
}

constexpr std::string_view kToolButtons[] = {
    "btnToolbarToggle", "btnReset",         "btnManualOverride", "btnShowStatus",
    "btnCatapultArm",   "btnFuelLoad",      "btnFuelOffload",    "btnToggleFuelRate",
    "btnBattleDamage1", "btnBattleDamage2", "btnBattleDamage3"};

constexpr int kToolMargin = 4;
constexpr int kToolGroupGap = 4;

// The button groups of the toolbar: 1, 2-4, 5, 6-8, 9-11, and the buttons after them (numbered
// from 0 here).
int toolGroupOf(int button) {
  return button == 0    ? 0
         : button <= 3  ? 1
         : button == 4  ? 2
         : button <= 7  ? 3
         : button <= 10 ? 4
                        : 5;
}

// The Keystrokes page holds ten named labels in five rows of two columns; the labels after them
// fill the rows below, left then right, 18 pixels apart.
constexpr int kKeyPage = 3;
constexpr int kNamedKeyLabels = 10;
constexpr int kLastKeyRowTop = 90;
constexpr int kKeyRowPitch = 18;
constexpr Rect kKeyColumn[] = {{12, 0, 215, 15}, {240, 0, 225, 15}};

int toolButtonTop(int button) {
  return kToolMargin + button * kToolButtonSize + toolGroupOf(button) * kToolGroupGap;
}

}  // namespace

bool layoutOf(std::string_view window, std::string_view name, Rect& r) {
  if (window == "FormMain") {
    if (name == "chkbxTrapLog") {
      r = kTrapLog;
      return true;
    }
    if (name == "chkbxLsoCalls") {
      r = kLsoCalls;
      return true;
    }
    if (name == "chkbxRealisticGear") {
      r = kRealisticGear;
      return true;
    }
    if (numberPlace(name, r)) return true;
    for (const Place& p : kMain)
      if (p.name == name) {
        r = p.r;
        return true;
      }
  } else if (window == "frmToolbar") {
    for (int i = 0; i < static_cast<int>(std::size(kToolButtons)); ++i)
      if (kToolButtons[i] == name) {
        r = {kToolBarWidth, toolButtonTop(i), kToolButtonSize, kToolButtonSize};
        return true;
      }
  }
  return false;
}

bool placeOf(std::string_view window, int page, int order, std::string_view name, Rect& r) {
  if (layoutOf(window, name, r)) return true;
  if (window == "FormMain" && page == kKeyPage && order >= kNamedKeyLabels) {
    const int extra = order - kNamedKeyLabels;
    r = kKeyColumn[extra % 2];
    r.y = kLastKeyRowTop + (1 + extra / 2) * kKeyRowPitch;
    return true;
  }
  if (window == "frmToolbar" && order > static_cast<int>(std::size(kToolButtons))) {
    r = {kToolBarWidth, toolButtonTop(order - 1), kToolButtonSize, kToolButtonSize};
    return true;
  }
  return false;
}

Rect radioItemRect(const Rect& group, int index) {
  return {group.x + 10, group.y + 16 + index * 18, group.w - 20, 17};
}

Rect toolbarShapeRect(int index) {
  // Pairs, left and right edge, beside the groups 2-4 (plain), 5 (lime), 6-8 (aqua), 9-11 (red).
  constexpr int first[] = {1, 4, 5, 8};
  constexpr int count[] = {3, 1, 3, 3};
  const int group = index / 2;
  const int x = index % 2 == 0 ? 0 : kToolBarWidth + kToolButtonSize + 1;
  return {x, toolButtonTop(first[group]), kToolBarWidth, count[group] * kToolButtonSize};
}

int toolbarClientHeight(int buttons) {
  return toolButtonTop(buttons - 1) + kToolButtonSize + kToolMargin;
}

}  // namespace gui
