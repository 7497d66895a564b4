#include "cli/control_snapshot.h"

#include <ostream>

#include "app/form_main.h"

std::map<std::string, std::string> ControlSnapshot::take() {
  std::map<std::string, std::string> s;
  auto onOff = [](bool b) { return std::string(b ? "enabled" : "disabled"); };
  s["btnManualDisable"] = form_.btnManualDisable.caption() +
                          (form_.btnManualDisable.down() ? " [down]" : " [up]") + ", " +
                          onOff(form_.btnManualDisable.enabled());
  s["frmToolbar.btnManualOverride"] = form_.frmToolbar.btnManualOverride.down() ? "down" : "up";
  s["pgMain"] = onOff(form_.pgMain.enabled());
  s["cmbDatFile"] = form_.cmbDatFile.text() + ", " + onOff(form_.cmbDatFile.enabled());
  for (platform::CheckBox* c :
       {&form_.chkbxShowDisableReminders, &form_.chkbxShowCablesActiveMsg, &form_.chkbxDamageSounds,
        &form_.chkbxCatSmoke, &form_.chkbxSpecialSoundHandling, &form_.chkbxDetectTailhook})
    s[c->name()] = c->checked() ? "checked" : "unchecked";
  for (platform::RadioGroup* g : {&form_.rdgrpCtrlKeys, &form_.rdgrpFuelTransferRate})
    s[g->name()] = std::to_string(g->itemIndex()) + " " + g->selectedText() +
                   (g->enabled() ? "" : ", disabled");
  for (platform::Edit* e :
       {&form_.edtCatapultCutoff, &form_.edtCatapultHoldFactor, &form_.edtAccelFactor,
        &form_.edtDecelFactor, &form_.edtTimingResolution})
    s[e->name()] = e->text();
  s["FormMain"] = std::string(form_.FormMain.visible() ? "shown" : "hidden") + " at " +
                  std::to_string(form_.FormMain.left()) + "," +
                  std::to_string(form_.FormMain.top());
  s["frmToolbar"] = std::string(form_.frmToolbar.frmToolbar.visible() ? "shown" : "hidden") +
                    " at " + std::to_string(form_.frmToolbar.frmToolbar.left()) + "," +
                    std::to_string(form_.frmToolbar.frmToolbar.top());
  return s;
}

void ControlSnapshot::printChanges(std::ostream& out) {
  std::map<std::string, std::string> now = take();
  for (const auto& [name, value] : now) {
    auto it = last_.find(name);
    if (it == last_.end() || it->second != value) out << name << ": " << value << "\n";
  }
  out.flush();
  last_ = std::move(now);
}
