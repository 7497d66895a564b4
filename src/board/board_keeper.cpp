#include "board/board_keeper.h"

#include <string>

#include "logbook/log_rules.h"
#include "logbook/trap_log.h"
#include "lso/trap_sheet.h"

void TBoardKeeper::RebuildBoard() {
  if (!chkbxTrapLog_.checked() || trapLog_.linesWritten == linesSeen_) return;
  linesSeen_ = trapLog_.linesWritten;
  const std::string& folder = trapLog_.programFolder();
  const TBoardBuild b =
      board_.Build(folder + TrapLogFileName, folder + TrapSheetFolder, folder + BoardFileName);
  // The flight goes on; the main window says the page is out of date.
  if (!b.ok) trapLog_.ShowNotice("Greenie board not written: " + b.message);
}
