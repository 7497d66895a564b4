#include "board/board.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/board_cli.h"
#include "lso/trap_sheet.h"
#include "platform/os.h"

namespace {

const std::string kData = CORVANE_BOARD_DATA;

std::string tempPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() /
          ("corvane_board_" + std::to_string(platform::currentProcessId()) + "_" + name))
      .string();
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::size_t count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

/// The text of one board section (by day or by carrier).
std::string section(const std::string& page, const std::string& id) {
  const std::size_t from = page.find("<section id=\"" + id + "\"");
  return from == std::string::npos ? "" : page.substr(from, page.find("</section>", from) - from);
}

// The sample log has an older header, a newer one, one with a column the board does not know,
// a launch, a line cut short, hand-edited lines (a wire 7, a word for a speed, a broken quote)
// and two trap sheets, one with a hand-edited row. Carrier names are hostile.
TEST(Board, PageFromSampleLogAndSheets) {
  const std::string out = tempPath("sample.html");
  std::ostringstream said, errors;
  ASSERT_EQ(BuildBoardCli(kData + "/CorvaneLog.csv", out, said, errors), 0) << errors.str();
  EXPECT_NE(said.str().find("7 passes, 5 lines skipped"), std::string::npos) << said.str();
  const std::string page = readFile(out);
  std::filesystem::remove(out);

  // One square per pass in each view, in the order flown; the launch has none.
  const std::string byDay = section(page, "by-day");
  EXPECT_EQ(count(byDay, "class=\"sq "), 7u);
  EXPECT_EQ(count(section(page, "by-carrier"), "class=\"sq "), 7u);
  EXPECT_EQ(count(byDay, "<tr><th>2026-12-0"), 3u);
  const std::string squares[] = {"green", "blue", "green", "red", "red", "brown", "yellow"};
  std::size_t at = 0;
  for (const std::string& colour : squares) {
    at = byDay.find("class=\"sq ", at);
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(byDay.substr(at + 10, colour.size() + 1), colour + "\"") << "square " << at;
    ++at;
  }
  // Points averages per row and overall: 2026-12-07 has 4, 1 and 0 points; all five graded.
  EXPECT_NE(byDay.find("<td>1.67</td><td>2</td>"), std::string::npos);
  EXPECT_NE(byDay.find("<th>All</th><td>7 passes</td><td>2.00</td><td>5</td>"), std::string::npos);

  // Names from the log are text, never markup.
  EXPECT_EQ(page.find("<script>alert"), std::string::npos);
  EXPECT_EQ(page.find("(\"x\")"), std::string::npos);
  EXPECT_NE(page.find("&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;"), std::string::npos);
  EXPECT_NE(page.find("=HYPERLINK(&quot;http://x&quot;)"), std::string::npos);
  EXPECT_EQ(count(page, "<script"), 1u);  // the page's own switch between the views

  EXPECT_NE(page.find("5 lines of the log could not be read and were skipped."), std::string::npos);
  EXPECT_NE(page.find("1 line of the trap sheets could not be read"), std::string::npos);
  // Two passes have a sheet (one named a second after its line): their glide-slope and lineup
  // plots, and the trap's arrest; the other five show what the log has.
  EXPECT_EQ(count(page, "distance to go, ft"), 4u);
  EXPECT_EQ(count(page, "distance to the stop, ft"), 1u);
  EXPECT_EQ(count(page, "No trap sheet for this pass"), 5u);
  // The LSO's three calls of the wave-off's sheet on both its plots, their words as text; the
  // older sheet, without the column, has none.
  EXPECT_EQ(count(page, "<g class=\"call\">"), 6u);
  EXPECT_EQ(count(page, ">Roger ball</text>"), 2u);
  EXPECT_EQ(count(page, ">You&#39;re high</text>"), 2u);
  EXPECT_EQ(count(page, ">Wave off, wave off</text>"), 2u);
  EXPECT_EQ(page.find("http://"), page.find("http://x"));  // nothing fetched: no other link
}

TEST(Board, SheetNamedInTheNextSecondAcrossTheYear) {
  TBoardPass pass;
  pass.utc = "2026-12-31 23:59:59";
  pass.carrier = "CVN 99";
  TBoardSheets sheets;
  sheets["2027-01-01-000000-CVN_99.csv"].rows.resize(3);
  const TBoardSheet* found = SheetOfPass(pass, sheets);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->rows.size(), 3u);
  pass.utc = "2026-12-31 23:59:57";
  EXPECT_EQ(SheetOfPass(pass, sheets), nullptr);
}

TEST(Board, CliExitCodes) {
  std::ostringstream said, errors;
  EXPECT_EQ(BuildBoardCli(tempPath("none.csv"), tempPath("none.html"), said, errors), 1);
  EXPECT_NE(errors.str().find("No trap log at "), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(tempPath("none.html")));
  errors.str("");
  EXPECT_EQ(
      BuildBoardCli(kData + "/CorvaneLog.csv", tempPath("no_folder") + "/board.html", said, errors),
      2);
  EXPECT_NE(errors.str().find("Cannot write the board"), std::string::npos);
}

}  // namespace

namespace {

/// A copy of the sample log and sheets in a folder of its own.
struct SampleCopy {
  std::filesystem::path dir = tempPath("copy");
  SampleCopy() {
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::filesystem::copy(kData, dir, std::filesystem::copy_options::recursive);
  }
  ~SampleCopy() { std::filesystem::remove_all(dir); }
  std::string log() const { return (dir / "CorvaneLog.csv").string(); }
  std::string sheets() const { return (dir / "TrapSheets").string(); }
  std::string page(TBoardBuilder& b) const {
    const std::string out = (dir / "board.html").string();
    EXPECT_TRUE(b.Build(log(), sheets(), out).ok);
    return readFile(out);
  }
  void append(const std::string& text) const {
    std::ofstream(log(), std::ios::binary | std::ios::app) << text;
  }
};

}  // namespace

// The program keeps one builder: each rebuild, after a pass or after the log or a sheet was
// edited by hand, gives the page a build from nothing gives.
TEST(Board, RebuildsAsAFreshBuildWould) {
  SampleCopy s;
  TBoardBuilder kept;
  // From nothing kept in memory: from the cache file the kept builder wrote or added to, then
  // without it (every sheet read).
  const auto fresh = [&] {
    TBoardBuilder fromCache, noCache;
    const std::string cached = s.page(fromCache);
    std::filesystem::remove(BoardCachePath((s.dir / "board.html").string()));
    const std::string page = s.page(noCache);
    EXPECT_EQ(cached, page);
    return page;
  };
  const std::string first = s.page(kept);
  EXPECT_EQ(first, fresh());
  // One more pass and its sheet.
  s.append(
      "2026-12-08 09:20:00,trap,CVN-99,1,3,_OK_,131,600,0,0,200,2,3,,,,stopped,5,3 wire,"
      "0,0,0,0,0,0,0,0,Iceman\r\n");
  std::filesystem::copy_file(s.dir / "TrapSheets" / "2026-12-07-121002-CVN-99.csv",
                             s.dir / "TrapSheets" / "2026-12-08-092000-CVN-99.csv");
  const std::string grown = s.page(kept);
  // The kept builder added the new pass and its sheet to the end of the cache file.
  TBoardCache cache;
  EXPECT_TRUE(ParseBoardCache(readFile(BoardCachePath((s.dir / "board.html").string())), cache));
  EXPECT_EQ(cache.parts.size(), 8u);
  EXPECT_EQ(cache.sheets.count("2026-12-08-092000-CVN-99.csv"), 1u);
  EXPECT_EQ(grown, fresh());
  EXPECT_EQ(count(grown, "distance to go, ft"), 6u);
  // A sheet edited: the passes drawn from it are drawn again.
  std::ofstream(s.dir / "TrapSheets" / "2026-12-07-121002-CVN-99.csv", std::ios::app)
      << "bad row\r\n";
  const std::string badRow = s.page(kept);
  EXPECT_EQ(badRow, fresh());
  // The log edited above its end: a line taken out moves every pass after it.
  std::string text = readFile(s.log());
  text.erase(text.find("2026-12-06 18:09:40"),
             text.find("2026-12-06 18:15:02") - text.find("2026-12-06 18:09:40"));
  std::ofstream(s.log(), std::ios::binary | std::ios::trunc) << text;
  const std::string edited = s.page(kept);
  EXPECT_EQ(edited, fresh());
  EXPECT_EQ(count(edited, "distance to go, ft"), 6u);
}

// The cache file is only ever a shortcut: one that is damaged, or that no longer matches a
// sheet, gives the page the sheets give, and is written again whole.
TEST(Board, DamagedOrOutdatedCacheFileFallsBackToTheSheets) {
  SampleCopy s;
  const std::string cache = BoardCachePath((s.dir / "board.html").string());
  TBoardBuilder first;
  const std::string page = s.page(first);
  ASSERT_TRUE(std::filesystem::exists(cache));
  const std::string good = readFile(cache);
  std::string flipped = good;
  flipped[flipped.size() / 2] ^= 0x20;
  for (const std::string& bad : {good.substr(0, good.size() / 2), flipped, std::string("<p>x")}) {
    std::ofstream(cache, std::ios::binary | std::ios::trunc) << bad;
    TBoardBuilder b;
    EXPECT_EQ(s.page(b), page);
    EXPECT_EQ(readFile(cache), good);
  }
  // A sheet changed at its end, its size the same: the cache no longer matches it.
  const auto sheetPath = s.dir / "TrapSheets" / "2026-12-07-121002-CVN-99.csv";
  std::string sheet = readFile(sheetPath.string());
  const std::size_t at = sheet.rfind("1.90,0.30");
  ASSERT_NE(at, std::string::npos);
  sheet.replace(at, 4, "1.60");
  std::ofstream(sheetPath, std::ios::binary | std::ios::trunc) << sheet;
  TBoardBuilder b;
  const std::string changed = s.page(b);
  EXPECT_TRUE(changed != page);
  std::filesystem::remove(cache);
  TBoardBuilder noCache;
  EXPECT_EQ(s.page(noCache), changed);
}

// A plot draws no more points than it has room for, yet never loses a spike between them: a
// sheet of 1,000 rows on the glide slope but for one row 2 degrees high.
TEST(Board, PlotKeepsASpikeWithFewPoints) {
  TBoardLog log;
  TBoardPass& pass = log.passes.emplace_back();
  pass.utc = "2026-12-08 10:00:00";
  pass.event = "trap";
  pass.carrier = "CVN-99";
  std::string text =
      "time_s,distance_ft,height_ft,gs_deg,lineup_deg,ground_speed_kt,sink_fpm,"
      "bank_deg,phase,call\r\n";
  for (int i = 0; i < 1000; ++i)
    text += std::to_string(i * 0.02) + "," + std::to_string(4557 - i * 4.5) + ",300," +
            (i == 501 ? "2.0" : "0.0") + ",0,130,700,0,X,\r\n";
  TBoardSheets sheets;
  sheets[TrapSheetFileName(pass.utc, pass.carrier)] = ParseBoardSheet(text);
  ASSERT_EQ(sheets.begin()->second.rows.size(), 1000u);
  const std::string page = BoardPage(log, sheets);
  const std::size_t from = page.find("<polyline class=\"err\" points=\"");
  ASSERT_NE(from, std::string::npos);
  const std::string points = page.substr(from + 30, page.find('"', from + 30) - (from + 30));
  // 428 px of plot: about 143 columns of 3 px.
  EXPECT_LE(count(points, ","), 150u);
  EXPECT_EQ(count(points, ",22.0"), 1u);  // the spike: +2.0 degrees on a scale of +-2.5
}
