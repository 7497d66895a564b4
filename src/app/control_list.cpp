#include "app/action_table.h"
#include "app/form_main.h"
#include "simlink/sim_link.h"

std::vector<TControlEntry> TFormMain::controls() {
  std::vector<TControlEntry> list;
  auto add = [&list](platform::Control& c, const char* window, int page) {
    int order = 0;
    for (const TControlEntry& e : list)
      if (std::string_view(e.window) == window && e.page == page) ++order;
    list.push_back({&c, window, page, order});
  };
  // The main window, top to bottom.
  add(FormMain, "FormMain", -1);
  for (platform::Control* c : std::initializer_list<platform::Control*>{
           &btnReset, &lblConnectionInfo, &lblOtherStatus, &btnToolbar, &chkbxShowDisableReminders,
           &btnManualDisable, &pgMain, &cmbDatFile, &lstboxDatFiles})
    add(*c, "FormMain", -1);
  for (platform::Control* c : std::initializer_list<platform::Control*>{
           &lblCurrentMagVar, &lblNumOfCarriersLoaded, &lblCableCatchStatus,
           &lblFlightStatusCaption, &lblFlightStatus, &lblActivelyCheckingCaption,
           &lblActivelyCheckingStatus, &lblNearestCarrier})
    add(*c, "FormMain", 0);
  add(rdgrpFuelTransferRate, "FormMain", 1);
  add(lblFuelTransferStatus, "FormMain", 1);
  // Options: each caption, then its edit field and up-down control.
  for (TNumberControls& number : options.NumberControls()) {
    add(number.caption, "FormMain", 2);
    add(number.edit, "FormMain", 2);
    add(number.updown, "FormMain", 2);
  }
  add(lblAccelDecelNote, "FormMain", 2);
  add(chkbxRealisticGear, "FormMain", 2);
  add(chkbxTrapLog, "FormMain", 2);
  add(chkbxLsoCalls, "FormMain", 2);
  for (platform::Control* c : std::initializer_list<platform::Control*>{
           &chkbxShowCablesActiveMsg, &chkbxDamageSounds, &chkbxCatSmoke,
           &chkbxSpecialSoundHandling, &chkbxDetectTailhook, &rdgrpCtrlKeys})
    add(*c, "FormMain", 2);
  for (platform::Label* l : KeyLabelsOf(*this)) add(*l, "FormMain", 3);
  // The toolbar, top to bottom.
  add(frmToolbar.frmToolbar, "frmToolbar", -1);
  for (platform::SpeedButton* b : frmToolbar.buttons()) add(*b, "frmToolbar", -1);
  // The actions, shared by buttons, toolbar and hot keys.
  for (platform::Action* a : actions()) add(*a, "ActionList1", -1);
  return list;
}

platform::Control* TFormMain::findControl(std::string_view window, std::string_view name) {
  for (const TControlEntry& e : controls())
    if ((window.empty() || window == e.window) && e.control->name() == name) return e.control;
  return nullptr;
}

void TFormMain::attachServices() {
  loop().onError = [this](const std::string& text) { showErrorBox(text); };
}

void TFormMain::detachServices() { loop().onError = nullptr; }
