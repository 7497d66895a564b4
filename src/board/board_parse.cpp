#include <algorithm>
#include <cctype>
#include <cstdio>
#include <deque>
#include <unordered_map>

#include "board/board.h"
#include "logbook/log_rules.h"
#include "lso/trap_sheet.h"
#include "platform/ini_file.h"

namespace {

/// Splits one CSV line into fields; false on a broken quote. The fields are views of the line,
/// or of owned for a quoted field with a doubled quote in it (a deque: its strings never move).
bool SplitCsv(std::string_view line, std::vector<std::string_view>& fields,
              std::deque<std::string>& owned) {
  fields.clear();
  owned.clear();
  std::size_t i = 0;
  for (;;) {
    if (i < line.size() && line[i] == '"') {
      const std::size_t from = ++i;
      bool doubled = false;
      for (;;) {
        if (i >= line.size()) return false;  // the quote never closes
        if (line[i] == '"') {
          if (i + 1 < line.size() && line[i + 1] == '"') {
            doubled = true;
            i += 2;
            continue;
          }
          break;
        }
        ++i;
      }
      std::string_view field = line.substr(from, i - from);
      ++i;                                                  // the closing quote
      if (i < line.size() && line[i] != ',') return false;  // text after the closing quote
      if (doubled) {
        std::string& text = owned.emplace_back();
        for (std::size_t k = 0; k < field.size(); ++k) {
          text += field[k];
          if (field[k] == '"') ++k;  // the second of a doubled quote
        }
        field = text;
      }
      fields.push_back(field);
    } else {
      std::size_t end = line.find(',', i);
      if (end == std::string_view::npos) end = line.size();
      const std::string_view field = line.substr(i, end - i);
      if (field.find('"') != std::string_view::npos) return false;
      fields.push_back(field);
      i = end;
    }
    if (i >= line.size()) return true;
    ++i;  // the comma
  }
}

/// The same, into strings (header lines).
bool SplitCsv(std::string_view line, std::vector<std::string>& fields) {
  std::vector<std::string_view> views;
  std::deque<std::string> owned;
  if (!SplitCsv(line, views, owned)) return false;
  fields.assign(views.begin(), views.end());
  return true;
}

/// The lines of a text, without their CR LF or LF.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> out;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    out.push_back(line);
    start = end + 1;
  }
  return out;
}

/// Column positions by name for the lines under one header.
struct TColumns {
  std::vector<std::string> names;
  /// Call after names changed: the position of each name (the first, when one is repeated).
  void reindex() {
    index.clear();
    for (std::size_t i = 0; i < names.size(); ++i) index.emplace(names[i], static_cast<int>(i));
  }
  int find(std::string_view name) const {
    const auto it = index.find(name);
    return it == index.end() ? -1 : it->second;
  }

 private:
  std::unordered_map<std::string_view, int> index;  // views of names
};

bool Digits(std::string_view s, std::size_t from, std::size_t n) {
  for (std::size_t i = from; i < from + n; ++i)
    if (i >= s.size() || !std::isdigit(static_cast<unsigned char>(s[i]))) return false;
  return true;
}

/// "2026-12-08 20:30:12"
bool IsUtc(std::string_view s) {
  return s.size() == 19 && Digits(s, 0, 4) && s[4] == '-' && Digits(s, 5, 2) && s[7] == '-' &&
         Digits(s, 8, 2) && s[10] == ' ' && Digits(s, 11, 2) && s[13] == ':' && Digits(s, 14, 2) &&
         s[16] == ':' && Digits(s, 17, 2);
}

/// An optional number: an empty field is none; false when the field is not a number.
bool Number(const std::vector<std::string_view>& f, int col, std::optional<double>& out) {
  out.reset();
  if (col < 0 || f[col].empty()) return true;
  out = platform::parseFloat(f[col]);
  return out.has_value();
}

std::string Field(const std::vector<std::string_view>& f, int col) {
  return col < 0 ? std::string() : std::string(f[col]);
}

bool ReadPass(const TColumns& c, const std::vector<std::string_view>& f, TBoardPass& p) {
  p.utc = Field(f, c.find("utc"));
  p.event = Field(f, c.find("event"));
  if (!IsUtc(p.utc)) return false;
  if (p.event != "trap" && p.event != "bolter" && p.event != "waveoff" && p.event != "launch")
    return false;
  p.carrier = Field(f, c.find("carrier"));
  // The log defuses a name a spreadsheet would run as a formula with a leading quote.
  if (p.carrier.size() > 1 && p.carrier[0] == '\'' &&
      std::string_view("=+-@").find(p.carrier[1]) != std::string_view::npos)
    p.carrier.erase(0, 1);
  p.zone = Field(f, c.find("zone"));
  const std::string wire = Field(f, c.find("wire"));
  if (!wire.empty()) {
    if (wire.size() != 1 || wire[0] < '1' || wire[0] > '4') return false;
    p.wire = wire[0] - '0';
  }
  p.grade = Field(f, c.find("grade"));
  p.comment = Field(f, c.find("comment"));
  p.result = Field(f, c.find("result"));
  if (!Number(f, c.find("points"), p.points) ||
      !Number(f, c.find("ground_speed_kt"), p.groundSpeedKt) ||
      !Number(f, c.find("sink_fpm"), p.sinkFpm) || !Number(f, c.find("lineup_deg"), p.lineupDeg) ||
      !Number(f, c.find("bank_deg"), p.bankDeg) || !Number(f, c.find("stop_ft"), p.stopFt) ||
      !Number(f, c.find("stop_s"), p.stopS) || !Number(f, c.find("peak_g"), p.peakG))
    return false;
  static const char* const kPhases[4] = {"x", "im", "ic", "ar"};
  for (int i = 0; i < 4; ++i) {
    const std::string ph = kPhases[i];
    if (!Number(f, c.find(ph + "_gs_deg"), p.phaseGs[i]) ||
        !Number(f, c.find(ph + "_lineup_deg"), p.phaseLineup[i]))
      return false;
  }
  return true;
}

/// Days since 1970-01-01 of a civil date.
long long DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;
  const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return static_cast<long long>(era) * 146097 + doe - 719468;
}

/// The UTC text one second later.
std::string NextSecond(const std::string& utc) {
  const int y = std::stoi(utc.substr(0, 4)), mo = std::stoi(utc.substr(5, 2)),
            d = std::stoi(utc.substr(8, 2));
  long long t = DaysFromCivil(y, mo, d) * 86400 + std::stoi(utc.substr(11, 2)) * 3600 +
                std::stoi(utc.substr(14, 2)) * 60 + std::stoi(utc.substr(17, 2)) + 1;
  long long days = t / 86400;
  const long long secs = t % 86400;
  // Civil date from days.
  days += 719468;
  const long long era = (days >= 0 ? days : days - 146096) / 146097;
  const long long doe = days - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  const long long dd = doy - (153 * mp + 2) / 5 + 1;
  const long long mm = mp + (mp < 10 ? 3 : -9);
  const long long yy = yoe + era * 400 + (mm <= 2);
  char buf[128];
  std::snprintf(buf, sizeof buf, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld", yy, mm, dd,
                secs / 3600, secs / 60 % 60, secs % 60);
  return buf;
}

}  // namespace

TBoardLog ParseBoardLog(std::string_view text) {
  TBoardLog log;
  TColumns cols;
  {
    // Lines before any header are read under today's columns.
    std::string_view h = TrapLogHeader;
    while (!h.empty() && (h.back() == '\n' || h.back() == '\r')) h.remove_suffix(1);
    SplitCsv(h, cols.names);
    cols.reindex();
  }
  std::vector<std::string_view> fields;
  std::deque<std::string> owned;
  for (std::string_view line : Lines(text)) {
    if (line.empty()) continue;
    if (line.substr(0, std::string_view(TrapLogHeaderStart).size()) == TrapLogHeaderStart) {
      SplitCsv(line, cols.names);
      cols.reindex();
      continue;
    }
    TBoardPass p;
    if (!SplitCsv(line, fields, owned) || fields.size() != cols.names.size() ||
        !ReadPass(cols, fields, p)) {
      ++log.skippedLines;
      continue;
    }
    if (p.event == "launch")
      ++log.launches;
    else
      log.passes.push_back(std::move(p));
  }
  return log;
}

TBoardSheet ParseBoardSheet(std::string_view text) {
  TBoardSheet sheet;
  sheet.rows.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')));
  TColumns cols;
  // The column of each number of a row, found once from the header (-1: not in this sheet).
  static const char* const kNumbers[8] = {"time_s",     "distance_ft",     "height_ft", "gs_deg",
                                          "lineup_deg", "ground_speed_kt", "sink_fpm",  "bank_deg"};
  int at[8] = {};
  int phaseAt = -1, callAt = -1;
  std::vector<std::string_view> f;
  std::deque<std::string> owned;
  bool header = false;
  for (std::string_view line : Lines(text)) {
    if (line.empty()) continue;
    if (!header) {
      header = SplitCsv(line, cols.names);
      cols.reindex();
      header = header && cols.find("distance_ft") >= 0 && cols.find("gs_deg") >= 0 &&
               cols.find("lineup_deg") >= 0;
      if (!header) {
        ++sheet.skippedLines;
        continue;
      }
      for (int i = 0; i < 8; ++i) at[i] = cols.find(kNumbers[i]);
      phaseAt = cols.find("phase");
      callAt = cols.find("call");
      continue;
    }
    if (!SplitCsv(line, f, owned) || f.size() != cols.names.size()) {
      ++sheet.skippedLines;
      continue;
    }
    TBoardSheetRow r;
    double* const dest[8] = {&r.timeS,     &r.distanceFt,    &r.heightFt, &r.gsDeg,
                             &r.lineupDeg, &r.groundSpeedKt, &r.sinkFpm,  &r.bankDeg};
    bool ok = true;
    for (int i = 0; i < 8 && ok; ++i) {
      if (at[i] < 0) continue;
      const auto v = platform::parseFloat(f[at[i]]);
      ok = v.has_value();
      if (ok) *dest[i] = *v;
    }
    if (!ok) {
      ++sheet.skippedLines;
      continue;
    }
    r.phase = Field(f, phaseAt);
    r.call = Field(f, callAt);
    sheet.rows.push_back(std::move(r));
  }
  return sheet;
}

const TBoardSheet* SheetOfPass(const TBoardPass& pass, const TBoardSheets& sheets,
                               std::string* name) {
  if (sheets.empty()) return nullptr;
  for (const std::string& utc : {pass.utc, NextSecond(pass.utc)}) {
    const auto it = sheets.find(TrapSheetFileName(utc, pass.carrier));
    if (it == sheets.end()) continue;
    if (name) *name = it->first;
    return &it->second;
  }
  return nullptr;
}
