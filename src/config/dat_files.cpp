#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/form_main.h"
#include "config/config_names.h"
#include "config/zone_file.h"
#include "platform/ini_file.h"
#include "platform/ini_reader.h"
#include "simlink/sim_link.h"

namespace {

/// Stops the link and every timer, so nothing still running (an arrest, a launch, the hot-key
/// poll) can bring the search and the gate back. Only the reset action starts the program again.
/// The hot keys are given back first, while the link is still open: the reset registers them
/// anew, and slots left held would fill the simulator's table halt after halt.
void HaltAfterLoadFailure(TFormMain& form) {
  form.hotKeys.ReleaseHotKeys();
  SimLinkClose();
  for (platform::Timer* t : form.timers()) t->setEnabled(false);
  form.activity.programStopped = true;
}

}  // namespace

bool TFormMain::FillDatFileList() {
  const std::vector<std::string>& names = lstboxDatFiles.items();
  if (names.empty()) {
    lblConnectionInfo.setText("Connection to FSUIPC OK, but...No .dat files found.");
    return false;
  }
  cmbDatFile.clear();
  for (const std::string& name : names) cmbDatFile.addItem(name);
  return true;
}

bool TFormMain::SelectDefaultDatFile(platform::IniFile& settings) {
  const int index = IndexOfTextIgnoringCase(cmbDatFile.items(), DefaultDatFileName);
  if (index < 0) {
    lblConnectionInfo.setText("Connection to FSUIPC OK, but...Corvane.dat file not found.");
    return false;
  }
  cmbDatFile.setItemIndex(index);
  // A failed write only means the choice is not remembered yet; the next save writes it.
  settings.writeString(SectionGeneral, KeyLastDatFileUsed, DefaultDatFileName);
  return true;
}

bool TFormMain::LoadCatchZones() {
  std::vector<int> rejected;
  const std::string datPath = ProgramFolder + cmbDatFile.text();
  const std::string logPath = ProgramFolder + DatLoadErrorLogName;
  int zonesRead = 0;
  try {
    if (!CatchZones) CatchZones = std::make_unique<TCatchZoneList>();
    CatchZones->clear();
    if (!cmbDatFile.text().empty()) {
      const platform::IniReader dat(datPath);
      if (!dat.readable()) throw std::runtime_error("Cannot read " + datPath + ".");
      zonesRead = ReadCatchZones(dat, FeetPerMetre, *CatchZones, rejected);
    }
  } catch (const std::exception& e) {
    HaltAfterLoadFailure(*this);
    lblConnectionInfo.setText(std::string(e.what()) +
                              "  Exception occurred during .dat file load.  Program halted.");
    if (!rejected.empty())
      platform::writeFileAtomically(
          logPath, DatLoadFailureLogText(datPath, clock().wallClock(), rejected, false));
    return false;
  }

  if (CatchZones->empty()) {
    lblNumOfCarriersLoaded.setText("");
    HaltAfterLoadFailure(*this);
    lblConnectionInfo.setText(
        "Selected .dat file contains no valid catch zones.  Program stopped.");
    return false;
  }
  lblNumOfCarriersLoaded.setText("# of cable zones: " + std::to_string(CatchZones->size()) +
                                 " out of " + std::to_string(zonesRead));
  if (!rejected.empty())
    platform::writeFileAtomically(
        logPath, DatLoadFailureLogText(datPath, clock().wallClock(), rejected, true));
  return true;
}

void TFormMain::cmbDatFileChange() {
  Screen.setCursor(platform::Cursor::HourGlass);
  auto finish = [this] {
    if (cmbDatFile.enabled()) tmrFindNearestTimer();
    Screen.setCursor(platform::Cursor::Default);
  };
  try {
    tmrCheckForCatch.setEnabled(false);
    tmrFindNearest.setEnabled(false);
    tmrIsCatchCheckNeeded.setEnabled(false);
    ResetState(false);
    if (LoadCatchZones()) EnableLoadedControls();
  } catch (...) {
    finish();
    throw;
  }
  finish();
}
