#include <string>
#include <string_view>
#include <utility>

#include "logbook/trap_log.h"

#include "arrest/geometry.h"
#include "config/option_table.h"
#include "cues/cues.h"
#include "logbook/log_rules.h"
#include "lso/approach_geometry.h"
#include "platform/append_file.h"
#include "simlink/offsets.h"

namespace {

constexpr double kStandardGravityFps2 = 32.174;

}  // namespace

TPassTick TTrapLog::TrapLogPass(const TCatchZoneData& zone, const TCatchReadings& r, bool caught,
                                const char* reason, double groundSpeedKt, double sinkFpm,
                                double magVarDeg) {
  TPassTick tick;
  std::vector<std::string>& calls = tick.calls;
  const bool inArea = caught || IsInCatchZone(zone, r.lat, r.lon, CatchAngleThreshold);
  const TApproachErrors e = ApproachErrors(zone, r.lat, r.lon, r.altitudeM, magVarDeg);
  const TGrooveSample s{view_.clock.nowMs(), e.distanceM, e.glideSlopeDeg,
                        e.lineupDeg,         e.heightM,   InGroove(e, r.onGround),
                        groundSpeedKt,       sinkFpm};
  FollowGroove(zone, s, r.bankDeg, inArea, calls);
  const bool lso = lsoPass.active && lsoPass.followed;
  if (!inArea) {
    // Out of the area again without a catch: that pass was a bolter, or stays a wave-off.
    if (trapLogPass.active) {
      trapLogPass.active = false;
      if (lso && lsoPass.tracker->wavedOff()) {
        tick.message = LogWaveOff(trapLogPass.figures, trapLogPass.reason);
      } else if (lso) {
        if (auto call = lsoPass.tracker->bolter(s.timeMs)) calls.push_back(call->text);
        AddSheetRow(s, r.bankDeg);
        const TLsoGrade g = GradePass(*lsoPass.tracker, lsoPass.glideSlopeDeg);
        AppendTrapLogLine(BolterLine(UtcText(view_.clock.wallClockUs()), trapLogPass.figures,
                                     trapLogPass.reason, g.grade.c_str(),
                                     LsoColumns(&g, &*lsoPass.tracker)));
        tick.message = LsoMessage(g);
        EndLsoPass();
      } else {
        AppendTrapLogLine(BolterLine(UtcText(view_.clock.wallClockUs()), trapLogPass.figures,
                                     trapLogPass.reason));
        tick.message = BolterMessage(trapLogPass.figures);
      }
    } else if (lso && !InGroove(e, false)) {
      // Out of the groove without flying over the catch area: a wave-off is logged, any other
      // pass (a go-around of the pilot's own) is no pass of the log.
      if (lsoPass.tracker->wavedOff())
        tick.message = LogWaveOff({zone.CarrierIdent, zone.SectionNumber}, "");
      else
        lsoPass = {};
    }
    return tick;
  }
  if (!caught && trapLogPass.active) {
    trapLogPass.reason = reason;
    return tick;
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
    if (lso) {
      lsoPass.tracker->inWires(s, f.wire);
      if (!lsoPass.rows.empty()) lsoPass.rows.back().phase = "IW";
    }
    trapLogArrest.grade = GradeOf(f);
    trapLogArrest.figures = std::move(f);
    trapLogArrest.gear = {};
    trapLogArrest.motion.begin(view_.clock.nowMs(), groundSpeedKt * options::FpsPerKnot);
    return tick;
  }
  trapLogPass.active = true;
  trapLogPass.figures = std::move(f);
  trapLogPass.reason = reason;
  return tick;
}

void TTrapLog::FollowGroove(const TCatchZoneData& zone, const TGrooveSample& s, double bankDeg,
                            bool inArea, std::vector<std::string>& calls) {
  if (!lsoPass.active) {
    // A pass begins at its first check in the groove, short of the catch area.
    if (!s.inGroove || inArea) return;
    lsoPass = {};
    lsoPass.active = true;
    lsoPass.followed = s.distanceM > LsoStartM;
    lsoPass.glideSlopeDeg = zone.GlideSlopeDeg;
    lsoPass.carrier = zone.CarrierIdent;
    lsoPass.zoneNumber = zone.SectionNumber;
    // AR is the back edge of the catch area: its middle's distance to the touchdown point.
    const TCatchAreaAxis axis = CatchAreaAxis(zone);
    lsoPass.tracker.emplace(
        ApproachErrors(zone, axis.backLat, axis.backLon, zone.DeckAltM, 0).distanceM);
  }
  if (!lsoPass.followed) {
    // Joined late: forgotten once it has left both the groove and the catch area.
    if (!s.inGroove && !inArea) lsoPass = {};
    return;
  }
  TGrooveTracker& t = *lsoPass.tracker;
  // Down to the ramp: over the deck the angles seen from the touchdown point grow without
  // meaning, and the LSO has nothing left to call but the wires or the bolter.
  if (!t.phase(TLsoPhase::AR).seen) {
    const bool wasWavedOff = t.wavedOff();
    if (auto call = t.feed(s)) calls.push_back(call->text);
    if (wasWavedOff) return;
  }
  AddSheetRow(s, bankDeg);
  if (t.wavedOff()) lsoPass.sheetEnded = true;
}

void TTrapLog::AddSheetRow(const TGrooveSample& s, double bankDeg) {
  if (!lsoPass.active || !lsoPass.followed || lsoPass.sheetEnded) return;
  const TGrooveTracker& t = *lsoPass.tracker;
  if (!t.phase(TLsoPhase::X).seen) return;
  const char* phase = "X";
  for (TLsoPhase p : {TLsoPhase::IM, TLsoPhase::IC, TLsoPhase::AR, TLsoPhase::IW})
    if (t.phase(p).seen) phase = LsoPhaseName(p);
  if (t.wavedOff()) phase = "WO";
  lsoPass.rows.push_back({s.timeMs, s.distanceM, s.heightM, s.glideSlopeDeg, s.lineupDeg,
                          s.groundSpeedKt, s.sinkFpm, bankDeg, phase});
}

void TTrapLog::TrapLogArrestPosition(const TCatchZoneData& zone, const TCatchReadings& r,
                                     double groundSpeedKt, double sinkFpm, double magVarDeg) {
  if (!lsoPass.active || !lsoPass.followed) return;
  const TApproachErrors e = ApproachErrors(zone, r.lat, r.lon, r.altitudeM, magVarDeg);
  AddSheetRow({view_.clock.nowMs(), e.distanceM, e.glideSlopeDeg, e.lineupDeg, e.heightM, false,
               groundSpeedKt, sinkFpm},
              r.bankDeg);
}

std::string TTrapLog::LogWaveOff(const TPassFigures& figures, const char* reason) {
  const TLsoGrade g = GradePass(*lsoPass.tracker, lsoPass.glideSlopeDeg);
  AppendTrapLogLine(WaveOffLine(UtcText(view_.clock.wallClockUs()), figures, reason,
                                LsoColumns(&g, &*lsoPass.tracker)));
  EndLsoPass();
  return LsoMessage(g);
}

void TTrapLog::EndLsoPass() {
  if (lsoPass.followed && !lsoPass.rows.empty())
    pendingSheets.push_back({TrapSheetFileName(UtcText(view_.clock.wallClockUs()), lsoPass.carrier),
                             TrapSheetText(lsoPass.rows)});
  lsoPass = {};
}

void TTrapLog::ForgetPass() {
  trapLogPass.active = false;
  // A caught pass ends with its arrest, which goes on when the checks stop near the stop.
  if (!lsoPass.active || (lsoPass.tracker && lsoPass.tracker->wire() != 0)) return;
  if (lsoPass.followed && lsoPass.tracker->wavedOff() && view_.chkbxTrapLog.checked())
    view_.cues.ShowSimMessage(LogWaveOff({lsoPass.carrier, lsoPass.zoneNumber}, ""),
                              TrapLogMessageSeconds);
  else
    lsoPass = {};
}

void TTrapLog::WriteTrapSheets() {
  if (pendingSheets.empty()) return;
  std::vector<TPendingSheet> sheets;
  sheets.swap(pendingSheets);
  const std::string folder = view_.ProgramFolder + TrapSheetFolder;
  for (const TPendingSheet& sheet : sheets) {
    if (platform::writeNewFile(folder, sheet.name, sheet.text)) continue;
    // The log goes on: only this pass's sheet is lost, and the main window says so.
    view_.lblOtherStatus.setText("Trap sheet not written: cannot write " +
                                 std::string(TrapSheetFolder) + sheet.name);
  }
}

void TTrapLog::TrapLogArrestSample(double speedFps) {
  if (trapLogArrest.motion.active) trapLogArrest.motion.sample(view_.clock.nowMs(), speedFps);
}

void TTrapLog::TrapLogArrestEnd(const char* result) {
  TMotionRecord& m = trapLogArrest.motion;
  if (!m.active) return;
  m.active = false;
  if (!view_.chkbxTrapLog.checked()) {
    lsoPass = {};
    return;
  }
  const TArrestFigures a{m.distanceFt, m.seconds(), m.peakDecel() / kStandardGravityFps2};
  const bool lso = lsoPass.active && lsoPass.followed && lsoPass.tracker->wire() != 0;
  std::optional<TLsoGrade> g;
  if (lso) g = GradePass(*lsoPass.tracker, lsoPass.glideSlopeDeg);
  AppendTrapLogLine(TrapLine(UtcText(view_.clock.wallClockUs()), trapLogArrest.figures,
                             g ? g->grade.c_str() : trapLogArrest.grade, a, result,
                             LsoColumns(g ? &*g : nullptr, lso ? &*lsoPass.tracker : nullptr)),
                    trapLogArrest.gear);
  // The grade is announced after an arrest that ran to its end.
  if (std::string_view(result) == "stopped")
    view_.cues.ShowSimMessage(
        g ? LsoMessage(*g) : TrapMessage(trapLogArrest.figures, trapLogArrest.grade),
        TrapLogMessageSeconds);
  if (lsoPass.active) EndLsoPass();
}

void TTrapLog::TrapLogLaunchStart(const TCatchZoneData* zone, double speedFps) {
  if (!view_.chkbxTrapLog.checked()) return;
  trapLogLaunch.figures = {};
  trapLogLaunch.gear = {};
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
  AppendTrapLogLine(LaunchLine(UtcText(view_.clock.wallClockUs()), l, result), trapLogLaunch.gear);
}

void TTrapLog::AppendTrapLogLine(std::string line, const TGearFigures& gear) {
  const std::string path = view_.ProgramFolder + TrapLogFileName;
  // The gear columns come with the first line that has a gear figure and stay from then on.
  const std::string gearHeader = TrapLogGearHeader();
  const bool withGear =
      gear.any() || platform::lastHeaderLine(path, TrapLogHeaderStart) + "\r\n" == gearHeader;
  if (withGear) line.insert(line.size() - 2, GearColumns(gear));  // before the CR LF
  if (platform::appendUnderHeader(path, withGear ? gearHeader : std::string(TrapLogHeader),
                                  TrapLogHeaderStart, line)) {
    ++linesWritten;
    return;
  }
  // Never an error box in flight: the log stops and says so in the main window.
  view_.chkbxTrapLog.setChecked(false);
  view_.lblOtherStatus.setText(std::string("Trap log turned off: cannot write ") + TrapLogFileName);
}
