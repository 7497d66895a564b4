#pragma once

// corvane-sim in a child process serving in a private IPC folder, and the program in this
// process talking to it over the real POSIX transport.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/form_main.h"
#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/ipc_posix.h"
#include "platform/random.h"
#include "simlink/sim_link.h"

extern char** environ;

namespace posixtest {

namespace fs = std::filesystem;

/// corvane-sim in a child process, serving in a private IPC folder.
class SimProcess {
 public:
  SimProcess(const std::string& dir, std::vector<std::string> args) {
    std::vector<std::string> env = {"CORVANE_IPC_DIR=" + dir};
    for (char** e = environ; *e; ++e)
      if (std::string(*e).rfind("CORVANE_IPC_DIR=", 0) != 0) env.emplace_back(*e);
    args.insert(args.begin(), CORVANE_SIM_PATH);
    std::vector<char*> argv, envp;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    if (posix_spawn(&pid_, CORVANE_SIM_PATH, &actions, nullptr, argv.data(), envp.data()) != 0)
      pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    const std::string socket = dir + "/UIPCMAIN";
    for (int i = 0; i < 200 && pid_ > 0 && !fs::exists(socket); ++i) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) pid_ = -1;  // it refused to start
      usleep(25'000);
    }
  }
  ~SimProcess() {
    if (pid_ > 0) stop();
  }
  bool running() const { return pid_ > 0; }
  /// Sends a signal to the child (SIGSTOP, SIGCONT, ...).
  void signal(int sig) const {
    if (pid_ > 0) ::kill(pid_, sig);
  }
  /// Ends the child with SIGKILL, as a crash would, and waits for it.
  void killNow() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  /// Stops the child with SIGTERM and returns its exit status (-1 when it did not exit).
  int stop() {
    if (pid_ <= 0) return -1;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t pid_ = -1;
};

struct PosixRun {
  explicit PosixRun(std::vector<std::string> simArgs)
      : dir(fs::temp_directory_path() /
            ("corvane_posix_" + std::to_string(getpid()) + "_" + std::to_string(++serial))) {
    fs::remove_all(dir);
    fs::create_directories(dir / "prog");
    for (const char* f : {"Corvane.dat", "Corvane.INI"})
      fs::copy_file(fs::path(CORVANE_SOURCE_DIR) / "samples" / f, dir / "prog" / f);
    ipc = (dir / "ipc").string();
    sim = std::make_unique<SimProcess>(ipc, std::move(simArgs));
    transport = std::make_unique<platform::PosixTransport>(ipc);
    SimLinkConfigure(transport.get(), &clock);
  }
  ~PosixRun() {
    form.reset();
    SimLinkConfigure(nullptr, nullptr);
    sim.reset();
    fs::remove_all(dir);
  }
  TFormMain& start() {
    TFormServices s;
    s.loop = &loop;
    s.random = &random;
    s.programFolder = (dir / "prog").string();
    form = std::make_unique<TFormMain>(std::move(s));
    form->FormCreate();
    return *form;
  }

  static inline int serial = 0;
  fs::path dir;
  std::string ipc;
  platform::RealClock clock;
  platform::EventLoop loop{clock};
  platform::Random random;
  std::unique_ptr<SimProcess> sim;
  std::unique_ptr<platform::PosixTransport> transport;
  std::unique_ptr<TFormMain> form;
};

}  // namespace posixtest
