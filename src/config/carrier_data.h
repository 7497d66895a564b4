#pragma once

#include <functional>
#include <memory>
#include <string>

#include "activity/activity.h"
#include "config/catch_zone.h"
#include "platform/clock.h"
#include "platform/controls.h"
#include "platform/event_loop.h"
#include "simlink/sim_link.h"

namespace platform {
class IniFile;
}

/// What the carrier data sees of the window: the data-file list and its hidden file list, the
/// lines it writes, the cursor, the activity and the slow timers it stops when a load fails,
/// the clock of the failure log, the program folder, and the window's steps it runs around a
/// change of data file.
struct TCarrierDataView {
  /// The window's link to the simulator.
  simlink::Link& link;
  platform::ComboBox& cmbDatFile;
  platform::FileListBox& lstboxDatFiles;
  platform::Label& lblNumOfCarriersLoaded;
  platform::Label& lblConnectionInfo;
  platform::Screen& Screen;
  TActivity& activity;
  platform::Timer& tmrIsCatchCheckNeeded;
  platform::Timer& tmrFindNearest;
  platform::Timer& tmrKeystroke;
  platform::Clock& clock;
  /// Folder of the program file, with its trailing delimiter (set once the window is created).
  const std::string& ProgramFolder;
  /// Gives back the hot-key slots (a halt gives them back while the link is still open).
  std::function<void()> ReleaseHotKeys;
  /// Puts the program state back to its start values (a change of data file starts afresh).
  std::function<void(bool loadDefaults)> ResetState;
  /// Opens the window to the user once zones are loaded.
  std::function<void()> EnableLoadedControls;
  /// One nearest-carrier search, which also starts the slow timers again.
  std::function<void()> tmrFindNearestTimer;
};

/// The carrier data: the catch zones of the data file in use, the list of data files and the
/// choice among them.
class TCarrierData {
 public:
  explicit TCarrierData(TCarrierDataView view) : view_(std::move(view)) {}
  TCarrierData(const TCarrierData&) = delete;
  TCarrierData& operator=(const TCarrierData&) = delete;

  /// Creates or empties CatchZones.
  bool PrepareCatchZoneList();
  /// Copies the data-file list into cmbDatFile.
  bool FillDatFileList();
  /// Selects "Corvane.dat" and remembers it in the settings file.
  bool SelectDefaultDatFile(platform::IniFile& settings);
  /// Loads the selected data file into CatchZones; a file without a valid zone halts the
  /// program. Blocks on the file.
  bool LoadCatchZones();
  /// The user picked another data file.
  void cmbDatFileChange();

  /// What adding a zone came to: done, or refused with nothing written; message says which.
  struct TAddZoneResult {
    bool added = false;
    std::string message;
  };
  /// Adds a zone of lengthM x widthM, named ident, centred where the aircraft stands on the
  /// deck and along its heading, to the data file in use; reloads the zones and searches for
  /// the nearest carrier again. Refused when the aircraft is airborne or moving, the identifier
  /// or a size cannot be used, the program is stopped or busy with an arrest or a launch, or the
  /// file cannot be read or written. Blocks on the simulator and the disk.
  TAddZoneResult AddZoneHere(const std::string& ident, double lengthM, double widthM);

  /// The zones loaded from the data file in use; null once the program has stopped.
  std::unique_ptr<TCatchZoneList> CatchZones;

 private:
  /// Stops the link and every timer after a failed load.
  void HaltAfterLoadFailure();

  TCarrierDataView view_;
};
