#pragma once

#include <string>
#include <vector>

namespace platform {

/// Another program run in a child process with its output discarded, for tests and
/// benchmarks that need a server in a process of its own.
class ChildProcess {
 public:
  /// Starts program with args; extraEnv ("NAME=value") is added to this process's environment.
  ChildProcess(const std::string& program, const std::vector<std::string>& args,
               const std::vector<std::string>& extraEnv = {});
  /// Stops the child if it still runs.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  /// True while the child runs.
  bool running();
  /// Waits up to timeoutMs for the child to end by itself; its exit code, or -1 if it still
  /// runs (or could not be started). Blocks.
  int wait(int timeoutMs);
  /// Asks the child to close (SIGTERM; WM_CLOSE to its windows on Windows), waits up to 5 s,
  /// then ends it by force. Returns its exit code, or -1 when it had to be killed. Blocks.
  int stop();
  /// Ends the child at once, as a crash would (SIGKILL; TerminateProcess on Windows), and
  /// waits for it to be gone. Blocks.
  void kill();
  /// Freezes the child where it stands, as a hung program (SIGSTOP; every thread suspended
  /// on Windows), and lets it go on again.
  void pause();
  void resume();
  /// The child's process id, -1 once it has ended or when it could not be started.
  long id() const { return pid_; }

 private:
  void* process_ = nullptr;  // process handle on Windows
  long pid_ = -1;
  int exitCode_ = -1;
};

}  // namespace platform
