#pragma once

#include <cstdint>
#include <iosfwd>

class ControlSnapshot;
class TFormMain;

namespace platform {
class EventLoop;
class StdinLines;
}  // namespace platform

/// What ends a headless run besides a typed "quit".
struct HeadlessRun {
  /// Clock time (ms) at which the program closes by itself; -1: never.
  int64_t endMs = -1;
  /// Set to non-zero to close (Ctrl-C); may be null.
  const volatile int* stop = nullptr;
  /// Set by the controls when a button, option or window changed, so it gets printed.
  bool* changed = nullptr;
};

/// Runs the program's timers on loop, printing changed controls to out and running the lines
/// typed on input, until the end time, the stop flag or "quit"; then closes the window as
/// FormClose does. Blocks until closed; the end time and the stop flag are looked at whenever
/// the loop has no tick due.
void RunHeadless(TFormMain& form, platform::EventLoop& loop, platform::StdinLines& input,
                 ControlSnapshot& snapshot, std::ostream& out, const HeadlessRun& run);
