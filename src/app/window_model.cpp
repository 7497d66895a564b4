#include <cctype>
#include <string>

#include "app/edition.h"
#include "app/form_main.h"
#include "app/number_format.h"
#include "fuel/fuel_transfer.h"

namespace {

/// Upper case of 8-bit text: only the ASCII letters change.
std::string UpperCase(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

/// The status message is cut so that the text before the closing quote and parenthesis
/// holds at most this many characters.
constexpr std::size_t StatusTextLimit = 97;

}  // namespace

void TfrmToolbar::FormCreate() {
  frmToolbar.setCaption("CV");
  frmToolbar.setHint("Corvane as Toolbar");
  frmToolbar.clientWidth = 30;
  struct Face {
    platform::SpeedButton* button;
    const char* caption;
    const char* hint;
  };
  const Face faces[] = {
      {&btnToolbarToggle, "", "Return to Corvane Main Window"},
      {&btnReset, "Rst ", "Reset Program and Connection"},
      {&btnManualOverride, "MO", "Manual Override"},
      {&btnShowStatus, "Stat ", "Show Status"},
      {&btnCatapultArm, "Cat ", "Catapult Arm/Disarm"},
      {&btnFuelLoad, "F+ ", "Fuel Load"},
      {&btnFuelOffload, "F-  ", "Fuel OFFload"},
      {&btnToggleFuelRate, "FR ", "Fuel Rate Toggle"},
      {&btnBattleDamage1, "D1", "Battle Damage Level 1"},
      {&btnBattleDamage2, "D2", "Battle Damage Level 2"},
      {&btnBattleDamage3, "D3", "Battle Damage Level 3"},
  };
  for (const Face& f : faces) {
    f.button->setCaption(f.caption);
    f.button->setHint(f.hint);
  }
  // Group bars in pairs, one on each side of the column: reset/override/status, catapult,
  // fuel, battle damage.
  Shapes = {platform::Color::White, platform::Color::White, platform::Color::Lime,
            platform::Color::Lime,  platform::Color::Aqua,  platform::Color::Aqua,
            platform::Color::Red,   platform::Color::Red};
}

void TFormMain::SetCaptions() {
  if constexpr (!edition::CaptionSetAtEveryReset) FormMain.setCaption(edition::MainCaption);
  FormMain.clientWidth = 495;
  FormMain.clientHeight = 350;

  btnReset.setCaption("Reset Program and Connection");
  btnToolbar.setCaption(edition::ToolbarButtonCaption);
  chkbxShowDisableReminders.setCaption("Show \"Disabled\" Reminders");
  btnManualDisable.setCaption("Manual override -- disable program");
  pgMain.pages = {"  &FLIGHT STATUS  ", " F&UEL TRANSFERS ", "  O&PTIONS  ", " &KEYSTROKES "};

  lblFlightStatusCaption.setText("Flight status:");
  lblActivelyCheckingCaption.setText("Cable-catch checking:");

  rdgrpFuelTransferRate.setCaption(" Transfer Rate ");
  rdgrpFuelTransferRate.clearItems();
  rdgrpFuelTransferRate.addItem(fuel::DrogueRateText, fuel::DrogueRate);
  rdgrpFuelTransferRate.addItem(fuel::BoomRateText, fuel::BoomRate);
  rdgrpFuelTransferRate.setItemIndex(0);

  lblCatapultCutoff.setText("Catapult cutoff (knots):");
  lblCatapultHoldFactor.setText("Cat Hold Factor:");
  lblAccelFactor.setText("Accel Factor:");
  lblDecelFactor.setText("Decel Factor:");
  lblTimingResolution.setText("Timing granularity:");
  lblAccelDecelNote.setText("Accel/Decel");
  chkbxShowCablesActiveMsg.setCaption("Show \"Trapping Active\" Message");
  chkbxDamageSounds.setCaption("Play Battle Damage sounds");
  chkbxCatSmoke.setCaption("Use Aircraft Smoke when Catapulting");
  chkbxSpecialSoundHandling.setCaption("Special sound handling");
  chkbxTrapLog.setCaption("Keep a trap and launch log");
  if constexpr (edition::HasTailhookOption)
    chkbxDetectTailhook.setCaption("Detect Traps only if Tailhook is extended");
  else
    chkbxDetectTailhook.setVisible(false);
  // The key combination is chosen by the settings loader; until then no item is selected.
  rdgrpCtrlKeys.setCaption("  Special Key Combo for all Keystrokes:  ");
  rdgrpCtrlKeys.clearItems();
  rdgrpCtrlKeys.addItem("SHIFT+<key>");
  rdgrpCtrlKeys.addItem("SHIFT+CTRL+<key>");
  if constexpr (edition::OptionCaptionHints) {
    lblCatapultCutoff.setHint(lblCatapultCutoff.text());
    rdgrpCtrlKeys.setHint(rdgrpCtrlKeys.caption());
  }

  // The key texts themselves follow the key combination (rdgrpCtrlKeysClick).
  for (platform::Label* l : {&lblStatusKey, &lblCatapultKey, &lblFuelLoadKey, &lblFuelOffloadKey,
                             &lblFuelTransferRateKey, &lblManualOverrideKey, &lblResetKey,
                             &lblBattleDamage1Key, &lblBattleDamage2Key, &lblBattleDamage3Key})
    l->setFontColor(platform::Color::Navy);

  actResetProgram.setCaption("Reset Program and Connection");
  actManualOverride.setCaption("Manual Override");
  actShowStatus.setHint("Show Status");
  actCatapultArm.setHint("Catapult Arm/Disarm");
  actFuelLoad.setHint("Fuel Load");
  actFuelOFFload.setHint("Fuel OFFload");
  actFuelRateToggle.setHint("Fuel Rate Toggle");
  actBattleDamage1.setHint("Battle Damage Level 1");
  actBattleDamage2.setHint("Battle Damage Level 2");
  actBattleDamage3.setHint("Battle Damage Level 3");
}

void TFormMain::btnToolbarClick() {
  frmToolbar.frmToolbar.show();
  FormMain.hide();
}

void TFormMain::btnToolbarToggleClick() {
  FormMain.show();
  frmToolbar.frmToolbar.hide();
}

void TFormMain::btnManualOverrideClick() {
  // The click has already toggled this button; the main button's state is what counts, and
  // the action sets both from it.
  btnManualDisable.setDown(!btnManualDisable.down());
  frmToolbar.btnManualOverride.setDown(!frmToolbar.btnManualOverride.down());
  actManualOverride.execute();
}

void TFormMain::actShowStatusExecute() {
  if (ManuallyDisabled()) {
    cues.ShowSimMessage("Corvane status: manually disabled", 3);
    return;
  }
  std::string s = UpperCase(lblFlightStatus.text()) + ", TRAPPING " +
                  UpperCase(lblActivelyCheckingStatus.text());
  if (fuelTransfer.fuelLoading)
    s += ", LOADING FUEL @ " + UpperCase(rdgrpFuelTransferRate.selectedText());
  if (fuelTransfer.fuelOffloading)
    s += ", OFFLOADING FUEL @ " + UpperCase(rdgrpFuelTransferRate.selectedText());
  if (activity.Armed()) {
    s += ", CAT ARMED";
  } else if (carrierData.CatchZones && arrest.NearestZoneIndex >= 0 &&
             static_cast<std::size_t>(arrest.NearestZoneIndex) < carrierData.CatchZones->size() &&
             (*carrierData.CatchZones)[static_cast<std::size_t>(arrest.NearestZoneIndex)]) {
    const TCatchZoneData& zone =
        *(*carrierData.CatchZones)[static_cast<std::size_t>(arrest.NearestZoneIndex)];
    s += edition::StatusNearestCablesItem + FormatGeneral(zone.RunwayHeadingMag) + " (\"";
    if (s.size() < StatusTextLimit)
      s += arrest.NearestCarrierIdent.substr(0, StatusTextLimit - s.size());
    s += "\")";
  } else {
    s += ", no nearest cables known";
  }
  cues.ShowSimMessage(s, 7);
}
