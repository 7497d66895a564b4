#include <string>
#include <string_view>
#include <utility>

#include "app/form_main.h"
#include "arrest/geometry.h"
#include "logbook/log_rules.h"
#include "platform/append_file.h"
#include "simlink/offsets.h"

namespace {

constexpr double kStandardGravityFps2 = 32.174;

}  // namespace

void TFormMain::TrapLogPass(const TCatchZoneData& zone, const TCatchReadings& r, bool caught,
                            const char* reason, double groundSpeedKt, double sinkFpm) {
  const bool inArea = caught || IsInCatchZone(zone, r.lat, r.lon, CatchAngleThreshold);
  if (!inArea) {
    // Out of the area again without a catch: that pass was a bolter.
    if (trapLogPass.active) {
      trapLogPass.active = false;
      AppendTrapLogLine(
          BolterLine(UtcText(clock().wallClockUs()), trapLogPass.figures, trapLogPass.reason));
      cues.ShowSimMessage(BolterMessage(trapLogPass.figures), TrapLogMessageSeconds);
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
      LineupError(simlink::magneticHeading(r.trueHeadingDeg, MagVarDeg), zone.RunwayHeadingMag);
  f.bankDeg = r.bankDeg;
  if (caught) {
    trapLogPass.active = false;
    f.wire = WireOf(zone, r.lat, r.lon);
    trapLogArrest.grade = GradeOf(f);
    trapLogArrest.figures = std::move(f);
    trapLogArrest.motion.begin(clock().nowMs(), groundSpeedKt * options::FpsPerKnot);
    return;
  }
  trapLogPass.active = true;
  trapLogPass.figures = std::move(f);
  trapLogPass.reason = reason;
}

void TFormMain::TrapLogArrestSample(double speedFps) {
  if (trapLogArrest.motion.active) trapLogArrest.motion.sample(clock().nowMs(), speedFps);
}

void TFormMain::TrapLogArrestEnd(const char* result) {
  TMotionRecord& m = trapLogArrest.motion;
  if (!m.active) return;
  m.active = false;
  if (!chkbxTrapLog.checked()) return;
  const TArrestFigures a{m.distanceFt, m.seconds(), m.peakDecel() / kStandardGravityFps2};
  AppendTrapLogLine(TrapLine(UtcText(clock().wallClockUs()), trapLogArrest.figures,
                             trapLogArrest.grade, a, result));
  // The grade is announced after an arrest that ran to its end.
  if (std::string_view(result) == "stopped")
    cues.ShowSimMessage(TrapMessage(trapLogArrest.figures, trapLogArrest.grade),
                        TrapLogMessageSeconds);
}

void TFormMain::TrapLogLaunchStart(double speedFps) {
  if (!chkbxTrapLog.checked()) return;
  const TCatchZoneData* zone = CatapultZone();
  trapLogLaunch.figures = {};
  if (zone != nullptr) {
    trapLogLaunch.figures.carrier = zone->CarrierIdent;
    trapLogLaunch.figures.zoneNumber = zone->SectionNumber;
  }
  trapLogLaunch.motion.begin(clock().nowMs(), speedFps);
}

void TFormMain::TrapLogLaunchSample(double speedFps) {
  if (trapLogLaunch.motion.active) trapLogLaunch.motion.sample(clock().nowMs(), speedFps);
}

void TFormMain::TrapLogLaunchEnd(const char* result) {
  TMotionRecord& m = trapLogLaunch.motion;
  if (!m.active) return;
  m.active = false;
  if (!chkbxTrapLog.checked()) return;
  TLaunchFigures& l = trapLogLaunch.figures;
  l.endSpeedKt = m.lastSpeedFps / options::FpsPerKnot;
  l.strokeFt = m.distanceFt;
  l.strokeS = m.seconds();
  AppendTrapLogLine(LaunchLine(UtcText(clock().wallClockUs()), l, result));
}

void TFormMain::AppendTrapLogLine(const std::string& line) {
  if (platform::appendToFile(ProgramFolder + TrapLogFileName, TrapLogHeader, line)) return;
  // Never an error box in flight: the log stops and says so in the main window.
  chkbxTrapLog.setChecked(false);
  lblOtherStatus.setText(std::string("Trap log turned off: cannot write ") + TrapLogFileName);
}
