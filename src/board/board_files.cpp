#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "board/board.h"
#include "platform/ini_file.h"
#include "platform/os.h"

namespace {

/// A sheet larger than this is not one the program wrote: it is left out.
constexpr std::uintmax_t kMaxSheetBytes = 16u << 20;
/// Enough of a sheet's end to hold its last line.
constexpr std::size_t kTailBytes = 512;

/// The whole file in one read.
bool ReadWhole(const std::filesystem::path& path, std::string& text) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return false;
  const std::streamoff size = in.tellg();
  if (size < 0) return false;
  text.resize(static_cast<std::size_t>(size));
  in.seekg(0);
  in.read(text.data(), size);
  text.resize(static_cast<std::size_t>(in.gcount()));
  return !in.bad();
}

/// The last line of a file, read from its end only.
bool ReadLastLine(const std::filesystem::path& path, std::uintmax_t size, std::string& line) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  const std::uintmax_t from = size > kTailBytes ? size - kTailBytes : 0;
  char buf[kTailBytes];
  in.seekg(static_cast<std::streamoff>(from));
  in.read(buf, sizeof buf);
  std::string_view tail(buf, static_cast<std::size_t>(in.gcount()));
  while (!tail.empty() && (tail.back() == '\n' || tail.back() == '\r')) tail.remove_suffix(1);
  // A last line longer than the end read cannot be compared: the sheet counts as changed.
  if (from > 0 && tail.find('\n') == std::string_view::npos) return false;
  line.assign(LastLine(tail));
  return true;
}

/// Writes text to path through a temporary file and a replace. The cache is checked when
/// read, so it is not forced to the disk: a crash at worst costs one build from the sheets.
bool WriteCacheFile(const std::string& path, const std::string& text) {
  const std::string temp = path + ".tmp" + std::to_string(platform::currentProcessId());
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  ok = std::fclose(f) == 0 && ok;
  if (ok) ok = platform::replaceFile(temp, path);
  if (!ok) {
    std::error_code ec;
    std::filesystem::remove(temp, ec);
  }
  return ok;
}

/// Adds records to the end of the cache file.
bool AppendCacheRecords(const std::string& path, const std::string& records) {
  std::FILE* f = std::fopen(path.c_str(), "ab");
  if (!f) return false;
  bool ok = std::fwrite(records.data(), 1, records.size(), f) == records.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

TBoardBuild BuildBoardFile(const std::string& logPath, const std::string& sheetFolder,
                           const std::string& outPath) {
  return TBoardBuilder().Build(logPath, sheetFolder, outPath);
}

void TBoardBuilder::LoadCache(
    const std::string& cachePath,
    const std::map<std::string, std::pair<std::string, std::uintmax_t>>& found) {
  std::string text;
  TBoardCache cache;
  if (!ReadWhole(cachePath, text) || !ParseBoardCache(text, cache)) return;
  // Every sheet the parts were drawn from must be on disk as it was: same size, same last line.
  for (const auto& [name, stamp] : cache.sheets) {
    const auto it = found.find(name);
    std::string last;
    if (it == found.end() || it->second.second != stamp.size ||
        !ReadLastLine(it->second.first, stamp.size, last) || last != stamp.lastLine)
      return;
  }
  for (auto& [name, stamp] : cache.sheets) {
    TBoardSheet& sheet = sheets_[name];
    sheet.skippedLines = stamp.skippedLines;
    sheet.rowsKept = false;
  }
  stamps_ = std::move(cache.sheets);
  passes_.parts = std::move(cache.parts);
  cacheStale_ = false;
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
  // The sheets on disk: name to path and size.
  std::map<std::string, std::pair<std::string, std::uintmax_t>> found;
  if (!sheetFolder.empty() && fs::is_directory(sheetFolder, ec)) {
    for (fs::directory_iterator it(sheetFolder, ec), end; !ec && it != end; it.increment(ec)) {
      const fs::path& p = it->path();
      if (p.extension() != ".csv" || !it->is_regular_file(ec)) continue;
      const std::uintmax_t size = it->file_size(ec);
      if (ec || size > kMaxSheetBytes) continue;
      found.emplace(p.filename().string(), std::make_pair(p.string(), size));
    }
  }
  const std::string cachePath = BoardCachePath(outPath);
  if (!cacheTried_) {
    cacheTried_ = true;
    LoadCache(cachePath, found);
  }
  // What was drawn stays valid while the log only grew at its end and no sheet read before
  // changed; otherwise everything is read and drawn again.
  bool reset = text.size() < logText_.size() || text.compare(0, logText_.size(), logText_) != 0;
  for (const auto& [name, f] : found) {
    const auto old = stamps_.find(name);
    if (old != stamps_.end() && old->second.size != f.second) reset = true;
  }
  if (reset) {
    passes_.parts.clear();
    sheets_.clear();
    stamps_.clear();
    cacheStale_ = true;
  }
  logText_ = std::move(text);
  // A sheet is read once: the program never rewrites one. One that went away is forgotten.
  TBoardSheets sheets;
  std::map<std::string, TSheetStamp> stamps, newStamps;
  const auto read = [](const std::string& path, TBoardSheet& sheet, TSheetStamp& stamp) {
    std::string sheetText;
    if (!ReadWhole(path, sheetText)) return false;
    sheet = ParseBoardSheet(sheetText);
    stamp.lastLine = LastLine(sheetText);
    stamp.skippedLines = sheet.skippedLines;
    return true;
  };
  for (auto& [name, f] : found) {
    TSheetStamp stamp;
    stamp.size = f.second;
    if (const auto old = sheets_.find(name); old != sheets_.end()) {
      sheets.emplace(name, std::move(old->second));
      stamp = std::move(stamps_[name]);
    } else {
      TBoardSheet sheet;
      if (!read(f.first, sheet, stamp)) continue;
      sheets.emplace(name, std::move(sheet));
      newStamps.emplace(name, stamp);
    }
    stamps.emplace(name, std::move(stamp));
  }
  // A sheet gone from the folder is named in the cache file: that file is written again.
  for (const auto& [name, stamp] : stamps_)
    if (stamps.count(name) == 0) cacheStale_ = true;
  sheets_.swap(sheets);
  stamps_.swap(stamps);
  // A pass whose part is not kept while its sheet's rows are not either (its line was edited,
  // or the cache file had no part for it) has its sheet read again.
  for (std::size_t i = 0; i < log.passes.size(); ++i) {
    std::string name;
    const TBoardSheet* sheet = SheetOfPass(log.passes[i], sheets_, &name);
    if (!sheet || sheet->rowsKept || passes_.parts.count(BoardPassKey(log.passes[i], i, name)) != 0)
      continue;
    TSheetStamp stamp;
    stamp.size = stamps_[name].size;
    if (read(found[name].first, sheets_[name], stamp)) stamps_[name] = std::move(stamp);
  }
  b.passes = log.passes.size();
  b.skippedLines = log.skippedLines;
  const bool written = platform::writeFileAtomically(outPath, BoardPage(log, sheets_, &passes_));
  // The rows of a sheet whose pass is drawn are not needed again: only its name, size and
  // skipped lines are kept (its pass's part stays in the cache until a reset, which reads the
  // sheet again).
  for (const TBoardPass& p : log.passes) {
    std::string name;
    if (SheetOfPass(p, sheets_, &name)) {
      TBoardSheet& sheet = sheets_[name];
      std::vector<TBoardSheetRow>().swap(sheet.rows);
      sheet.rowsKept = false;
    }
  }
  if (!written) {
    b.message = "Cannot write the board " + outPath;
    return b;
  }
  // The cache file follows: written whole when it no longer holds what is kept, else the new
  // sheets and parts added at its end. One that cannot be written only costs the next first
  // build its speed.
  if (cacheStale_ || passes_.dropped) {
    cacheStale_ = !WriteCacheFile(cachePath, BoardCacheText(stamps_, passes_.parts));
  } else if (!newStamps.empty() || !passes_.added.empty()) {
    std::map<std::string, std::string> added;
    for (const std::string& key : passes_.added) added.emplace(key, passes_.parts[key]);
    cacheStale_ = !AppendCacheRecords(cachePath, BoardCacheRecords(newStamps, added));
  }
  passes_.added.clear();
  passes_.dropped = false;
  b.ok = true;
  b.message = "Board written to " + outPath + ": " + std::to_string(b.passes) + " passes, " +
              std::to_string(b.skippedLines) + " lines skipped";
  return b;
}
