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
  return TBoardBuilder().Build(logPath, sheetFolder, outPath);
}

TBoardBuild TBoardBuilder::Build(const std::string& logPath, const std::string& sheetFolder,
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
  // A sheet is read once: the program never rewrites one. One that went away is forgotten.
  TBoardSheets sheets;
  std::map<std::string, std::uintmax_t> sizes;
  bool changed = false;  // a sheet read before has another size now
  if (!sheetFolder.empty() && fs::is_directory(sheetFolder, ec)) {
    for (fs::directory_iterator it(sheetFolder, ec), end; !ec && it != end; it.increment(ec)) {
      const fs::path& p = it->path();
      if (p.extension() != ".csv" || !it->is_regular_file(ec)) continue;
      const std::uintmax_t size = it->file_size(ec);
      if (ec || size > kMaxSheetBytes) continue;
      const std::string name = p.filename().string();
      const auto old = sheetSizes_.find(name);
      if (old != sheetSizes_.end() && old->second == size) {
        sheets.emplace(name, std::move(sheets_[name]));
      } else {
        changed = changed || old != sheetSizes_.end();
        std::string sheetText;
        if (!ReadWhole(p, sheetText)) continue;
        sheets.emplace(name, ParseBoardSheet(sheetText));
      }
      sizes.emplace(name, size);
    }
  }
  sheets_.swap(sheets);
  sheetSizes_.swap(sizes);
  // A sheet edited since: every pass is drawn again. A log edited by hand leaves parts no
  // pass names any more: they are dropped once they outnumber the passes.
  if (changed || passes_.size() > 2 * log.passes.size() + 16) passes_.clear();
  const TBoardSheets& current = sheets_;
  b.passes = log.passes.size();
  b.skippedLines = log.skippedLines;
  if (!platform::writeFileAtomically(outPath, BoardPage(log, current, &passes_))) {
    b.message = "Cannot write the board " + outPath;
    return b;
  }
  b.ok = true;
  b.message = "Board written to " + outPath + ": " + std::to_string(b.passes) + " passes, " +
              std::to_string(b.skippedLines) + " lines skipped";
  return b;
}
