#include "logbook/log_rules.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/ini_file.h"
#include "text/number_format.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

/// Fixed decimals, "." as separator, no minus sign on a zero.
std::string Fixed(double value, int decimals) { return FormatFixed(value, 15, decimals); }

/// Decimals of the figures as the log and the message show them.
constexpr int kSinkDecimals = 0;
constexpr int kAngleDecimals = 1;

/// The value as it is shown with this many decimals: a grade must agree with the figures the
/// pilot reads (700.4 fpm shows "700", within a limit of 700).
double Shown(double value, int decimals) {
  return platform::parseFloat(Fixed(value, decimals)).value_or(value);
}

std::string Signed(double value, int decimals) {
  std::string s = Fixed(value, decimals);
  return s[0] == '-' ? s : "+" + s;
}

/// How far value misses limit: 0 within, 1 narrowly, 2 widely.
int Miss(double value, double limit) {
  const double v = std::fabs(value);
  if (v <= limit) return 0;
  return v < limit * kNarrowMissFactor ? 1 : 2;
}

std::string PassColumns(const std::string& utc, const char* event, const TPassFigures& p,
                        const std::string& wire, const char* grade) {
  return utc + "," + event + "," + CsvField(p.carrier) + "," + std::to_string(p.zoneNumber) + "," +
         wire + "," + grade + "," + Fixed(p.groundSpeedKt, 0) + "," +
         Fixed(p.sinkFpm, kSinkDecimals) + "," + Fixed(p.lineupDeg, kAngleDecimals) + "," +
         Fixed(p.bankDeg, kAngleDecimals);
}

std::string MessageFigures(const TPassFigures& p) {
  return Fixed(p.groundSpeedKt, 0) + " kt, " + Fixed(p.sinkFpm, kSinkDecimals) + " fpm, lineup " +
         Signed(p.lineupDeg, kAngleDecimals);
}

/// Points as the LSO gives them: "4", "2.5".
std::string PointsText(double points) {
  return Fixed(points, points == std::floor(points) ? 0 : 1);
}

}  // namespace

TCatchAreaAxis CatchAreaAxis(const TCatchZoneData& z) {
  TCatchAreaAxis a;
  a.scale = std::cos((z.BackLeftCornerLat + z.FrontRightCornerLat) / 2 * kPi / 180);
  a.backLat = (z.BackLeftCornerLat + z.BackRightCornerLat) / 2;
  a.backLon = (z.BackLeftCornerLon + z.BackRightCornerLon) / 2;
  a.axisLat = (z.FrontLeftCornerLat + z.FrontRightCornerLat) / 2 - a.backLat;
  a.axisLon = (z.FrontLeftCornerLon + z.FrontRightCornerLon) / 2 - a.backLon;
  return a;
}

double CatchAreaFraction(const TCatchAreaAxis& a, double lat, double lon) {
  const double axisLon = a.axisLon * a.scale;
  const double length2 = a.axisLat * a.axisLat + axisLon * axisLon;
  return ((lat - a.backLat) * a.axisLat + (lon - a.backLon) * a.scale * axisLon) / length2;
}

void WireBandStart(const TCatchZoneData& zone, int wire, double& lat, double& lon) {
  const TCatchAreaAxis a = CatchAreaAxis(zone);
  const double fraction = (wire - 1) / 4.0;
  lat = a.backLat + fraction * a.axisLat;
  lon = a.backLon + fraction * a.axisLon;
}

int WireOf(const TCatchZoneData& z, double lat, double lon) {
  const double along = CatchAreaFraction(CatchAreaAxis(z), lat, lon);
  if (!std::isfinite(along)) return 1;
  return static_cast<int>(std::clamp(std::floor(along * 4), 0.0, 3.0)) + 1;
}

double LineupError(double magneticHeadingDeg, double runwayHeadingMagDeg) {
  double d = std::fmod(magneticHeadingDeg - runwayHeadingMagDeg, 360.0);
  if (d > 180) d -= 360;
  if (d <= -180) d += 360;
  return d;
}

const char* MissedCatchReason(TCatchVerdict verdict) {
  switch (verdict) {
    case TCatchVerdict::HookUp:
      return "hook";
    case TCatchVerdict::Altitude:
      return "high";
    case TCatchVerdict::Bank:
      return "bank";
    case TCatchVerdict::Heading:
      return "heading";
    case TCatchVerdict::Caught:
    case TCatchVerdict::OutsideArea:
      break;
  }
  return "";
}

const char* GradeOf(const TPassFigures& p) {
  const int misses[] = {Miss(Shown(p.sinkFpm, kSinkDecimals), kGradeLimits.sinkFpm),
                        Miss(Shown(p.lineupDeg, kAngleDecimals), kGradeLimits.lineupDeg),
                        Miss(Shown(p.bankDeg, kAngleDecimals), kGradeLimits.bankDeg)};
  const int narrow = static_cast<int>(std::count(std::begin(misses), std::end(misses), 1));
  const int wide = static_cast<int>(std::count(std::begin(misses), std::end(misses), 2));
  for (const TGradeRule& rule : kGradeRules)
    if (p.wire >= 1 && p.wire <= 4 && (rule.wires & (1u << p.wire)) != 0 &&
        narrow <= rule.narrowMisses && wide <= rule.wideMisses)
      return rule.grade;
  return kGradeRules[std::size(kGradeRules) - 1].grade;
}

std::string UtcText(int64_t unixUs) {
  // Days and seconds of the day, then the civil date of the day count (proleptic Gregorian).
  int64_t seconds = unixUs / 1000000 - (unixUs % 1000000 < 0 ? 1 : 0);
  int64_t days = seconds / 86400;
  int64_t secOfDay = seconds % 86400;
  if (secOfDay < 0) {
    secOfDay += 86400;
    --days;
  }
  const int64_t z = days + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t day = doy - (153 * mp + 2) / 5 + 1;
  const int64_t month = mp < 10 ? mp + 3 : mp - 9;
  const int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld",
                static_cast<long long>(year), static_cast<long long>(month),
                static_cast<long long>(day), static_cast<long long>(secOfDay / 3600),
                static_cast<long long>(secOfDay / 60 % 60), static_cast<long long>(secOfDay % 60));
  return buf;
}

std::string CsvField(const std::string& text) {
  std::string s = text;
  for (char& c : s)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  // A leading =, +, - or @ would make a spreadsheet evaluate the carrier's name.
  if (!s.empty() && (s[0] == '=' || s[0] == '+' || s[0] == '-' || s[0] == '@')) s = "'" + s;
  if (s.find_first_of(",\"") == std::string::npos) return s;
  std::string quoted = "\"";
  for (char c : s) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string LsoColumns(const TLsoGrade* grade, const TGrooveTracker* pass) {
  std::string out;
  out += ",";
  if (grade) out += PointsText(grade->points);
  out += ",";
  if (grade) out += CsvField(grade->comment);
  for (TLsoPhase p : {TLsoPhase::X, TLsoPhase::IM, TLsoPhase::IC, TLsoPhase::AR}) {
    const TPhaseRecord* r = pass ? &pass->phase(p) : nullptr;
    const bool seen = r && r->seen;
    out += ",";
    if (seen) out += Fixed(r->glideSlopeDeg, 2);
    out += ",";
    if (seen) out += Fixed(r->lineupDeg, 2);
  }
  return out;
}

std::string TrapLogGearHeader() {
  std::string header = TrapLogHeader;
  header.resize(header.size() - 2);  // the CR LF
  return header + TrapLogGearColumns + "\r\n";
}

std::string GearColumns(const TGearFigures& gear) {
  std::string out = ",";
  if (gear.windOverDeckKt) out += Fixed(*gear.windOverDeckKt, 1);
  out += ",";
  if (gear.runoutFt) out += Fixed(*gear.runoutFt, 0);
  return out + "," + CsvField(gear.note);
}

std::string TrapLine(const std::string& utc, const TPassFigures& pass, const char* grade,
                     const TArrestFigures& a, const char* result, const std::string& lsoColumns) {
  return PassColumns(utc, "trap", pass, std::to_string(pass.wire), grade) + "," +
         Fixed(a.stopFt, 0) + "," + Fixed(a.stopS, 2) + "," + Fixed(a.peakG, 1) + ",,,," + result +
         lsoColumns + "\r\n";
}

std::string BolterLine(const std::string& utc, const TPassFigures& pass, const char* reason,
                       const char* grade, const std::string& lsoColumns) {
  return PassColumns(utc, "bolter", pass, "", grade) + ",,,,,,," + reason + lsoColumns + "\r\n";
}

std::string WaveOffLine(const std::string& utc, const TPassFigures& pass, const char* reason,
                        const std::string& lsoColumns) {
  // A pass waved off before it reached the catch area has no entry figures: they stay empty.
  const std::string columns = *reason ? PassColumns(utc, "waveoff", pass, "", "WO")
                                      : utc + ",waveoff," + CsvField(pass.carrier) + "," +
                                            std::to_string(pass.zoneNumber) + ",,WO,,,,";
  return columns + ",,,,,,," + reason + lsoColumns + "\r\n";
}

std::string LaunchLine(const std::string& utc, const TLaunchFigures& l, const char* result) {
  return utc + ",launch," + CsvField(l.carrier) + "," + std::to_string(l.zoneNumber) +
         ",,,,,,,,,," + Fixed(l.endSpeedKt, 0) + "," + Fixed(l.strokeFt, 0) + "," +
         Fixed(l.strokeS, 2) + "," + result + LsoColumns(nullptr, nullptr) + "\r\n";
}

std::string TrapMessage(const TPassFigures& pass, const char* grade) {
  return "Trap: " + std::to_string(pass.wire) + " wire, " + grade + " -- " + MessageFigures(pass);
}

std::string BolterMessage(const TPassFigures& pass) {
  return std::string("Bolter: ") + kBolterGrade + " -- " + MessageFigures(pass);
}

std::string LsoMessage(const TLsoGrade& g) {
  std::string head;
  if (g.wire != 0)
    head = "Trap: " + std::to_string(g.wire) + " wire, ";
  else if (g.grade == "WO")
    head = "Wave-off: ";
  else
    head = "Bolter: ";
  return head + g.grade + ", " + PointsText(g.points) + (g.points == 1 ? " point" : " points") +
         " -- " + g.comment;
}
