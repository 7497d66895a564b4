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
};

/// Reads a trap sheet's text, skipping (and counting) the rows that cannot be read.
TBoardSheet ParseBoardSheet(std::string_view text);

/// The sheets found, by file name ("2026-12-08-203012-CVN-99.csv").
using TBoardSheets = std::map<std::string, TBoardSheet>;

/// The sheet of a pass: the one named after its time (or the second after) and its carrier;
/// its file name goes to name when given.
const TBoardSheet* SheetOfPass(const TBoardPass& pass, const TBoardSheets& sheets,
                               std::string* name = nullptr);

/// The text of each pass's part of the page, kept between rebuilds: a pass and its sheet never
/// change once written, so a rebuild after one more pass draws only that pass.
using TBoardPassCache = std::map<std::string, std::string>;

/// The whole page: inline style, SVG and a small inline script; every text taken from the
/// files is escaped. With a cache, passes drawn before are taken from it and new ones added.
std::string BoardPage(const TBoardLog& log, const TBoardSheets& sheets,
                      TBoardPassCache* cache = nullptr);

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
/// and passes already drawn are not drawn again.
class TBoardBuilder {
 public:
  /// Reads the log at logPath and the sheets in sheetFolder (may be missing), writes the page
  /// to outPath atomically. Blocks on the disk.
  TBoardBuild Build(const std::string& logPath, const std::string& sheetFolder,
                    const std::string& outPath);

 private:
  std::string logText_;  // the log as last read
  TBoardSheets sheets_;  // the rows only of sheets whose pass is not drawn yet
  std::map<std::string, std::uintmax_t> sheetSizes_;
  TBoardPassCache passes_;
};

/// Builds the page once, from nothing kept (corvane-cli --board).
TBoardBuild BuildBoardFile(const std::string& logPath, const std::string& sheetFolder,
                           const std::string& outPath);
