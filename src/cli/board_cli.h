#pragma once

#include <ostream>
#include <string>

/// corvane-cli --board: builds the greenie board at outPath from the log at logPath and the
/// trap sheets in the TrapSheets folder beside it. Returns the exit code: 0 written, 1 no
/// readable log, 2 the page could not be written.
int BuildBoardCli(const std::string& logPath, const std::string& outPath, std::ostream& out,
                  std::ostream& err);
