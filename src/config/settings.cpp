#include <string>
#include <string_view>
#include <vector>

#include "config/carrier_data.h"
#include "config/config_names.h"
#include "config/options.h"
#include "platform/ini_file.h"

namespace {

constexpr int DefaultLastLeft = 300;
constexpr int DefaultLastTop = 200;
constexpr int DefaultToolbarLeft = 0;
constexpr int DefaultToolbarTop = 124;

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

bool TOptions::LoadSettings() {
  platform::IniFile settings(view_.ProgramFolder + SettingsFileName);
  if (!settings.readable()) {
    view_.lblConnectionInfo.setText(
        "Connection to FSUIPC OK, but...problem loading/creating Corvane.INI");
    return false;
  }
  view_.FormMain.moveTo(settings.readInteger(SectionGeneral, KeyLastLeft, DefaultLastLeft),
                        settings.readInteger(SectionGeneral, KeyLastTop, DefaultLastTop));

  const std::string lastDatFile = settings.readString(SectionGeneral, KeyLastDatFileUsed, "");
  const int remembered =
      lastDatFile.empty() ? -1 : IndexOfTextIgnoringCase(view_.cmbDatFile.items(), lastDatFile);
  if (remembered >= 0)
    view_.cmbDatFile.setItemIndex(remembered);
  else if (!view_.carrierData.SelectDefaultDatFile(settings))
    return false;

  view_.frmToolbar.moveTo(
      settings.readInteger(SectionGeneral, KeyVerticalToolbarLeft, DefaultToolbarLeft),
      settings.readInteger(SectionGeneral, KeyVerticalToolbarTop, DefaultToolbarTop));
  for (std::size_t i : loadOrder_) {
    const TOptionRow& r = rows_[i];
    if (!r.present) continue;
    switch (r.kind) {
      case TOptionKind::Real:
        Set(r, settings.readFloat(r.section, r.key, r.defaultValue));
        break;
      case TOptionKind::Integer:
        Set(r, settings.readInteger(r.section, r.key, static_cast<int>(r.defaultValue)));
        break;
      case TOptionKind::Check:
        r.check->setChecked(settings.readBool(r.section, r.key, r.defaultValue != 0));
        break;
      case TOptionKind::Choice:
        r.choice->setItemIndex(CorrectedChoice(
            settings.readInteger(r.section, r.key, static_cast<int>(r.defaultValue))));
        if (r.afterLoad) r.afterLoad();
        break;
    }
  }
  return true;
}

void TOptions::SaveSettings() {
  if (!view_.cmbDatFile.enabled()) return;
  const std::string path = view_.ProgramFolder + SettingsFileName;
  // Everything is set in memory and written in one atomic replace: the other lines of the
  // file survive, and a failed write leaves the old file whole. A key the file lacks goes to
  // the end of its section, so the order of the calls is the order of the keys in a new file.
  platform::IniFile settings(path);
  if (!settings.readable()) {
    view_.showErrorBox("Unable to write to " + path);
    return;
  }
  settings.setString(SectionGeneral, KeyLastDatFileUsed, view_.cmbDatFile.text());
  settings.setInteger(SectionGeneral, KeyLastLeft, view_.FormMain.left());
  settings.setInteger(SectionGeneral, KeyLastTop, view_.FormMain.top());
  for (std::size_t i : saveOrder_) {
    const TOptionRow& r = rows_[i];
    if (!r.present) continue;
    switch (r.kind) {
      case TOptionKind::Real:
        settings.setFloat(r.section, r.key, r.saved());
        break;
      case TOptionKind::Integer:
        settings.setInteger(r.section, r.key, static_cast<int>(r.saved()));
        break;
      case TOptionKind::Check:
        settings.setBool(r.section, r.key, r.check->checked());
        break;
      case TOptionKind::Choice:
        settings.setInteger(r.section, r.key, r.choice->itemIndex());
        break;
    }
  }
  // The toolbar's place closes the General section.
  settings.setInteger(SectionGeneral, KeyVerticalToolbarLeft, view_.frmToolbar.left());
  settings.setInteger(SectionGeneral, KeyVerticalToolbarTop, view_.frmToolbar.top());
  if (!settings.save()) view_.showErrorBox("Unable to write to " + path);
}
