#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "board/board.h"
#include "platform/ini_file.h"

namespace {

/// A sheet larger than this is not one the program wrote: it is left out.
constexpr std::uintmax_t kMaxSheetBytes = 16u << 20;

bool ReadWhole(const std::filesystem::path& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  if (in.bad()) return false;
  text = s.str();
  return true;
}

}  // namespace

TBoardBuild BuildBoardFile(const std::string& logPath, const std::string& sheetFolder,
                           const std::string& outPath) {
  namespace fs = std::filesystem;
  TBoardBuild b;
  std::error_code ec;
  if (!fs::exists(logPath, ec)) {
    b.message = "No trap log at " + logPath;
    return b;
  }
  std::string text;
  if (fs::is_directory(logPath, ec) || !ReadWhole(logPath, text)) {
    b.message = "Cannot read the trap log " + logPath;
    return b;
  }
  b.logRead = true;
  const TBoardLog log = ParseBoardLog(text);
  TBoardSheets sheets;
  if (!sheetFolder.empty() && fs::is_directory(sheetFolder, ec)) {
    for (fs::directory_iterator it(sheetFolder, ec), end; !ec && it != end; it.increment(ec)) {
      const fs::path& p = it->path();
      if (p.extension() != ".csv" || !it->is_regular_file(ec)) continue;
      if (it->file_size(ec) > kMaxSheetBytes || ec) continue;
      std::string sheetText;
      if (!ReadWhole(p, sheetText)) continue;
      sheets.emplace(p.filename().string(), ParseBoardSheet(sheetText));
    }
  }
  b.passes = log.passes.size();
  b.skippedLines = log.skippedLines;
  if (!platform::writeFileAtomically(outPath, BoardPage(log, sheets))) {
    b.message = "Cannot write the board " + outPath;
    return b;
  }
  b.ok = true;
  b.message = "Board written to " + outPath + ": " + std::to_string(b.passes) + " passes, " +
              std::to_string(b.skippedLines) + " lines skipped";
  return b;
}
