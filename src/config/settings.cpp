#include <cstdlib>
#include <string>

#include "app/form_main.h"
#include "config/config_names.h"
#include "platform/ini_file.h"

namespace {

constexpr int DefaultLastLeft = 300;
constexpr int DefaultLastTop = 200;
constexpr int DefaultToolbarLeft = 0;
constexpr int DefaultToolbarTop = 124;

/// An option's value in the settings file, its default when missing or unreadable.
double readOption(const platform::IniFile& settings, const options::Option<double>& o) {
  return settings.readFloat(o.section, o.key, o.defaultValue);
}
int readOption(const platform::IniFile& settings, const options::Option<int>& o) {
  return settings.readInteger(o.section, o.key, o.defaultValue);
}
/// Sets an option's value in the settings file.
void writeOption(platform::IniFile& settings, const options::Option<double>& o, double value) {
  settings.setFloat(o.section, o.key, value);
}
void writeOption(platform::IniFile& settings, const options::Option<int>& o, int value) {
  settings.setInteger(o.section, o.key, value);
}

/// An item index read from the settings: 0 or 1, anything else 0.
int CorrectedChoice(int value) { return value == 0 || value == 1 ? value : 0; }

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (asciiLower(a[i]) != asciiLower(b[i])) return false;
  return true;
}

}  // namespace

int IndexOfTextIgnoringCase(const std::vector<std::string>& items, std::string_view text) {
  for (std::size_t i = 0; i < items.size(); ++i)
    if (equalIgnoringCase(items[i], text)) return static_cast<int>(i);
  return -1;
}

bool TFormMain::LoadSettings() {
  platform::IniFile settings(ProgramFolder + SettingsFileName);
  if (!settings.readable()) {
    lblConnectionInfo.setText(
        "Connection to FSUIPC OK, but...problem loading/creating Corvane.INI");
    return false;
  }
  FormMain.moveTo(settings.readInteger(SectionGeneral, KeyLastLeft, DefaultLastLeft),
                  settings.readInteger(SectionGeneral, KeyLastTop, DefaultLastTop));

  const std::string lastDatFile = settings.readString(SectionGeneral, KeyLastDatFileUsed, "");
  const int remembered =
      lastDatFile.empty() ? -1 : IndexOfTextIgnoringCase(cmbDatFile.items(), lastDatFile);
  if (remembered >= 0)
    cmbDatFile.setItemIndex(remembered);
  else if (!SelectDefaultDatFile(settings))
    return false;

  frmToolbar.frmToolbar.moveTo(
      settings.readInteger(SectionGeneral, KeyVerticalToolbarLeft, DefaultToolbarLeft),
      settings.readInteger(SectionGeneral, KeyVerticalToolbarTop, DefaultToolbarTop));
  chkbxShowDisableReminders.setChecked(
      settings.readBool(SectionGeneral, KeyShowRemindersWhenDisabled, true));
  chkbxSpecialSoundHandling.setChecked(
      settings.readBool(SectionGeneral, KeySpecialSoundHandling, false));
  if constexpr (edition::HasTailhookOption)
    chkbxDetectTailhook.setChecked(
        settings.readBool(SectionCableOps, KeyDetectTrapsIfTailhookExtended, false));
  SetCableCatchAccelFactor(readOption(settings, options::CableCatchAccel));
  SetCatapultAccelFactor(readOption(settings, options::CatapultAccel));
  SetCatapultCutoffKnots(readOption(settings, options::CatapultCutoff));
  SetCatapultHoldFactor(readOption(settings, options::CatapultHold));
  chkbxCatSmoke.setChecked(settings.readBool(SectionCatapultOps, KeyUseAircraftSmoke, false));
  chkbxDamageSounds.setChecked(settings.readBool(SectionGeneral, KeyPlayBattleDamageSounds, false));
  chkbxShowCablesActiveMsg.setChecked(
      settings.readBool(SectionCableOps, KeyShowCablesActiveMsg, false));
  chkbxTrapLog.setChecked(settings.readBool(SectionCableOps, KeyTrapLog, false));
  // A change of the selected item runs rdgrpCtrlKeysClick, which registers the hot keys.
  rdgrpCtrlKeys.setItemIndex(
      CorrectedChoice(settings.readInteger(SectionGeneral, KeyKeystrokeCompatibilityOption, 0)));
  if (FormMain.visible()) hotKeys.rdgrpCtrlKeysClick();
  rdgrpFuelTransferRate.setItemIndex(
      CorrectedChoice(settings.readInteger(SectionFuelOps, KeyTransferRateIndex, 0)));
  SetTimingResolution(readOption(settings, options::TimingResolution));
  return true;
}

void TFormMain::SaveSettings() {
  if (!cmbDatFile.enabled()) return;
  const std::string path = ProgramFolder + SettingsFileName;
  // Everything is set in memory and written in one atomic replace: the other lines of the
  // file survive, and a failed write leaves the old file whole.
  platform::IniFile settings(path);
  if (!settings.readable()) {
    showErrorBox("Unable to write to " + path);
    return;
  }
  settings.setString(SectionGeneral, KeyLastDatFileUsed, cmbDatFile.text());
  settings.setInteger(SectionGeneral, KeyLastLeft, FormMain.left());
  settings.setInteger(SectionGeneral, KeyLastTop, FormMain.top());
  settings.setBool(SectionGeneral, KeyShowRemindersWhenDisabled,
                   chkbxShowDisableReminders.checked());
  settings.setBool(SectionGeneral, KeySpecialSoundHandling, chkbxSpecialSoundHandling.checked());
  settings.setBool(SectionGeneral, KeyPlayBattleDamageSounds, chkbxDamageSounds.checked());
  writeOption(settings, options::TimingResolution, TimingResolutionFactor);
  settings.setInteger(SectionGeneral, KeyKeystrokeCompatibilityOption, rdgrpCtrlKeys.itemIndex());
  settings.setInteger(SectionGeneral, KeyVerticalToolbarLeft, frmToolbar.frmToolbar.left());
  settings.setInteger(SectionGeneral, KeyVerticalToolbarTop, frmToolbar.frmToolbar.top());
  writeOption(settings, options::CableCatchAccel, CableCatchAccelFactor);
  settings.setBool(SectionCableOps, KeyShowCablesActiveMsg, chkbxShowCablesActiveMsg.checked());
  if constexpr (edition::HasTailhookOption)
    settings.setBool(SectionCableOps, KeyDetectTrapsIfTailhookExtended,
                     chkbxDetectTailhook.checked());
  settings.setBool(SectionCableOps, KeyTrapLog, chkbxTrapLog.checked());
  writeOption(settings, options::CatapultAccel, CatapultAccelFactor);
  writeOption(settings, options::CatapultCutoff, CatapultCutoffKnots);
  writeOption(settings, options::CatapultHold, std::abs(CatapultHoldFactor));
  settings.setBool(SectionCatapultOps, KeyUseAircraftSmoke, chkbxCatSmoke.checked());
  settings.setInteger(SectionFuelOps, KeyTransferRateIndex, rdgrpFuelTransferRate.itemIndex());
  if (!settings.save()) showErrorBox("Unable to write to " + path);
}
