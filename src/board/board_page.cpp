#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "board/board.h"
#include "lso/groove.h"

namespace {

std::string Fixed(double v, int decimals) {
  // Room for any double in fixed notation: a figure from a hand-edited log may be huge.
  char buf[400];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
  return r.ec == std::errc{} ? std::string(buf, r.ptr) : std::string("?");
}

std::string Signed(double v, int decimals) { return (v >= 0 ? "+" : "") + Fixed(v, decimals); }

/// The colour class of a grade's square, as squadrons colour their boards.
const char* GradeClass(const std::string& grade) {
  if (grade == "_OK_" || grade == "OK") return "green";
  if (grade == "(OK)") return "yellow";
  if (grade == "--") return "brown";
  if (grade == "B") return "blue";
  if (grade == "WO" || grade == "CUT") return "red";
  return "none";
}

/// The hover text of a square: what the pass was, the comment and the figures.
std::string HoverText(const TBoardPass& p) {
  std::string t = p.utc + " " + p.carrier + ": " + p.event;
  if (p.wire) t += " " + std::to_string(p.wire) + " wire";
  if (!p.grade.empty()) t += ", " + p.grade;
  if (p.points) t += ", " + Fixed(*p.points, 1) + " points";
  if (!p.comment.empty()) t += " -- " + p.comment;
  if (p.groundSpeedKt) t += "\n" + Fixed(*p.groundSpeedKt, 1) + " kt";
  if (p.sinkFpm) t += ", " + Fixed(*p.sinkFpm, 0) + " fpm";
  if (p.lineupDeg) t += ", lineup " + Signed(*p.lineupDeg, 1);
  if (p.bankDeg) t += ", bank " + Signed(*p.bankDeg, 1);
  if (p.stopFt) t += "\nstop " + Fixed(*p.stopFt, 0) + " ft";
  if (p.stopS) t += " in " + Fixed(*p.stopS, 1) + " s";
  if (p.peakG) t += ", peak " + Fixed(*p.peakG, 2) + " g";
  return t;
}

struct TRowStats {
  double points = 0;
  int graded = 0;
  int traps = 0;
  void add(const TBoardPass& p) {
    if (p.points) {
      points += *p.points;
      ++graded;
    }
    if (p.event == "trap") ++traps;
  }
  std::string average() const { return graded ? Fixed(points / graded, 2) : "-"; }
};

void AppendSquare(std::string& out, const TBoardPass& p, std::size_t index,
                  const std::string& hover) {
  out += "<a class=\"sq ";
  out += GradeClass(p.grade);
  out += "\" href=\"#p" + std::to_string(index) + "\" title=\"" + HtmlEscape(hover) + "\">";
  out += p.wire ? std::to_string(p.wire) : std::string("&nbsp;");
  out += "</a>";
}

/// One table of the board: a row per key (day or carrier) in the order first flown.
void AppendBoard(std::string& out, const TBoardLog& log, const std::vector<std::string>& hovers,
                 bool byDay) {
  std::vector<std::string> keys;
  std::map<std::string, std::vector<std::size_t>> rows;
  for (std::size_t i = 0; i < log.passes.size(); ++i) {
    const TBoardPass& p = log.passes[i];
    const std::string key = byDay ? p.utc.substr(0, 10) : p.carrier;
    auto [it, added] = rows.try_emplace(key);
    if (added) keys.push_back(key);
    it->second.push_back(i);
  }
  out += byDay ? "<section id=\"by-day\" class=\"view\"><h2>By day</h2>"
               : "<section id=\"by-carrier\" class=\"view\"><h2>By carrier</h2>";
  out += "<table><tr><th>";
  out += byDay ? "Day" : "Carrier";
  out += "</th><th>Passes</th><th>Average</th><th>Traps</th></tr>\n";
  TRowStats all;
  for (const std::string& key : keys) {
    TRowStats s;
    out += "<tr><th>" + HtmlEscape(key) + "</th><td class=\"sqs\">";
    for (std::size_t i : rows[key]) {
      AppendSquare(out, log.passes[i], i, hovers[i]);
      s.add(log.passes[i]);
      all.add(log.passes[i]);
    }
    out += "</td><td>" + s.average() + "</td><td>" + std::to_string(s.traps) + "</td></tr>\n";
  }
  out += "<tr class=\"all\"><th>All</th><td>" + std::to_string(log.passes.size()) +
         (log.passes.size() == 1 ? " pass" : " passes") + "</td><td>" + all.average() +
         "</td><td>" + std::to_string(all.traps) + "</td></tr></table></section>\n";
}

/// A chart frame: maps x (feet) and y into the plot area of an SVG.
struct TFrame {
  double x0, x1, y0, y1;  // domain: x0 at the left, y0 at the bottom
  static constexpr double W = 480, H = 170, L = 44, T = 8, R = 8, B = 22;
  double px(double x) const { return L + (x - x0) / (x1 - x0) * (W - L - R); }
  double py(double y) const {
    y = std::clamp(y, std::min(y0, y1), std::max(y0, y1));
    return T + (1 - (y - y0) / (y1 - y0)) * (H - T - B);
  }
};

/// A coordinate to a tenth, without the cost of printf: the plots hold many of them.
void AppendNum(std::string& out, double v) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 1);
  out.append(buf, r.ptr);
}

std::string Num(double v) {
  std::string s;
  AppendNum(s, v);
  return s;
}

void AppendRect(std::string& out, const TFrame& f, double ya, double yb, const char* cls) {
  const double top = std::min(f.py(ya), f.py(yb)), bottom = std::max(f.py(ya), f.py(yb));
  out += "<rect class=\"" + std::string(cls) + "\" x=\"" + Num(TFrame::L) + "\" y=\"" + Num(top) +
         "\" width=\"" + Num(TFrame::W - TFrame::L - TFrame::R) + "\" height=\"" +
         Num(bottom - top) + "\"/>";
}

/// The shaded bands of one quantity: the bands above (high, right) and below (low, left).
void AppendBands(std::string& out, const TFrame& f, const TDeviationBand& up,
                 const TDeviationBand& down) {
  const double top = std::max(f.y0, f.y1), bottom = std::min(f.y0, f.y1);
  AppendRect(out, f, down.little, up.little, "b0");
  AppendRect(out, f, up.little, up.reasonable, "b1");
  AppendRect(out, f, down.reasonable, down.little, "b1");
  AppendRect(out, f, up.reasonable, up.gross, "b2");
  AppendRect(out, f, down.gross, down.reasonable, "b2");
  AppendRect(out, f, up.gross, top, "b3");
  AppendRect(out, f, bottom, down.gross, "b3");
}

/// The y axis: a grid line and a figure every yStep, and its title. Its texts carry their own
/// class: drawn once and used by every plot, they are not inside the plot for a browser's
/// styles.
void AppendYAxis(std::string& out, const TFrame& f, const std::string& yLabel, double yStep) {
  for (double y = std::ceil(std::min(f.y0, f.y1) / yStep) * yStep; y <= std::max(f.y0, f.y1);
       y += yStep) {
    out += "<line class=\"grid\" x1=\"" + Num(TFrame::L) + "\" x2=\"" + Num(TFrame::W - TFrame::R) +
           "\" y1=\"" + Num(f.py(y)) + "\" y2=\"" + Num(f.py(y)) + "\"/><text class=\"ax\" x=\"" +
           Num(TFrame::L - 3) + "\" y=\"" + Num(f.py(y) + 3) + "\" text-anchor=\"end\">" +
           Fixed(y, std::fabs(yStep) < 1 ? 1 : 0) + "</text>";
  }
  out += "<text class=\"ax\" x=\"2\" y=\"" + Num(TFrame::T + 8) + "\">" + yLabel + "</text>";
}

/// The x axis: a figure every round distance, and its title.
void AppendXAxis(std::string& out, const TFrame& f, const std::string& xLabel) {
  const double span = std::fabs(f.x1 - f.x0);
  const double xStep = span > 3000 ? 1000 : span > 600 ? 200 : 50;
  for (double x = std::ceil(std::min(f.x0, f.x1) / xStep) * xStep; x <= std::max(f.x0, f.x1);
       x += xStep)
    out += "<text x=\"" + Num(f.px(x)) + "\" y=\"" + Num(TFrame::H - 8) +
           "\" text-anchor=\"middle\">" + Fixed(x, 0) + "</text>";
  out += "<text x=\"" + Num(TFrame::W - TFrame::R) + "\" y=\"" + Num(TFrame::H) +
         "\" text-anchor=\"end\">" + xLabel + "</text>";
}

/// The frame of the glide-slope (gs) or lineup plot: its y range is the same for every pass.
TFrame ErrorFrame(double far, double near, bool gs) {
  const double lim = gs ? 2.5 : 4.0;
  return {far, near, -lim, lim};
}

/// The background of the glide-slope and lineup plots, the same for every pass, drawn once at
/// the top of the passes and used by each plot: the LSO's bands and the y axis.
void AppendErrorBackgrounds(std::string& out) {
  out +=
      "<svg class=\"plot\" width=\"0\" height=\"0\" style=\"position:absolute\" "
      "xmlns=\"http://www.w3.org/2000/svg\"><defs>";
  const auto& b = DeviationBands;
  for (const bool gs : {true, false}) {
    const TFrame f = ErrorFrame(1, 0, gs);
    out += gs ? "<g id=\"bg-gs\">" : "<g id=\"bg-lineup\">";
    if (gs)
      AppendBands(out, f, b[0], b[1]);
    else
      AppendBands(out, f, b[3], b[2]);
    AppendYAxis(out, f, gs ? "glide slope, deg (high +)" : "lineup, deg (right +)", gs ? 0.5 : 1.0);
    out += "</g>";
  }
  out += "</defs></svg>\n";
}

/// A line with no more points than the plot has room for: the rows are taken in columns 3 px
/// wide, and of each column only its first point is drawn, with its lowest and highest when
/// they lie a pixel or more from it (so a spike is never lost), and the very last point.
void AppendPolyline(std::string& out, const TFrame& f, const std::vector<double>& xs,
                    const std::vector<double>& ys, const char* cls) {
  if (xs.size() < 2) return;
  constexpr double kColumnPx = 3;
  const std::size_t n = xs.size();
  const auto column = [&](std::size_t i) { return std::floor(f.px(xs[i]) / kColumnPx); };
  out += "<polyline class=\"" + std::string(cls) + "\" points=\"";
  std::size_t last = n;  // the last point drawn
  const auto point = [&](std::size_t i) {
    if (last != n) out += ' ';
    AppendNum(out, f.px(xs[i]));
    out += ',';
    AppendNum(out, f.py(ys[i]));
    last = i;
  };
  for (std::size_t i = 0; i < n;) {
    const double col = column(i);
    std::size_t end = i + 1, low = i, high = i;
    for (; end < n && column(end) == col; ++end) {
      if (f.py(ys[end]) > f.py(ys[low])) low = end;
      if (f.py(ys[end]) < f.py(ys[high])) high = end;
    }
    point(i);
    const double y = f.py(ys[i]);
    for (const std::size_t k : {std::min(low, high), std::max(low, high)})
      if (k != last && std::fabs(f.py(ys[k]) - y) >= 1) point(k);
    i = end;
  }
  if (last != n - 1) point(n - 1);
  out += "\"/>";
}

/// The error of one quantity down the groove against distance to go, with the LSO's bands and
/// a mark where each phase began.
void AppendErrorPlot(std::string& out, const std::vector<const TBoardSheetRow*>& rows, bool gs) {
  double far = LsoStartM / 0.3048, near = 0;
  for (const TBoardSheetRow* r : rows) {
    far = std::max(far, r->distanceFt);
    near = std::min(near, r->distanceFt);
  }
  const TFrame f = ErrorFrame(far, near, gs);
  out +=
      "<svg class=\"plot\" viewBox=\"0 0 480 170\" width=\"480\" height=\"170\" "
      "xmlns=\"http://www.w3.org/2000/svg\">";
  out += gs ? "<use href=\"#bg-gs\"/>" : "<use href=\"#bg-lineup\"/>";
  AppendXAxis(out, f, "distance to go, ft");
  std::vector<double> xs, ys;
  std::string last;
  for (const TBoardSheetRow* r : rows) {
    xs.push_back(r->distanceFt);
    ys.push_back(gs ? r->gsDeg : r->lineupDeg);
    if (r->phase != last) {
      last = r->phase;
      const std::string x = Num(f.px(r->distanceFt));
      out += "<line class=\"mark\" x1=\"" + x + "\" x2=\"" + x + "\" y1=\"" + Num(TFrame::T) +
             "\" y2=\"" + Num(TFrame::H - TFrame::B) + "\"/><text class=\"mk\" x=\"" + x +
             "\" y=\"" + Num(TFrame::T + 10) + "\">" + HtmlEscape(r->phase) + "</text>";
    }
  }
  AppendPolyline(out, f, xs, ys, "err");
  // The LSO's calls: a dot on the line where each was made, its words beside it, set above and
  // below the line in turn so that calls close together stay readable.
  int calls = 0;
  for (const TBoardSheetRow* r : rows) {
    if (r->call.empty()) continue;
    const double x = f.px(r->distanceFt), y = f.py(gs ? r->gsDeg : r->lineupDeg);
    const double ty =
        std::clamp(y + (calls++ % 2 ? 14.0 : -6.0), TFrame::T + 20, TFrame::H - TFrame::B - 2);
    const bool right = x > TFrame::W / 2;
    out += "<g class=\"call\"><circle cx=\"" + Num(x) + "\" cy=\"" + Num(y) +
           "\" r=\"3\"/><text x=\"" + Num(right ? x - 5 : x + 5) + "\" y=\"" + Num(ty) +
           "\" text-anchor=\"" + (right ? "end" : "start") + "\">" + HtmlEscape(r->call) +
           "</text></g>";
  }
  out += "</svg>";
}

/// The arrest: ground speed and deceleration against distance to the stop.
void AppendArrestPlot(std::string& out, const std::vector<const TBoardSheetRow*>& rows) {
  const double stop = rows.back()->distanceFt;
  const double run = std::max(1.0, rows.front()->distanceFt - stop);
  double vmax = 20, gmax = 1;
  std::vector<double> xs, speed, decel;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    xs.push_back(rows[i]->distanceFt - stop);
    speed.push_back(rows[i]->groundSpeedKt);
    double g = 0;
    if (i > 0 && rows[i]->timeS > rows[i - 1]->timeS)
      g = (rows[i - 1]->groundSpeedKt - rows[i]->groundSpeedKt) * 1.68781 /
          (rows[i]->timeS - rows[i - 1]->timeS) / 32.174;
    decel.push_back(g);
    vmax = std::max(vmax, rows[i]->groundSpeedKt);
    gmax = std::max(gmax, g);
  }
  vmax = std::ceil(vmax / 20) * 20;
  gmax = std::ceil(gmax);
  const TFrame fv{run, 0, 0, vmax};
  const TFrame fg{run, 0, 0, gmax};
  out +=
      "<svg class=\"plot\" viewBox=\"0 0 480 170\" width=\"480\" height=\"170\" "
      "xmlns=\"http://www.w3.org/2000/svg\">";
  AppendYAxis(out, fv, "speed, kt", 20);
  AppendXAxis(out, fv, "distance to the stop, ft");
  AppendPolyline(out, fv, xs, speed, "err");
  AppendPolyline(out, fg, xs, decel, "dec");
  out += "<text class=\"dec-l\" x=\"" + Num(TFrame::W - TFrame::R) + "\" y=\"" +
         Num(TFrame::T + 8) + "\" text-anchor=\"end\">deceleration, g (0 to " + Fixed(gmax, 0) +
         ")</text></svg>";
}

void AppendLogFigures(std::string& out, const TBoardPass& p) {
  static const char* const kPhases[4] = {"X", "IM", "IC", "AR"};
  std::string cells;
  for (int i = 0; i < 4; ++i) {
    if (!p.phaseGs[i] && !p.phaseLineup[i]) continue;
    cells += "<tr><th>" + std::string(kPhases[i]) + "</th><td>" +
             (p.phaseGs[i] ? Signed(*p.phaseGs[i], 2) : "") + "</td><td>" +
             (p.phaseLineup[i] ? Signed(*p.phaseLineup[i], 2) : "") + "</td></tr>";
  }
  if (!cells.empty())
    out += "<table class=\"ph\"><tr><th>Phase</th><th>Glide slope</th><th>Lineup</th></tr>" +
           cells + "</table>";
}

void AppendPass(std::string& out, const TBoardPass& p, std::size_t index, const std::string& hover,
                const TBoardSheet* sheet) {
  out += "<div class=\"pass\" id=\"p" + std::to_string(index) + "\"><h3><span class=\"sq " +
         GradeClass(p.grade) + "\">" + (p.wire ? std::to_string(p.wire) : "&nbsp;") + "</span> " +
         HtmlEscape(p.utc + " " + p.carrier) + "</h3><p class=\"fig\">" + HtmlEscape(hover) +
         "</p>";
  AppendLogFigures(out, p);
  std::vector<const TBoardSheetRow*> groove, arrest;
  if (sheet)
    for (const TBoardSheetRow& r : sheet->rows) (r.phase == "IW" ? arrest : groove).push_back(&r);
  if (groove.size() >= 2) {
    AppendErrorPlot(out, groove, true);
    AppendErrorPlot(out, groove, false);
    if (arrest.size() >= 2) AppendArrestPlot(out, arrest);
  } else {
    out += "<p class=\"nosheet\">No trap sheet for this pass: the log's figures only.</p>";
  }
  out += "<p><a href=\"#top\">Back to the board</a></p></div>\n";
}

constexpr const char* kStyle =
    "body{font-family:sans-serif;margin:1em;background:#f7f5ef;color:#222}"
    "table{border-collapse:collapse}th,td{padding:2px 8px;text-align:left}"
    "tr.all{border-top:2px solid #444}"
    ".sq{display:inline-block;width:20px;height:20px;margin:1px;text-align:center;"
    "font:bold 13px/20px sans-serif;color:#fff;text-decoration:none;border:1px solid #333}"
    ".green{background:#2e8b3a}.yellow{background:#f2d21b;color:#222}.brown{background:#7a4b22}"
    ".blue{background:#1f5fd0}.red{background:#c8202a}.none{background:#999}"
    ".note{color:#a33}.pass{margin:1.5em 0;padding-top:.5em;border-top:1px solid #bbb}"
    ".fig{white-space:pre-line}.plot{display:block;margin:4px 0;background:#fff}"
    ".plot text,.ax{font:10px sans-serif;fill:#333}.plot .mk{fill:#003}"
    ".b0{fill:#d8f0d8}.b1{fill:#fbf3c4}.b2{fill:#fbd9b4}.b3{fill:#f6c4c4}"
    ".grid{stroke:#ccc;stroke-width:.5}.mark{stroke:#446;stroke-dasharray:3 3}"
    ".err{fill:none;stroke:#000;stroke-width:1.5}.dec{fill:none;stroke:#c33;stroke-width:1}"
    ".plot .dec-l{fill:#c33}.call circle{fill:#0a58a8}.plot .call text{fill:#0a58a8;"
    "font-weight:bold}";

constexpr const char* kScript =
    "<script>function show(v){for(const s of document.querySelectorAll('.view'))"
    "s.style.display=s.id===v?'':'none';}show('by-day');</script>";

}  // namespace

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

namespace {

std::string PassKey(const TBoardPass& p, std::size_t index, const std::string& hover,
                    const std::string& sheetName) {
  std::string key = std::to_string(index) + '\n' + p.utc + '\n' + p.event + '\n' + p.carrier +
                    '\n' + p.grade + '\n' + p.comment + '\n' + std::to_string(p.wire) + '\n' +
                    hover + '\n';
  for (int i = 0; i < 4; ++i) {
    for (const std::optional<double>& v : {p.phaseGs[i], p.phaseLineup[i]})
      key += v ? Fixed(*v, 2) + ' ' : std::string("- ");
  }
  return key + '\n' + sheetName;
}

}  // namespace

std::string BoardPassKey(const TBoardPass& p, std::size_t index, const std::string& sheetName) {
  return PassKey(p, index, HoverText(p), sheetName);
}

std::string BoardPage(const TBoardLog& log, const TBoardSheets& sheets, TBoardPassCache* cache) {
  std::string out;
  out.reserve(4096 + log.passes.size() * 6000);
  out +=
      "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
      "<title>Corvane greenie board</title><style>";
  out += kStyle;
  out += "</style></head><body id=\"top\"><h1>Greenie board</h1>\n";
  std::size_t skipped = log.skippedLines, sheetSkipped = 0;
  for (const auto& [name, sheet] : sheets) sheetSkipped += sheet.skippedLines;
  if (skipped)
    out += "<p class=\"note\">" + std::to_string(skipped) + (skipped == 1 ? " line" : " lines") +
           " of the log could not be read and were skipped.</p>\n";
  if (sheetSkipped)
    out += "<p class=\"note\">" + std::to_string(sheetSkipped) +
           (sheetSkipped == 1 ? " line" : " lines") +
           " of the trap sheets could not be read and were skipped.</p>\n";
  if (log.passes.empty()) out += "<p>No passes in the log yet.</p>\n";
  out +=
      "<p><button onclick=\"show('by-day')\">By day</button> "
      "<button onclick=\"show('by-carrier')\">By carrier</button></p>\n";
  std::vector<std::string> hovers;
  hovers.reserve(log.passes.size());
  for (const TBoardPass& p : log.passes) hovers.push_back(HoverText(p));
  AppendBoard(out, log, hovers, true);
  AppendBoard(out, log, hovers, false);
  out += "<h2>Passes</h2>\n";
  AppendErrorBackgrounds(out);
  std::map<std::string, std::string> used;
  for (std::size_t i = 0; i < log.passes.size(); ++i) {
    const TBoardPass& p = log.passes[i];
    std::string sheetName;
    const TBoardSheet* sheet = SheetOfPass(p, sheets, &sheetName);
    if (!cache) {
      AppendPass(out, p, i, hovers[i], sheet);
      continue;
    }
    // Everything the pass's part is drawn from names it in the cache.
    std::string key = PassKey(p, i, hovers[i], sheetName);
    auto old = cache->parts.extract(key);
    if (old.empty()) {
      std::string part;
      AppendPass(part, p, i, hovers[i], sheet);
      cache->added.push_back(key);
      auto [it, added] = used.try_emplace(std::move(key), std::move(part));
      out += it->second;
    } else {
      out += old.mapped();
      used.insert(std::move(old));
    }
  }
  if (cache) {
    // Only the parts on this page are kept.
    if (!cache->parts.empty()) cache->dropped = true;
    cache->parts.swap(used);
  }
  out += kScript;
  out += "</body></html>\n";
  return out;
}
