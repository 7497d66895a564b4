#pragma once

#include <cstdint>

#include "board/board.h"
#include "platform/controls.h"

class TTrapLog;

/// The greenie board of the program folder: rewritten from the trap log and the trap sheets
/// whenever the log has new lines and is kept. The builder is kept between rebuilds, so a
/// rebuild after a pass draws only that pass.
class TBoardKeeper {
 public:
  TBoardKeeper(TTrapLog& trapLog, const platform::CheckBox& chkbxTrapLog)
      : trapLog_(trapLog), chkbxTrapLog_(chkbxTrapLog) {}

  /// Rewrites CorvaneBoard.html when the log has new lines; a page that cannot be written is
  /// said on the status line and the flight goes on. Called on the catch gate's 1 s tick after
  /// the trap sheets are written, never on the fast timers' path.
  void RebuildBoard();

 private:
  TTrapLog& trapLog_;
  const platform::CheckBox& chkbxTrapLog_;
  TBoardBuilder board_;
  std::uint64_t linesSeen_ = 0;
};
