#include "config/carrier_data.h"

#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "config/config_names.h"
#include "config/zone_file.h"
#include "platform/ini_file.h"
#include "platform/ini_reader.h"
#include "simlink/sim_link.h"

// Stops the link and every timer, so nothing still running (an arrest, a launch, the hot-key
// poll) can bring the search and the gate back. Only the reset action starts the program again.
// The hot keys are given back first, while the link is still open: the reset registers them
// anew, and slots left held would fill the simulator's table halt after halt.
void TCarrierData::HaltAfterLoadFailure() {
  if (view_.ReleaseHotKeys) view_.ReleaseHotKeys();
  view_.link.SimLinkClose();
  view_.tmrIsCatchCheckNeeded.setEnabled(false);
  view_.tmrFindNearest.setEnabled(false);
  view_.activity.StopAll();
  view_.tmrKeystroke.setEnabled(false);
  view_.activity.programStopped = true;
}

bool TCarrierData::PrepareCatchZoneList() {
  if (!CatchZones)
    CatchZones = std::make_unique<TCatchZoneList>();
  else
    CatchZones->clear();
  if (CatchZones && CatchZones->empty()) return true;
  view_.lblConnectionInfo.setText("Connection to FSUIPC OK, but internal catch zones init failed");
  return false;
}

bool TCarrierData::FillDatFileList() {
  platform::ComboBox& cmbDatFile = view_.cmbDatFile;
  const std::vector<std::string>& names = view_.lstboxDatFiles.items();
  if (names.empty()) {
    view_.lblConnectionInfo.setText("Connection to FSUIPC OK, but...No .dat files found.");
    return false;
  }
  cmbDatFile.clear();
  for (const std::string& name : names) cmbDatFile.addItem(name);
  return true;
}

bool TCarrierData::SelectDefaultDatFile(platform::IniFile& settings) {
  platform::ComboBox& cmbDatFile = view_.cmbDatFile;
  const int index = IndexOfTextIgnoringCase(cmbDatFile.items(), DefaultDatFileName);
  if (index < 0) {
    view_.lblConnectionInfo.setText("Connection to FSUIPC OK, but...Corvane.dat file not found.");
    return false;
  }
  cmbDatFile.setItemIndex(index);
  // A failed write only means the choice is not remembered yet; the next save writes it.
  settings.writeString(SectionGeneral, KeyLastDatFileUsed, DefaultDatFileName);
  return true;
}

bool TCarrierData::LoadCatchZones() {
  platform::Label& lblConnectionInfo = view_.lblConnectionInfo;
  platform::Label& lblNumOfCarriersLoaded = view_.lblNumOfCarriersLoaded;
  std::vector<int> rejected;
  const std::string datPath = view_.ProgramFolder + view_.cmbDatFile.text();
  const std::string logPath = view_.ProgramFolder + DatLoadErrorLogName;
  int zonesRead = 0;
  try {
    if (!CatchZones) CatchZones = std::make_unique<TCatchZoneList>();
    CatchZones->clear();
    if (!view_.cmbDatFile.text().empty()) {
      const platform::IniReader dat(datPath);
      if (!dat.readable()) throw std::runtime_error("Cannot read " + datPath + ".");
      zonesRead = ReadCatchZones(dat, FeetPerMetre, *CatchZones, rejected);
    }
  } catch (const std::exception& e) {
    HaltAfterLoadFailure();
    lblConnectionInfo.setText(std::string(e.what()) +
                              "  Exception occurred during .dat file load.  Program halted.");
    if (!rejected.empty())
      platform::writeFileAtomically(
          logPath, DatLoadFailureLogText(datPath, view_.clock.wallClock(), rejected, false));
    return false;
  }

  if (CatchZones->empty()) {
    lblNumOfCarriersLoaded.setText("");
    HaltAfterLoadFailure();
    lblConnectionInfo.setText(
        "Selected .dat file contains no valid catch zones.  Program stopped.");
    return false;
  }
  lblNumOfCarriersLoaded.setText("# of cable zones: " + std::to_string(CatchZones->size()) +
                                 " out of " + std::to_string(zonesRead));
  if (!rejected.empty())
    platform::writeFileAtomically(
        logPath, DatLoadFailureLogText(datPath, view_.clock.wallClock(), rejected, true));
  return true;
}

void TCarrierData::cmbDatFileChange() {
  view_.Screen.setCursor(platform::Cursor::HourGlass);
  auto finish = [this] {
    if (view_.cmbDatFile.enabled()) view_.tmrFindNearestTimer();
    view_.Screen.setCursor(platform::Cursor::Default);
  };
  try {
    view_.activity.SetChecking(false);
    view_.tmrFindNearest.setEnabled(false);
    view_.tmrIsCatchCheckNeeded.setEnabled(false);
    view_.ResetState(false);
    if (LoadCatchZones()) view_.EnableLoadedControls();
  } catch (...) {
    finish();
    throw;
  }
  finish();
}
