#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/form_main.h"
#include "platform/ipc_posix.h"
#include "simlink/sim_link.h"

extern char** environ;

namespace {

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

std::vector<std::string> editionSim(std::vector<std::string> extra = {}) {
  if constexpr (!IsFS2004Edition) extra.insert(extra.begin(), {"--sim-index", "6"});
  return extra;
}

}  // namespace

TEST(PosixTransportAgainstCorvaneSim, ConnectsRunsAndClosesCleanly) {
  PosixRun run(editionSim());
  ASSERT_TRUE(run.sim->running());
  TFormMain& form = run.start();
  EXPECT_EQ(form.lblConnectionInfo.text(), std::string(IsFS2004Edition ? "FS2004" : "FS2002") +
                                               " connection status : Okay,  FSUIPC Ver : 3.630");
  EXPECT_TRUE(form.pgMain.enabled());
  EXPECT_EQ(form.NearestZoneIndex, 0);
  run.loop.runUntil(run.clock.nowMs() + 1200);       // one gate tick over the socket
  EXPECT_EQ(form.lblFlightStatus.text(), "LANDED");  // parked on the sample deck
  form.FormClose();
  EXPECT_FALSE(SimLinkIsOpen());
  EXPECT_EQ(run.sim->stop(), 0);
  EXPECT_FALSE(fs::exists(run.ipc + "/UIPCMAIN"));
}

TEST(PosixTransportAgainstCorvaneSim, RefusalsReachTheConnectionLine) {
  struct Case {
    std::vector<std::string> args;
    std::string line;
  } cases[] = {
      {{"--fsuipc-version", "0x28200000"},
       "Program only works with FSUIPC 2.83 or later -- Connection Aborted"},
      {{"--sim-index", IsFS2004Edition ? "6" : "1"}, edition::WrongSimulatorMessage},
  };
  for (Case& c : cases) {
    PosixRun run(c.args.front() == "--sim-index" ? c.args : editionSim(c.args));
    TFormMain& form = run.start();
    EXPECT_EQ(form.lblConnectionInfo.text(), c.line);
    EXPECT_FALSE(SimLinkIsOpen());
  }
}

TEST(PosixTransportAgainstCorvaneSim, NoServerIsReported) {
  PosixRun run({"--this-option-does-not-exist"});  // corvane-sim refuses to start
  TFormMain& form = run.start();
  EXPECT_EQ(form.lblConnectionInfo.text(),
            "FSUIPC/WideClient not currently available -- Is FS running?");
}
