#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/clock.h"

// The few operating-system services that differ between Windows and POSIX systems. Each has
// one implementation per system (os_posix.cpp, os_win32.cpp); the build picks one.
namespace platform {

/// Id of the calling process.
uint32_t currentProcessId();
/// Local date and time of day now.
DateTime localDateTime();
/// Forces the data written to f down to the disk; blocks until done. False on failure.
bool syncFile(std::FILE* f);
/// Replaces target with the file source in one step, so that a reader sees either the old or
/// the new file, never a mix; source is gone afterwards. False (target untouched) on failure.
bool replaceFile(const std::string& source, const std::string& target);
/// Folder of the running program file, with a trailing path delimiter ("./" if unknown).
std::string executableFolder();
/// Sets an environment variable of this process (and of the children it starts later).
void setEnvironmentVariable(const std::string& name, const std::string& value);
/// Makes Ctrl-C, a console close or SIGTERM set *flag to 1 instead of ending the process.
void installStopHandler(volatile int* flag);
/// Blocks until the real clock reaches untilUs (at most maxWaitUs), waking early for window
/// messages, which are dispatched before it returns (messages already waiting are dispatched
/// first; one arriving in the last moments before the due time waits for the next call);
/// returns at once when untilUs has passed. The wait ends at an absolute time with
/// sub-millisecond resolution, so a due time is kept however long the caller took to get here.
/// While the due times come 25 ms apart or closer (a fast timer runs), the calling thread gets
/// a higher priority where the system grants it; under Wine, given Linux's real-time priority,
/// it then sleeps without asking the Wine server, and a window message arriving meanwhile
/// waits for the due time. Returns false when the system asked the program to quit.
bool waitUntilUs(const Clock& clock, int64_t untilUs, int64_t maxWaitUs);
/// waitUntilUs in whole milliseconds, for a front end's message pump; blocks likewise.
inline bool waitUntil(const Clock& clock, int64_t untilMs, int64_t maxWaitMs) {
  return waitUntilUs(clock, untilMs * 1000, maxWaitMs * 1000);
}

}  // namespace platform
