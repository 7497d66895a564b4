#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The greenie board: a page of every pass in the trap log, one coloured square per pass, with
// a plot of each pass drawn from its trap sheet. Built from the log's and the sheets' text; a
// line that cannot be read is skipped and counted, never shown half-read.

/// The page beside the log in the program folder.
inline constexpr const char* BoardFileName = "CorvaneBoard.html";

/// One line of the log: a trap, a bolter or a wave-off (launches are read and left out).
struct TBoardPass {
  std::string utc;  // "2026-12-08 20:30:12"
  std::string event;
  std::string carrier;  // as the pilot's data file names it
  std::string zone;
  int wire = 0;  // 0: none
  std::string grade;
  std::optional<double> points;
  std::string comment;
  std::string result;
  std::optional<double> groundSpeedKt, sinkFpm, lineupDeg, bankDeg, stopFt, stopS, peakG;
  /// Glide-slope and lineup error at X, IM, IC and AR.
  std::optional<double> phaseGs[4], phaseLineup[4];
};

struct TBoardLog {
  std::vector<TBoardPass> passes;  // in the order flown
  std::size_t launches = 0;
  std::size_t skippedLines = 0;
};

/// Reads the log's text: every header line names the columns of the lines after it (a log
/// begun by an older program has fewer), unknown columns are ignored; a line cut short, with
/// a broken quote, an unknown event, a bad time or a number that is not one is skipped.
TBoardLog ParseBoardLog(std::string_view text);

/// One row of a trap sheet.
struct TBoardSheetRow {
  double timeS = 0, distanceFt = 0, heightFt = 0, gsDeg = 0, lineupDeg = 0, groundSpeedKt = 0,
         sinkFpm = 0, bankDeg = 0;
  std::string phase;
  std::string call;  // the LSO's call at this row; empty in a sheet without the column
};

struct TBoardSheet {
  std::vector<TBoardSheetRow> rows;
  std::size_t skippedLines = 0;
  /// False when the rows are not kept: the pass was drawn from them before (or its drawing
  /// came from the cache file), and only the count of skipped lines is known.
  bool rowsKept = true;
};

/// Reads a trap sheet's text, skipping (and counting) the rows that cannot be read.
TBoardSheet ParseBoardSheet(std::string_view text);

/// The sheets found, by file name ("2026-12-08-203012-CVN-99.csv").
using TBoardSheets = std::map<std::string, TBoardSheet>;

/// The sheet of a pass: the one named after its time (or the second after) and its carrier;
/// its file name goes to name when given.
const TBoardSheet* SheetOfPass(const TBoardPass& pass, const TBoardSheets& sheets,
                               std::string* name = nullptr);

/// The text of each pass's part of the page, kept between rebuilds (and in the cache file
/// beside the page): a pass and its sheet never change once written, so a rebuild after one
/// more pass draws only that pass. Keyed by BoardPassKey.
struct TBoardPassCache {
  std::map<std::string, std::string> parts;
  /// The keys of the parts the last build drew, and whether it dropped parts no longer on the
  /// page (both cleared by whoever keeps the cache file).
  std::vector<std::string> added;
  bool dropped = false;
};

/// What a pass's part of the page is drawn from: its place on the page, every figure of its
/// line that is shown and the name of its sheet ("" when none).
std::string BoardPassKey(const TBoardPass& pass, std::size_t index, const std::string& sheetName);

/// The whole page: inline style, SVG and a small inline script; every text taken from the
/// files is escaped. With a cache, passes drawn before are taken from it, new ones added, and
/// the parts of passes no longer on the page dropped.
std::string BoardPage(const TBoardLog& log, const TBoardSheets& sheets,
                      TBoardPassCache* cache = nullptr);

/// What the cache file beside the page holds: the drawn parts, and the name, size, last line
/// and skipped lines of every sheet they were drawn from, so that a build with nothing kept in
/// memory (the program's first, or corvane-cli --board) need not read the sheets again.
struct TSheetStamp {
  std::uintmax_t size = 0;
  std::string lastLine;  // without its CR LF
  std::size_t skippedLines = 0;
};
struct TBoardCache {
  std::map<std::string, TSheetStamp> sheets;
  std::map<std::string, std::string> parts;
};

/// The cache file of the page at pagePath: "CorvaneBoard.cache" beside "CorvaneBoard.html".
std::string BoardCachePath(const std::string& pagePath);
/// The cache file's text: its first line, then BoardCacheRecords.
std::string BoardCacheText(const std::map<std::string, TSheetStamp>& sheets,
                           const std::map<std::string, std::string>& parts);
/// The records of sheets and parts, each with its check sum, as added to the end of the file.
std::string BoardCacheRecords(const std::map<std::string, TSheetStamp>& sheets,
                              const std::map<std::string, std::string>& parts);
/// Reads a cache file's text; false (and cache left empty) when it is not one this program
/// wrote whole: another version, cut short, a length that does not fit, a wrong check sum.
bool ParseBoardCache(std::string_view text, TBoardCache& cache);
/// The last line of a text that is not empty, without its CR LF.
std::string_view LastLine(std::string_view text);

/// Text made safe inside HTML, in an element or an attribute.
std::string HtmlEscape(std::string_view text);

/// The result of building the page from files.
struct TBoardBuild {
  bool ok = false;
  bool logRead = false;  // false: the log is missing or unreadable
  std::string message;   // what went wrong, or what was built
  std::size_t passes = 0;
  std::size_t skippedLines = 0;
};

/// Builds the page from files, keeping what it drew for the next rebuild: while the log only
/// grows at its end and no sheet read before changes, sheets already read are not read again
/// and passes already drawn are not drawn again. Its first build takes what was drawn from the
/// cache file beside the page when every sheet in it is still the same on disk; a missing,
/// damaged or outdated cache file only means reading the sheets. The cache file is rewritten
/// when the page's parts change.
class TBoardBuilder {
 public:
  /// Reads the log at logPath and the sheets in sheetFolder (may be missing), writes the page
  /// to outPath atomically. Blocks on the disk.
  TBoardBuild Build(const std::string& logPath, const std::string& sheetFolder,
                    const std::string& outPath);

 private:
  /// Takes what the cache file at cachePath holds when it matches the sheets found on disk
  /// (name to path and size).
  void LoadCache(const std::string& cachePath,
                 const std::map<std::string, std::pair<std::string, std::uintmax_t>>& found);

  std::string logText_;  // the log as last read
  TBoardSheets sheets_;  // the rows only of sheets whose pass is not drawn yet
  std::map<std::string, TSheetStamp> stamps_;
  TBoardPassCache passes_;
  bool cacheTried_ = false;  // the cache file is read at the first build only
  bool cacheStale_ = true;   // the cache file does not hold what passes_ and stamps_ do
};

/// Builds the page once, from nothing kept (corvane-cli --board).
TBoardBuild BuildBoardFile(const std::string& logPath, const std::string& sheetFolder,
                           const std::string& outPath);
