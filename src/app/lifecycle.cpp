#include <cmath>
#include <exception>
#include <stdexcept>

#include "app/form_main.h"
#include "app/sim_names.h"
#include "app/unscramble.h"
#include "simlink/sim_link.h"

namespace {

/// The name of the simulator with this index; an index beyond the table is an error whose
/// message the connection line shows.
std::string SimulatorName(uint32_t index) {
  if (index >= SimNames.size())
    throw std::out_of_range("Simulator index " + std::to_string(index) + " out of range");
  return SimNames[index];
}

std::string withTrailingDelimiter(std::string folder) {
  if (folder.empty()) return "./";
  if (folder.back() != '/' && folder.back() != '\\') folder.push_back('/');  // '\\' on Windows
  return folder;
}

}  // namespace

void TFormMain::FormCreate() {
  pgMain.setActivePage(0);
  SetCaptions();
  lblActivelyCheckingStatus.left =
      lblActivelyCheckingCaption.left + lblActivelyCheckingCaption.width + 9;
  frmToolbar.FormCreate();
  hotKeys.KeyComboModifier = 0;
  ProgramFolder = withTrailingDelimiter(services_.programFolder);
  arrest.NearestCarrierIdent.clear();
  battleDamage.EngineMaskTable[0] = 0;
  for (int j = 1; j <= 8; ++j)
    battleDamage.EngineMaskTable[static_cast<size_t>(j)] = std::ldexp(1.0f, j - 1);
  InitializeProgram(true);
}

void TFormMain::InitializeProgram(bool loadDefaults) {
  activity.programStopped = false;
  ResetState(loadDefaults);
  if (!ConnectToSimulator()) return;
  try {
    if (!carrierData.PrepareCatchZoneList()) return;
    if (!carrierData.FillDatFileList()) return;
    if (!options.LoadSettings()) return;
    if (!carrierData.LoadCatchZones()) return;
    if (!loadDefaults) hotKeys.AllocateHotKeys();
    EnableLoadedControls();
    if (cues.SimSoundSilenced)
      cues.SwitchSimSound(false);  // an arrest or launch cut short by the link
    arrest.tmrFindNearestTimer();
  } catch (const std::exception& e) {
    lblConnectionInfo.setText(std::string("Connection to FSUIPC OK, but...") + e.what());
  }
}

void TFormMain::ResetState(bool loadDefaults) {
  // The wall clock, not the monotonic one: that starts near 0 in every run, which would
  // draw the same battle damage each time.
  random().randomize(static_cast<uint64_t>(clock().wallClockUs()));
  fuelTransfer.Reset();
  cues.SoundControlEndWord = 1;
  cues.SoundControlStartWord = 0;
  catapult.LastLaunchEnd = 0;
  // Every number the program formats or parses uses "." whatever the user's locale; nothing
  // to switch here.
  lstboxDatFiles.setDirectory(ProgramFolder);
  hotKeys.LastHotKeyCount = 0;
  btnManualDisable.setCaption("Manual override -- disable program");
  for (platform::Label* l :
       {&lblFuelTransferStatus, &lblNearestCarrier, &lblNumOfCarriersLoaded, &lblCurrentMagVar,
        &lblActivelyCheckingStatus, &lblFlightStatus, &lblCableCatchStatus})
    l->setText("");
  cmbDatFile.setEnabled(false);
  pgMain.setEnabled(false);
  btnManualDisable.setEnabled(false);
  frmToolbar.btnManualOverride.setEnabled(false);
  btnManualDisable.setDown(false);
  frmToolbar.btnManualOverride.setDown(false);
  arrest.Reset();
  cues.CheckSoundFiles();
  cues.catapultSoundPlayed = false;
  if constexpr (edition::CaptionSetAtEveryReset) FormMain.setCaption(edition::MainCaption);
  if (loadDefaults) options.ApplyDefaults();
}

void TFormMain::EnableLoadedControls() {
  cmbDatFile.setEnabled(true);
  btnManualDisable.setEnabled(true);
  frmToolbar.btnManualOverride.setEnabled(true);
  btnManualDisable.setDown(false);
  frmToolbar.btnManualOverride.setDown(false);
  pgMain.setEnabled(true);
}

bool TFormMain::ConnectToSimulator() {
  try {
    uint32_t result = 0;
    if (!link.SimLinkOpen(0, result)) {
      lblConnectionInfo.setText(std::string(SimLinkErrorTexts[result]) + " -- Is FS running?");
      return false;
    }
    const std::string simName = SimulatorName(link.SimLinkSimIndex);
    if (simName != Unscramble(edition::AcceptedSimScrambled)) {
      link.SimLinkClose();
      lblConnectionInfo.setText(edition::WrongSimulatorMessage);
      return false;
    }
    const uint32_t version = link.SimLinkServerVersion;
    lblConnectionInfo.setText(simName + " connection status : " + SimLinkErrorTexts[result] +
                              ",  FSUIPC Ver : " + VersionText(version));
    if (!VersionAtLeast283(version)) {
      link.SimLinkClose();
      lblConnectionInfo.setText(
          "Program only works with FSUIPC 2.83 or later -- Connection Aborted");
      return false;
    }
    return true;
  } catch (const std::exception& e) {
    lblConnectionInfo.setText(std::string(e.what()) + " -- Is FS running?");
    return false;
  }
}

void TFormMain::StopProgram() {
  trapLog.TrapLogArrestEnd("shutdown");
  trapLog.TrapLogLaunchEnd("shutdown");
  tmrKeystroke.setEnabled(false);
  activity.StopAll();
  tmrIsCatchCheckNeeded.setEnabled(false);
  tmrFindNearest.setEnabled(false);
  hotKeys.ReleaseHotKeys();
  options.SaveSettings();
  carrierData.CatchZones.reset();
  link.SimLinkClose();
}

void TFormMain::actResetProgramExecute() {
  Screen.setCursor(platform::Cursor::HourGlass);
  try {
    cues.ShowSimMessage("Corvane disabled while resetting", 3);
    StopProgram();
    InitializeProgram(false);
  } catch (...) {
    Screen.setCursor(platform::Cursor::Default);
    throw;
  }
  Screen.setCursor(platform::Cursor::Default);
}

void TFormMain::actManualOverrideExecute() {
  if (btnManualDisable.down()) {
    btnManualDisable.setDown(true);
    frmToolbar.btnManualOverride.setDown(true);
    btnManualDisable.setCaption("Press to REENABLE program");
    // An arrest or a catapult stroke under way ends as its own end does: the hot keys and the
    // simulator's sound come back, the smoke goes off and the lock-out from catches starts.
    const bool stroke = activity.Launching();
    trapLog.TrapLogArrestEnd("override");
    if (activity.Arresting()) arrest.EndArrest();
    if (stroke) {
      trapLog.TrapLogLaunchEnd("override");
      catapult.EndLaunch(false);
    }
    // No catch while disabled, not even before the next gate tick turns checking off.
    activity.SetChecking(false);
    tmrFindNearest.setEnabled(true);
    if (stroke) {
      cues.ShowSimMessage(edition::ManualDisableCatapultMessage, 8);
    } else if (fuelTransfer.fuelLoading) {
      cues.ShowSimMessage("Corvane has been manually disabled - fuel load paused", 8);
    } else if (fuelTransfer.fuelOffloading) {
      cues.ShowSimMessage("Corvane has been manually disabled - fuel OFFload paused", 8);
    } else {
      cues.ShowSimMessage("Corvane has been manually disabled", 8);
    }
  } else {
    btnManualDisable.setDown(false);
    frmToolbar.btnManualOverride.setDown(false);
    btnManualDisable.setCaption("Manual override -- disable program");
    if (fuelTransfer.fuelLoading)
      cues.ShowSimMessage("Corvane reenabled - fuel load resumed", 5);
    else if (fuelTransfer.fuelOffloading)
      cues.ShowSimMessage("Corvane reenabled - fuel OFFload resumed", 5);
    else
      cues.ShowSimMessage("Corvane reenabled", 5);
  }
}

void TFormMain::FormClose() {
  cues.ShowSimMessage("Corvane deactivated", 8);
  StopProgram();
}
