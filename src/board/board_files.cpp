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
  // What was drawn stays valid while the log only grew at its end and no sheet read before
  // changed; otherwise everything is read and drawn again.
  bool reset = text.size() < logText_.size() || text.compare(0, logText_.size(), logText_) != 0;
  struct TFound {
    fs::path path;
    std::uintmax_t size;
  };
  std::map<std::string, TFound> found;
  if (!sheetFolder.empty() && fs::is_directory(sheetFolder, ec)) {
    for (fs::directory_iterator it(sheetFolder, ec), end; !ec && it != end; it.increment(ec)) {
      const fs::path& p = it->path();
      if (p.extension() != ".csv" || !it->is_regular_file(ec)) continue;
      const std::uintmax_t size = it->file_size(ec);
      if (ec || size > kMaxSheetBytes) continue;
      std::string name = p.filename().string();
      const auto old = sheetSizes_.find(name);
      if (old != sheetSizes_.end() && old->second != size) reset = true;
      found.emplace(std::move(name), TFound{p, size});
    }
  }
  if (reset) {
    passes_.clear();
    sheets_.clear();
    sheetSizes_.clear();
  }
  logText_ = std::move(text);
  // A sheet is read once: the program never rewrites one. One that went away is forgotten.
  TBoardSheets sheets;
  std::map<std::string, std::uintmax_t> sizes;
  for (auto& [name, f] : found) {
    if (const auto old = sheets_.find(name); old != sheets_.end()) {
      sheets.emplace(name, std::move(old->second));
    } else {
      std::string sheetText;
      if (!ReadWhole(f.path, sheetText)) continue;
      sheets.emplace(name, ParseBoardSheet(sheetText));
    }
    sizes.emplace(name, f.size);
  }
  sheets_.swap(sheets);
  sheetSizes_.swap(sizes);
  const TBoardSheets& current = sheets_;
  b.passes = log.passes.size();
  b.skippedLines = log.skippedLines;
  const bool written = platform::writeFileAtomically(outPath, BoardPage(log, current, &passes_));
  // The rows of a sheet whose pass is drawn are not needed again: only its name and size are
  // kept (its pass's part stays in the cache until a reset, which reads the sheet again).
  for (const TBoardPass& p : log.passes) {
    std::string name;
    if (SheetOfPass(p, sheets_, &name)) std::vector<TBoardSheetRow>().swap(sheets_[name].rows);
  }
  if (!written) {
    b.message = "Cannot write the board " + outPath;
    return b;
  }
  b.ok = true;
  b.message = "Board written to " + outPath + ": " + std::to_string(b.passes) + " passes, " +
              std::to_string(b.skippedLines) + " lines skipped";
  return b;
}
