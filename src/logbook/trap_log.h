#pragma once

#include <optional>
#include <string>
#include <vector>

#include "config/catch_zone.h"
#include "logbook/log_records.h"
#include "lso/groove.h"
#include "lso/trap_sheet.h"
#include "platform/clock.h"
#include "platform/controls.h"

class TCues;
struct TCatchReadings;

/// What the trap and launch log sees of the window: the option that keeps it (turned off when
/// the file cannot be written), the status line that says so, the cues that show the grade, the
/// clock of its samples and its time stamps, and the folder the log file is kept in.
struct TTrapLogView {
  platform::CheckBox& chkbxTrapLog;
  platform::Label& lblOtherStatus;
  TCues& cues;
  platform::Clock& clock;
  /// Folder of the program file, with its trailing delimiter (set once the window is created).
  const std::string& ProgramFolder;
};

/// The pass the LSO follows down the groove, from its first catch check in the groove to its
/// end (the stop after a catch, the bolter, or the wave-off's line).
struct TLsoPass {
  bool active = false;
  /// The pass entered the groove before X: only such a pass is followed, called and graded by
  /// the LSO. One first seen inside X (the catch check began late) is left to today's grade.
  bool followed = false;
  std::optional<TGrooveTracker> tracker;
  double glideSlopeDeg = 0;
  std::string carrier;
  int zoneNumber = 0;  // the zone's section number in the data file
  /// The sheet's rows so far; the sheet ends when the pass does.
  std::vector<TSheetRow> rows;
  bool sheetEnded = false;
};

/// A sheet of a pass that has ended, waiting for the slow timer that writes it.
struct TPendingSheet {
  std::string name;
  std::string text;
};

/// What one catch tick of a pass asks to be shown: the LSO's calls, in order, then the message
/// after a pass that ended at this tick (empty: none).
struct TPassTick {
  std::vector<std::string> calls;
  std::string message;
};

/// The trap and launch log: follows a pass through the catch area, the arrest that follows a
/// catch and a catapult stroke, and appends one line to the log file when each ends.
class TTrapLog {
 public:
  explicit TTrapLog(TTrapLogView view) : view_(view) {}

  /// One catch tick's view of the pass, while the log is kept: the LSO follows it down the
  /// groove, a catch starts the arrest's record, a pass through the catch area that leaves it
  /// uncaught is logged as a bolter (or, waved off, as a wave-off). magVarDeg is the magnetic
  /// variation at the aircraft. Returns the LSO's calls made at this tick and the message after
  /// a pass that ended (the caller shows them, the calls first).
  TPassTick TrapLogPass(const TCatchZoneData& zone, const TCatchReadings& r, bool caught,
                        const char* reason, double groundSpeedKt, double sinkFpm, double magVarDeg);
  /// One catch tick during an arrest, while the log is kept: a row of the pass's sheet.
  void TrapLogArrestPosition(const TCatchZoneData& zone, const TCatchReadings& r,
                             double groundSpeedKt, double sinkFpm, double magVarDeg);
  /// Writes the sheets of the passes that have ended; called on a slow timer's tick, never on
  /// the fast timers' path. A sheet that cannot be written is dropped with a notice in
  /// lblOtherStatus.
  void WriteTrapSheets();
  /// The forward speed of one deceleration tick.
  void TrapLogArrestSample(double speedFps);
  /// Writes the running arrest's line and shows its grade; result says how it ended.
  void TrapLogArrestEnd(const char* result);
  /// A catapult release at speedFps from zone (null when none is known) starts a stroke's
  /// record.
  void TrapLogLaunchStart(const TCatchZoneData* zone, double speedFps);
  /// The forward speed of one stroke tick.
  void TrapLogLaunchSample(double speedFps);
  /// Writes the stroke's line; result says how it ended.
  void TrapLogLaunchEnd(const char* result);
  /// Forgets a pass under way without logging it (its exit from the catch area was not seen).
  /// The LSO's pass ends too: a waved-off one is logged as a wave-off, any other forgotten.
  void ForgetPass();

  /// The folder the log, the sheets and the pages made from them are in.
  const std::string& programFolder() const { return view_.ProgramFolder; }
  /// Says something about the log or a page made from it in the main window.
  void ShowNotice(const std::string& text) { view_.lblOtherStatus.setText(text); }

  /// Lines appended to the log since the program started: a page made from the log is out of
  /// date when this has moved on.
  std::uint64_t linesWritten = 0;
  TPassRecord trapLogPass;
  TArrestRecord trapLogArrest;
  TLaunchRecord trapLogLaunch;
  TLsoPass lsoPass;
  std::vector<TPendingSheet> pendingSheets;

 private:
  /// Feeds the LSO one catch check: starts a pass at its first check in the groove, feeds the
  /// tracker down to the ramp, adds the sheet's row. Adds the call made to calls.
  void FollowGroove(const TCatchZoneData& zone, const TGrooveSample& s, double bankDeg, bool inArea,
                    std::vector<std::string>& calls);
  /// Adds one row to the sheet of the followed pass.
  void AddSheetRow(const TGrooveSample& s, double bankDeg);
  /// Ends the LSO's pass: its sheet goes to the sheets waiting to be written.
  void EndLsoPass();
  /// Logs a followed pass that was waved off and not caught, with figures (those of its entry
  /// into the catch area, if any) and the reason it was not caught.
  /// Returns the message after it.
  std::string LogWaveOff(const TPassFigures& figures, const char* reason);
  /// Appends one line (ending in CR LF) to the log, with the gear columns once the log has them
  /// or gear holds a figure; a failure turns the log off with a notice in lblOtherStatus.
  /// Blocks on the file.
  void AppendTrapLogLine(std::string line, const TGearFigures& gear = {});

  TTrapLogView view_;
};
