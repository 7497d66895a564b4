#include "lso/trap_sheet.h"

#include "text/number_format.h"

namespace {

constexpr double kFeetPerMetre = 1 / 0.3048;

std::string Fixed(double value, int decimals) { return FormatFixed(value, 15, decimals); }

/// A field of the sheet: quoted, its quotes doubled, when it holds a comma or a quote.
std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

}  // namespace

std::string TrapSheetText(const std::vector<TSheetRow>& rows) {
  std::string out = TrapSheetHeader;
  if (rows.empty()) return out;
  const std::int64_t start = rows.front().timeMs;
  for (const TSheetRow& r : rows) {
    out += Fixed(static_cast<double>(r.timeMs - start) / 1000, 2) + "," +
           Fixed(r.distanceM * kFeetPerMetre, 0) + "," + Fixed(r.heightM * kFeetPerMetre, 1) + "," +
           Fixed(r.glideSlopeDeg, 2) + "," + Fixed(r.lineupDeg, 2) + "," +
           Fixed(r.groundSpeedKt, 1) + "," + Fixed(r.sinkFpm, 0) + "," + Fixed(r.bankDeg, 1) + "," +
           r.phase + "," + CsvField(r.call) + "\r\n";
  }
  return out;
}

std::string SafeFileName(const std::string& name) {
  std::string out;
  for (const char c : name) {
    const bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '-' || c == '_';
    const char put = keep ? c : '_';
    if (put == '_' && !out.empty() && out.back() == '_') continue;
    out += put;
    if (out.size() == 40) break;
  }
  if (out.empty() || out == "_") return "carrier";
  return out;
}

std::string TrapSheetFileName(const std::string& utc, const std::string& carrier) {
  // "2026-12-08 20:30:12": the date, then the time without its colons.
  std::string stamp;
  for (const char c : utc) {
    if (c == ':') continue;
    stamp += c == ' ' ? '-' : c;
  }
  return stamp + "-" + SafeFileName(carrier) + ".csv";
}
