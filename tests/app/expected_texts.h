#pragma once

#include <string>
#include <vector>

#include "app/form_main.h"
#include "edition/edition.h"

/// The texts every front end must show once the program has started, one table for the model's
/// tests and the window's: window, control, text.
struct ExpectedText {
  const char* window;
  const char* name;
  std::string text;
};

inline std::vector<ExpectedText> ExpectedStartTexts() {
  std::vector<ExpectedText> t = {
      {"FormMain", "FormMain", edition::MainCaption},
      {"FormMain", "btnReset", "Reset Program and Connection"},
      {"FormMain", "btnToolbar", edition::ToolbarButtonCaption},
      {"FormMain", "chkbxShowDisableReminders", "Show \"Disabled\" Reminders"},
      {"FormMain", "btnManualDisable", "Manual override -- disable program"},
      {"FormMain", "lblFlightStatusCaption", "Flight status:"},
      {"FormMain", "lblActivelyCheckingCaption", "Cable-catch checking:"},
      {"FormMain", "rdgrpFuelTransferRate", " Transfer Rate "},
      {"FormMain", "lblCatapultCutoff", "Catapult cutoff (knots):"},
      {"FormMain", "lblCatapultHoldFactor", "Cat Hold Factor:"},
      {"FormMain", "lblAccelFactor", "Accel Factor:"},
      {"FormMain", "lblDecelFactor", "Decel Factor:"},
      {"FormMain", "lblTimingResolution", "Timing granularity:"},
      {"FormMain", "lblAccelDecelNote", "Accel/Decel"},
      {"FormMain", "chkbxShowCablesActiveMsg", "Show \"Trapping Active\" Message"},
      {"FormMain", "chkbxDamageSounds", "Play Battle Damage sounds"},
      {"FormMain", "chkbxCatSmoke", "Use Aircraft Smoke when Catapulting"},
      {"FormMain", "chkbxSpecialSoundHandling", "Special sound handling"},
      {"FormMain", "chkbxTrapLog", "Keep a trap and launch log"},
      {"FormMain", "chkbxLsoCalls", "LSO calls"},
      {"FormMain", "chkbxRealisticGear", "Realistic arresting gear and catapult"},
      {"FormMain", "rdgrpCtrlKeys", "  Special Key Combo for all Keystrokes:  "},
      {"FormMain", "lblStatusKey", "SHIFT+F8   Show Status Message"},
      {"FormMain", "lblCatapultKey", "SHIFT+F9   Arm/Disarm Catapult"},
      {"FormMain", "lblFuelLoadKey", "SHIFT+F5   Fuel LOAD On/Off"},
      {"FormMain", "lblFuelOffloadKey", "SHIFT+F6   Fuel OFFload On/Off"},
      {"FormMain", "lblFuelTransferRateKey", "SHIFT+F7   Toggle Transfer Rate"},
      {"FormMain", "lblManualOverrideKey", "SHIFT+F12   Program Disable/Enable"},
      {"FormMain", "lblResetKey", "SHIFT+F11   Reset Program"},
      {"FormMain", "lblBattleDamage1Key", "SHIFT+F1   Battle Damage Level 1"},
      {"FormMain", "lblBattleDamage2Key", "SHIFT+F2   Battle Damage Level 2"},
      {"FormMain", "lblBattleDamage3Key", "SHIFT+F3   Battle Damage Level 3"},
      {"frmToolbar", "frmToolbar", "CV"},
      {"frmToolbar", "btnReset", "Rst "},
      {"frmToolbar", "btnManualOverride", "MO"},
      {"frmToolbar", "btnShowStatus", "Stat "},
      {"frmToolbar", "btnCatapultArm", "Cat "},
      {"frmToolbar", "btnFuelLoad", "F+ "},
      {"frmToolbar", "btnFuelOffload", "F-  "},
      {"frmToolbar", "btnToggleFuelRate", "FR "},
      {"frmToolbar", "btnBattleDamage1", "D1"},
      {"frmToolbar", "btnBattleDamage2", "D2"},
      {"frmToolbar", "btnBattleDamage3", "D3"},
  };
  if (edition::HasTailhookOption)
    t.push_back({"FormMain", "chkbxDetectTailhook", "Detect Traps only if Tailhook is extended"});
  return t;
}

/// The text the model gives a control: a label's text, anything else's caption.
inline std::string ModelText(const platform::Control& c) {
  switch (c.kind()) {
    case platform::ControlKind::Label:
      return static_cast<const platform::Label&>(c).text();
    case platform::ControlKind::Button:
    case platform::ControlKind::SpeedButton:
      return static_cast<const platform::Button&>(c).caption();
    case platform::ControlKind::CheckBox:
      return static_cast<const platform::CheckBox&>(c).caption();
    case platform::ControlKind::RadioGroup:
      return static_cast<const platform::RadioGroup&>(c).caption();
    case platform::ControlKind::Window:
      return static_cast<const platform::Window&>(c).caption();
    default:
      return {};
  }
}
