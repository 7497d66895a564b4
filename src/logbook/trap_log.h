#pragma once

#include <string>

#include "config/catch_zone.h"
#include "logbook/log_records.h"
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

/// The trap and launch log: follows a pass through the catch area, the arrest that follows a
/// catch and a catapult stroke, and appends one line to the log file when each ends.
class TTrapLog {
 public:
  explicit TTrapLog(TTrapLogView view) : view_(view) {}

  /// One catch tick's view of the pass, while the log is kept: a catch starts the arrest's
  /// record, a pass through the catch area that leaves it uncaught is logged as a bolter.
  /// magVarDeg is the magnetic variation at the aircraft.
  void TrapLogPass(const TCatchZoneData& zone, const TCatchReadings& r, bool caught,
                   const char* reason, double groundSpeedKt, double sinkFpm, double magVarDeg);
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
  void ForgetPass() { trapLogPass.active = false; }

  TPassRecord trapLogPass;
  TArrestRecord trapLogArrest;
  TLaunchRecord trapLogLaunch;

 private:
  /// Appends one line to the log; a failure turns the log off with a notice in lblOtherStatus.
  /// Blocks on the file.
  void AppendTrapLogLine(const std::string& line);

  TTrapLogView view_;
};
