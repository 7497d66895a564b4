#include <cctype>
#include <string>

#include "app/action_table.h"
#include "app/form_main.h"
#include "edition/edition.h"
#include "fuel/fuel_transfer.h"
#include "text/number_format.h"

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
  btnToolbarToggle.setCaption("");
  btnToolbarToggle.setHint("Return to Corvane Main Window");
  // The other buttons, one per action: the button's hint names its action.
  for (const TActionRow& row : actionRows) {
    platform::SpeedButton* button = ButtonOf(*this, row);
    if (!button) continue;
    button->setCaption(row.ToolbarButton.Caption);
    button->setHint(*row.Hint ? row.Hint : row.Caption);
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

  for (std::size_t i = 0; i < TOptions::NumberRows().size(); ++i)
    options.NumberControls()[i].caption.setText(TOptions::NumberRows()[i].caption);
  lblAccelDecelNote.setText("Accel/Decel");
  chkbxShowCablesActiveMsg.setCaption("Show \"Trapping Active\" Message");
  chkbxDamageSounds.setCaption("Play Battle Damage sounds");
  chkbxCatSmoke.setCaption("Use Aircraft Smoke when Catapulting");
  chkbxSpecialSoundHandling.setCaption("Special sound handling");
  chkbxTrapLog.setCaption("Keep a trap and launch log");
  chkbxLsoCalls.setCaption("LSO calls");
  chkbxRealisticGear.setCaption("Realistic arresting gear and catapult");
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
  for (platform::Label* l : KeyLabelsOf(*this)) l->setFontColor(platform::Color::Navy);

  for (const TActionRow& row : actionRows) {
    platform::Action& action = ActionOf(*this, row);
    if (*row.Caption) action.setCaption(row.Caption);
    if (*row.Hint) action.setHint(row.Hint);
  }
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
