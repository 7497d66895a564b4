#include <string>
#include <string_view>
#include <utility>

#include "logbook/trap_log.h"

#include "arrest/geometry.h"
#include "config/option_table.h"
#include "cues/cues.h"
#include "logbook/log_rules.h"
#include "platform/append_file.h"
#include "simlink/offsets.h"

namespace {

constexpr double kStandardGravityFps2 = 32.174;

}  // namespace

void TTrapLog::TrapLogPass(const TCatchZoneData& zone, const TCatchReadings& r, bool caught,
                           const char* reason, double groundSpeedKt, double sinkFpm,
                           double magVarDeg) {
  const bool inArea = caught || IsInCatchZone(zone, r.lat, r.lon, CatchAngleThreshold);
  if (!inArea) {
    // Out of the area again without a catch: that pass was a bolter.
    if (trapLogPass.active) {
      trapLogPass.active = false;
      AppendTrapLogLine(
          BolterLine(UtcText(view_.clock.wallClockUs()), trapLogPass.figures, trapLogPass.reason));
      view_.cues.ShowSimMessage(BolterMessage(trapLogPass.figures), TrapLogMessageSeconds);
    }
    return;
  }
  if (!caught && trapLogPass.active) {
    trapLogPass.reason = reason;
    return;
  }
  // The figures of a pass are those of its first tick in the area, or of the catch.
  TPassFigures f;
  f.carrier = zone.CarrierIdent;
  f.zoneNumber = zone.SectionNumber;
  f.groundSpeedKt = groundSpeedKt;
  f.sinkFpm = sinkFpm;
  f.lineupDeg =
      LineupError(simlink::magneticHeading(r.trueHeadingDeg, magVarDeg), zone.RunwayHeadingMag);
  f.bankDeg = r.bankDeg;
  if (caught) {
    trapLogPass.active = false;
    f.wire = WireOf(zone, r.lat, r.lon);
    trapLogArrest.grade = GradeOf(f);
    trapLogArrest.figures = std::move(f);
    trapLogArrest.motion.begin(view_.clock.nowMs(), groundSpeedKt * options::FpsPerKnot);
    return;
  }
  trapLogPass.active = true;
  trapLogPass.figures = std::move(f);
  trapLogPass.reason = reason;
}

void TTrapLog::TrapLogArrestSample(double speedFps) {
  if (trapLogArrest.motion.active) trapLogArrest.motion.sample(view_.clock.nowMs(), speedFps);
}

void TTrapLog::TrapLogArrestEnd(const char* result) {
  TMotionRecord& m = trapLogArrest.motion;
  if (!m.active) return;
  m.active = false;
  if (!view_.chkbxTrapLog.checked()) return;
  const TArrestFigures a{m.distanceFt, m.seconds(), m.peakDecel() / kStandardGravityFps2};
  AppendTrapLogLine(TrapLine(UtcText(view_.clock.wallClockUs()), trapLogArrest.figures,
                             trapLogArrest.grade, a, result));
  // The grade is announced after an arrest that ran to its end.
  if (std::string_view(result) == "stopped")
    view_.cues.ShowSimMessage(TrapMessage(trapLogArrest.figures, trapLogArrest.grade),
                              TrapLogMessageSeconds);
}

void TTrapLog::TrapLogLaunchStart(const TCatchZoneData* zone, double speedFps) {
  if (!view_.chkbxTrapLog.checked()) return;
  trapLogLaunch.figures = {};
  if (zone != nullptr) {
    trapLogLaunch.figures.carrier = zone->CarrierIdent;
    trapLogLaunch.figures.zoneNumber = zone->SectionNumber;
  }
  trapLogLaunch.motion.begin(view_.clock.nowMs(), speedFps);
}

void TTrapLog::TrapLogLaunchSample(double speedFps) {
  if (trapLogLaunch.motion.active) trapLogLaunch.motion.sample(view_.clock.nowMs(), speedFps);
}

void TTrapLog::TrapLogLaunchEnd(const char* result) {
  TMotionRecord& m = trapLogLaunch.motion;
  if (!m.active) return;
  m.active = false;
  if (!view_.chkbxTrapLog.checked()) return;
  TLaunchFigures& l = trapLogLaunch.figures;
  l.endSpeedKt = m.lastSpeedFps / options::FpsPerKnot;
  l.strokeFt = m.distanceFt;
  l.strokeS = m.seconds();
  AppendTrapLogLine(LaunchLine(UtcText(view_.clock.wallClockUs()), l, result));
}

void TTrapLog::AppendTrapLogLine(const std::string& line) {
  if (platform::appendToFile(view_.ProgramFolder + TrapLogFileName, TrapLogHeader, line)) return;
  // Never an error box in flight: the log stops and says so in the main window.
  view_.chkbxTrapLog.setChecked(false);
  view_.lblOtherStatus.setText(std::string("Trap log turned off: cannot write ") + TrapLogFileName);
}
