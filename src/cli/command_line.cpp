#include "cli/command_line.h"

#include <sstream>
#include <vector>

#include "app/form_main.h"

namespace {

std::vector<std::string> words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> out;
  std::string w;
  while (in >> w) out.push_back(w);
  return out;
}

/// The rest of the line after the first word, without surrounding blanks.
std::string argument(const std::string& line) {
  const size_t start = line.find_first_not_of(" \t");
  if (start == std::string::npos) return {};
  const size_t space = line.find_first_of(" \t", start);
  if (space == std::string::npos) return {};
  const size_t from = line.find_first_not_of(" \t", space);
  if (from == std::string::npos) return {};
  const size_t to = line.find_last_not_of(" \t\r\n");
  return line.substr(from, to - from + 1);
}

bool parseInt(const std::string& s, int& v) {
  try {
    size_t used = 0;
    v = std::stoi(s, &used);
    return used == s.size();
  } catch (...) {
    return false;
  }
}

}  // namespace

bool RunCommandLine(TFormMain& form, const std::string& line, std::string& error) {
  const std::vector<std::string> w = words(line);
  if (w.empty()) return true;
  const std::string& name = w[0];
  const std::string arg = argument(line);

  for (platform::Action* a : form.actions()) {
    if (a->name() == name) {
      a->execute();
      return true;
    }
  }
  if (name == "btnManualDisable") {
    if (!form.btnManualDisable.enabled()) {
      error = "btnManualDisable is disabled";
      return false;
    }
    form.btnManualDisable.click();
    return true;
  }
  if (name == "btnReset") {
    form.btnReset.click();
    return true;
  }
  if (name == "btnToolbar") {
    form.btnToolbar.click();
    return true;
  }
  for (platform::SpeedButton* b : form.frmToolbar.buttons()) {
    if (b->name() == name) {
      if (!b->enabled()) {
        error = name + " is disabled";
        return false;
      }
      b->click();
      return true;
    }
  }
  platform::CheckBox* boxes[] = {&form.chkbxShowDisableReminders, &form.chkbxShowCablesActiveMsg,
                                 &form.chkbxDamageSounds,         &form.chkbxCatSmoke,
                                 &form.chkbxSpecialSoundHandling, &form.chkbxDetectTailhook};
  for (platform::CheckBox* c : boxes) {
    if (c->name() != name) continue;
    if (c == &form.chkbxDetectTailhook && !edition::HasTailhookOption) break;
    int v = 0;
    if (!parseInt(arg, v) || (v != 0 && v != 1)) {
      error = name + " needs 0 or 1";
      return false;
    }
    c->setChecked(v == 1);
    return true;
  }
  for (platform::RadioGroup* g : {&form.rdgrpCtrlKeys, &form.rdgrpFuelTransferRate}) {
    if (g->name() != name) continue;
    int v = 0;
    if (!parseInt(arg, v) || v < 0 || v >= static_cast<int>(g->items().size())) {
      error = name + " needs an item number from 0 to " + std::to_string(g->items().size() - 1);
      return false;
    }
    if (!g->enabled()) {
      error = name + " is disabled";
      return false;
    }
    g->setItemIndex(v);
    return true;
  }
  for (platform::Edit* e :
       {&form.edtCatapultCutoff, &form.edtCatapultHoldFactor, &form.edtAccelFactor,
        &form.edtDecelFactor, &form.edtTimingResolution}) {
    if (e->name() == name) {
      e->setText(arg);
      return true;
    }
  }
  for (platform::UpDown* u :
       {&form.updwnCatapultCutoff, &form.updwnCatapultHoldFactor, &form.updwnAccelFactor,
        &form.updwnDecelFactor, &form.updwnTimingResolution}) {
    if (u->name() != name) continue;
    if (arg == "up") {
      u->clickUp();
    } else if (arg == "down") {
      u->clickDown();
    } else {
      error = name + " needs up or down";
      return false;
    }
    return true;
  }
  if (name == "cmbDatFile") {
    if (!form.cmbDatFile.enabled()) {
      error = "cmbDatFile is disabled";
      return false;
    }
    const auto& items = form.cmbDatFile.items();
    for (size_t i = 0; i < items.size(); ++i) {
      if (items[i] == arg) {
        form.cmbDatFile.pick(static_cast<int>(i));
        return true;
      }
    }
    error = "no data file named '" + arg + "' in the list";
    return false;
  }
  error = "unknown command '" + name + "' (type help)";
  return false;
}

std::string CommandHelp() {
  return "actions: actResetProgram actManualOverride actShowStatus actCatapultArm actFuelLoad "
         "actFuelOFFload actFuelRateToggle actBattleDamage1 actBattleDamage2 actBattleDamage3\n"
         "buttons: btnReset btnToolbar btnManualDisable and the toolbar's btnToolbarToggle "
         "btnManualOverride btnShowStatus btnCatapultArm btnFuelLoad btnFuelOffload "
         "btnToggleFuelRate btnBattleDamage1 btnBattleDamage2 btnBattleDamage3\n"
         "check boxes (0/1): chkbxShowDisableReminders chkbxShowCablesActiveMsg chkbxDamageSounds "
         "chkbxCatSmoke chkbxSpecialSoundHandling chkbxDetectTailhook\n"
         "radio groups (item number): rdgrpCtrlKeys rdgrpFuelTransferRate\n"
         "edit fields (text): edtCatapultCutoff edtCatapultHoldFactor edtAccelFactor "
         "edtDecelFactor edtTimingResolution\n"
         "up-down arrows (up/down): updwnCatapultCutoff updwnCatapultHoldFactor updwnAccelFactor "
         "updwnDecelFactor updwnTimingResolution\n"
         "data file: cmbDatFile <name>\n"
         "quit: close the window";
}
