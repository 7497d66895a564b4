// Rebuilding the greenie board for 1,000 passes, each with its trap sheet (X to the stop at
// 20 rows a second): the log and the sheets are written to a temporary folder, then the page
// is built from them as the program does after a pass. Prints figures only.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "board/board.h"
#include "logbook/log_rules.h"
#include "lso/trap_sheet.h"
#include "platform/os.h"

namespace fs = std::filesystem;

namespace {

constexpr int kPasses = 1000;

void writeText(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

/// A sheet of a 3 wire trap: about 20 s down the groove, then a 2 s arrest.
std::string sheetText(int seed) {
  std::string s = TrapSheetHeader;
  char line[200];
  double t = 0, d = 4557;
  const double speed = 130 + seed % 7;
  while (d > 0) {
    const double gs = 0.4 * std::sin(d / 800 + seed), lu = 0.8 * std::cos(d / 600 + seed);
    std::snprintf(line, sizeof line, "%.2f,%.1f,%.1f,%.2f,%.2f,%.1f,%.0f,%.1f,%s,%s\r\n", t, d,
                  d * 0.061, gs, lu, speed, 700.0, 0.5,
                  d > 3038   ? "X"
                  : d > 1519 ? "IM"
                  : d > 300  ? "IC"
                             : "AR",
                  t == 0 ? "Roger ball" : "");
    s += line;
    t += 0.05;
    d -= speed * 1.68781 * 0.05;
  }
  for (double v = speed; v > 0; v = std::max(0.0, v - 3.2)) {
    std::snprintf(line, sizeof line, "%.2f,%.1f,0.0,0.00,0.00,%.1f,700,0.0,IW,\r\n", t, d, v);
    s += line;
    t += 0.05;
    d -= v * 1.68781 * 0.05;
    if (v == 0) break;
  }
  return s;
}

}  // namespace

int main() {
  const fs::path dir = fs::temp_directory_path() /
                       ("corvane_board_bench_" + std::to_string(platform::currentProcessId()));
  fs::create_directories(dir / "TrapSheets");
  std::string log = TrapLogHeader;
  const char* grades[] = {"_OK_", "OK", "(OK)", "--", "B", "WO", "CUT"};
  std::size_t sheetRows = 0;
  for (int i = 0; i < kPasses; ++i) {
    char utc[32];
    std::snprintf(utc, sizeof utc, "2026-12-%02d %02d:%02d:%02d", 1 + i / 100, 8 + i % 100 / 10,
                  i % 10 * 5, i % 60);
    const std::string carrier = i % 3 ? "CVN-99" : "CVN-98 Test";
    char line[400];
    std::snprintf(line, sizeof line,
                  "%s,trap,%s,1,3,%s,131.4,610,+0.8,0.0,212,2.1,2.95,,,,stopped,4,(H)X 3 "
                  "wire,0.50,0.10,0.20,0.00,0.05,-0.10,0.00,0.00\r\n",
                  utc, carrier.c_str(), grades[i % 7]);
    log += line;
    const std::string sheet = sheetText(i);
    sheetRows += static_cast<std::size_t>(std::count(sheet.begin(), sheet.end(), '\n')) - 1;
    writeText(dir / "TrapSheets" / TrapSheetFileName(utc, carrier), sheet);
  }
  writeText(dir / TrapLogFileName, log);

  const std::string out = (dir / BoardFileName).string();
  const std::string logPath = (dir / TrapLogFileName).string();
  const std::string sheetDir = (dir / "TrapSheets").string();
  const auto msSince = [](std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
  };
  // From nothing kept in memory: corvane-cli --board, and the program's first rebuild. With no
  // cache file beside the page (the very first build: every sheet is read), then with it.
  const std::string cache = BoardCachePath(out);
  TBoardBuild b;
  const auto fromNothing = [&](bool withCache) {
    std::vector<double> ms;
    for (int run = 0; run < 3; ++run) {
      if (!withCache) fs::remove(cache);
      const auto start = std::chrono::steady_clock::now();
      b = BuildBoardFile(logPath, sheetDir, out);
      ms.push_back(msSince(start));
    }
    std::sort(ms.begin(), ms.end());
    return ms;
  };
  const std::vector<double> cold = fromNothing(false);
  const std::vector<double> cached = fromNothing(true);
  // The program's rebuild after each further pass: one more line and one more sheet.
  TBoardBuilder builder;
  builder.Build(logPath, sheetDir, out);
  std::vector<double> warm;
  for (int run = 0; run < 10; ++run) {
    char line[200];
    const std::string utc =
        "2026-12-20 10:00:" + std::string(run < 10 ? "0" : "") + std::to_string(run);
    std::snprintf(line, sizeof line,
                  "%s,trap,CVN-99,1,3,OK,131.4,610,+0.8,0.0,212,2.1,2.95,,,,stopped,4,(H)X 3 "
                  "wire,0.50,0.10,0.20,0.00,0.05,-0.10,0.00,0.00\r\n",
                  utc.c_str());
    std::ofstream(dir / TrapLogFileName, std::ios::binary | std::ios::app) << line;
    writeText(dir / "TrapSheets" / TrapSheetFileName(utc, "CVN-99"), sheetText(run));
    const auto start = std::chrono::steady_clock::now();
    b = builder.Build(logPath, sheetDir, out);
    warm.push_back(msSince(start));
  }
  std::sort(warm.begin(), warm.end());
  const auto pageBytes = fs::file_size(out);
  std::printf("%s\n", b.message.c_str());
  std::printf("sheet rows %zu, page %.1f KB\n", sheetRows, static_cast<double>(pageBytes) / 1024);
  std::printf("cache file %.1f KB\n", static_cast<double>(fs::file_size(cache)) / 1024);
  std::printf(
      "figure: board from nothing kept, no cache file (every sheet read), 1,000 passes with "
      "sheets: best %.1f ms, median %.1f ms\n",
      cold.front(), cold[cold.size() / 2]);
  std::printf(
      "figure: board from nothing kept, with its cache file, 1,000 passes with sheets: best "
      "%.1f ms, median %.1f ms\n",
      cached.front(), cached[cached.size() / 2]);
  std::printf(
      "figure: board rebuild after one more pass, 1,000 passes: median %.1f ms, max %.1f "
      "ms\n",
      warm[warm.size() / 2], warm.back());
  fs::remove_all(dir);
  return b.ok ? 0 : 1;
}
