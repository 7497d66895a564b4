#include "cli/board_cli.h"

#include <filesystem>

#include "board/board.h"
#include "lso/trap_sheet.h"

int BuildBoardCli(const std::string& logPath, const std::string& outPath, std::ostream& out,
                  std::ostream& err) {
  const std::filesystem::path folder = std::filesystem::path(logPath).parent_path();
  const std::string sheets = (folder / TrapSheetFolder).string();
  const TBoardBuild b = BuildBoardFile(logPath, sheets, outPath);
  if (!b.ok) {
    err << "corvane-cli: " << b.message << "\n";
    return b.logRead ? 2 : 1;
  }
  out << b.message << "\n";
  return 0;
}
