#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The trap sheet: the figures of one pass, row by row from X to its end (the stop, the bolter
// or the wave-off), written to a file of its own after the pass. Pure text; TTrapLog collects
// the rows and writes the file.

/// The folder beside the program the sheets go to, with its trailing delimiter.
inline constexpr const char* TrapSheetFolder = "TrapSheets/";
/// The first line of a sheet.
inline constexpr const char* TrapSheetHeader =
    "time_s,distance_ft,height_ft,gs_deg,lineup_deg,ground_speed_kt,sink_fpm,bank_deg,phase,"
    "call\r\n";

/// One row: the aircraft at one catch check.
struct TSheetRow {
  std::int64_t timeMs = 0;  // monotonic; the sheet counts from its first row
  double distanceM = 0;     // to go to the touchdown point; negative past it
  double heightM = 0;       // above the deck
  double glideSlopeDeg = 0;
  double lineupDeg = 0;
  double groundSpeedKt = 0;
  double sinkFpm = 0;
  double bankDeg = 0;
  const char* phase = "";  // the last phase reached: X, IM, IC, AR, IW, or WO after a wave-off
  std::string call;        // the LSO's call made at this check, if any
};

/// The sheet's text: the header, then one line per row (CR LF); a call with a comma or a quote
/// is quoted as CSV requires.
std::string TrapSheetText(const std::vector<TSheetRow>& rows);

/// A name made safe for a file on any system: letters, digits, '-' and '_' kept, every other
/// character (blanks, dots, slashes, quotes, anything outside ASCII) a '_', runs of '_' made
/// one, at most 40 characters; "carrier" when nothing is left.
std::string SafeFileName(const std::string& name);

/// "2026-12-08-203012-CVN-99_Corvane_sample_.csv" from the UTC text "2026-12-08 20:30:12" of
/// the pass and its carrier.
std::string TrapSheetFileName(const std::string& utc, const std::string& carrier);
