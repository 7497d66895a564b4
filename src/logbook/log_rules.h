#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "arrest/geometry.h"
#include "config/catch_zone.h"
#include "lso/groove.h"

// The trap and launch log: how a pass is graded, which wire it took, and the lines and
// messages written for it. Pure functions; TTrapLog feeds them (logbook/trap_log.h).

/// The log in the program folder; lines are only ever appended.
inline constexpr const char* TrapLogFileName = "CorvaneLog.csv";
/// First line of a new log: the columns of every line. The LSO's columns come last, so a log
/// begun before them is continued under this line (see TrapLogHeaderStart).
inline constexpr const char* TrapLogHeader =
    "utc,event,carrier,zone,wire,grade,ground_speed_kt,sink_fpm,lineup_deg,bank_deg,stop_ft,"
    "stop_s,peak_g,end_speed_kt,stroke_ft,stroke_s,result,points,comment,x_gs_deg,x_lineup_deg,"
    "im_gs_deg,im_lineup_deg,ic_gs_deg,ic_lineup_deg,ar_gs_deg,ar_lineup_deg\r\n";
/// The columns of realistic arresting gear and catapult, after the LSO's. A log gains them with
/// its first line that carries a gear figure, under a header of its own, and keeps them for every
/// later line; a log kept without realistic gear keeps the columns above.
inline constexpr const char* TrapLogGearColumns = ",wind_over_deck_kt,runout_ft,gear_note";
/// TrapLogHeader with the gear columns.
std::string TrapLogGearHeader();
/// How every header line of the log begins, today's and older ones: a line beginning so is a
/// header, never an event.
inline constexpr const char* TrapLogHeaderStart = "utc,event,";
/// Display time of the message after a trap or a bolter, seconds.
inline constexpr int16_t TrapLogMessageSeconds = 5;

/// The limits of a good pass; a value exactly at its limit is within it.
struct TGradeLimits {
  double sinkFpm;
  double lineupDeg;
  double bankDeg;
};
inline constexpr TGradeLimits kGradeLimits{700, 3, 3};
/// A limit is missed narrowly when the value stays below this many times the limit, widely
/// otherwise.
inline constexpr double kNarrowMissFactor = 2;

/// One row of the grading table: a catch on one of `wires` (bit w for wire w) with at most
/// this many narrow and wide misses of the limits earns `grade`. The first row that fits wins.
struct TGradeRule {
  const char* grade;
  unsigned wires;
  int narrowMisses;
  int wideMisses;
};
inline constexpr TGradeRule kGradeRules[] = {
    {"_OK_", 1u << 3, 0, 0},
    {"OK", (1u << 2) | (1u << 4), 0, 0},
    {"OK", 1u << 3, 1, 0},
    {"(OK)", (1u << 1) | (1u << 2) | (1u << 3) | (1u << 4), 3, 3},
};
/// Grade of a pass through the catch area that was not caught.
inline constexpr const char* kBolterGrade = "B";

/// The figures of one pass at the moment of the catch (or of entering the catch area).
struct TPassFigures {
  std::string carrier;
  int zoneNumber = 0;  // section number in the data file: 1 for Zone01
  int wire = 0;        // 1 to 4; 0 for a bolter
  double groundSpeedKt = 0;
  double sinkFpm = 0;    // positive descending
  double lineupDeg = 0;  // aircraft heading less runway heading, -180 to 180, right positive
  double bankDeg = 0;
};

/// How an arrest ended: distance and time from the catch, peak deceleration.
struct TArrestFigures {
  double stopFt = 0;
  double stopS = 0;
  double peakG = 0;
};

/// One catapult stroke.
struct TLaunchFigures {
  std::string carrier;
  int zoneNumber = 0;
  double endSpeedKt = 0;
  double strokeFt = 0;
  double strokeS = 0;
};

/// The catch area's centre line: from the middle of its back edge to the middle of its front
/// edge, with the longitude scaled to the same length as the latitude at the deck.
struct TCatchAreaAxis {
  double backLat = 0;
  double backLon = 0;
  double axisLat = 0;
  double axisLon = 0;  // unscaled degrees of longitude
  double scale = 1;    // length of a degree of longitude in degrees of latitude
};
TCatchAreaAxis CatchAreaAxis(const TCatchZoneData& zone);

/// Where lat/lon lies along the catch area: 0 at its back edge, 1 at its front edge.
double CatchAreaFraction(const TCatchAreaAxis& axis, double lat, double lon);

/// The point on the catch area's centre line where the band of `wire` begins (1: the back
/// edge, 5: the front edge).
void WireBandStart(const TCatchZoneData& zone, int wire, double& lat, double& lon);

/// The wire taken at lat/lon: the catch area from its back edge to its front edge split into
/// four equal bands, 1 at the back. Positions behind or beyond the edges count as 1 or 4.
int WireOf(const TCatchZoneData& zone, double lat, double lon);

/// Signed difference of a heading from the runway heading, -180 (exclusive) to 180 degrees.
double LineupError(double magneticHeadingDeg, double runwayHeadingMagDeg);

/// Why a tick inside the catch area did not catch, as the log's result column says it.
const char* MissedCatchReason(TCatchVerdict verdict);

/// Grade of a caught pass by the table kGradeRules, on its figures rounded as the log and the
/// message show them.
const char* GradeOf(const TPassFigures& pass);

/// "2026-12-07 12:00:31" (UTC) of microseconds since 1970.
std::string UtcText(int64_t unixUs);

/// A text as one CSV field: control characters become blanks, a field with a comma or quote is
/// quoted, and one a spreadsheet would take for a formula is made plain text.
std::string CsvField(const std::string& text);

/// The LSO's columns of a line: points, comment and the glide-slope and lineup errors at X,
/// IM, IC and AR, each column led by its comma. All empty without a pass the LSO followed (a
/// launch, or a pass first seen inside X); a phase not flown leaves its two empty.
std::string LsoColumns(const TLsoGrade* grade, const TGrooveTracker* pass);

/// The figures of realistic gear for a trap or a launch: the headwind along the deck, the
/// run-out the arrest aimed for, and a note (why the run-out was not met). None when realistic
/// gear is off.
struct TGearFigures {
  std::optional<double> windOverDeckKt;
  std::optional<double> runoutFt;
  std::string note;
  bool any() const { return windOverDeckKt || runoutFt || !note.empty(); }
};

/// The gear columns of a line, each led by its comma; empty fields for figures not known.
std::string GearColumns(const TGearFigures& gear);

/// The log lines, each ending in CR LF. grade is the LSO's when it followed the pass.
std::string TrapLine(const std::string& utc, const TPassFigures& pass, const char* grade,
                     const TArrestFigures& arrest, const char* result,
                     const std::string& lsoColumns = LsoColumns(nullptr, nullptr));
std::string BolterLine(const std::string& utc, const TPassFigures& pass, const char* reason,
                       const char* grade = kBolterGrade,
                       const std::string& lsoColumns = LsoColumns(nullptr, nullptr));
/// A waved-off pass that was not caught: event `waveoff`, grade WO, the figures of its entry
/// into the catch area (zero when it never entered it), reason why it was not caught.
std::string WaveOffLine(const std::string& utc, const TPassFigures& pass, const char* reason,
                        const std::string& lsoColumns);
std::string LaunchLine(const std::string& utc, const TLaunchFigures& launch, const char* result);

/// The in-simulator message: "Trap: 3 wire, _OK_ -- 131 kt, 610 fpm, lineup +0.8" or
/// "Bolter: B -- 131 kt, 610 fpm, lineup +35.0".
std::string TrapMessage(const TPassFigures& pass, const char* grade);
std::string BolterMessage(const TPassFigures& pass);
/// The message after a pass the LSO followed: "Trap: 2 wire, OK, 4 points -- (H)X 2 wire",
/// "Bolter: B, 2.5 points -- (H)X bolter", "Wave-off: WO, 1 point -- _H_WO".
std::string LsoMessage(const TLsoGrade& grade);
