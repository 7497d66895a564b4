// Achieved period of the program's fast timers on the real event loop, while every tick makes
// one exchange with corvane-sim over the POSIX transport (a read of the forward speed, as the
// deceleration tick does). Prints median, p99 and maximum per interval; asserts nothing.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/ipc_posix.h"
#include "simlink/sim_link.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

pid_t startSim(const std::string& dir) {
  std::string envDir = "CORVANE_IPC_DIR=" + dir;
  std::vector<char*> envp{envDir.data()};
  for (char** e = environ; *e; ++e)
    if (std::string(*e).rfind("CORVANE_IPC_DIR=", 0) != 0) envp.push_back(*e);
  envp.push_back(nullptr);
  std::string path = CORVANE_SIM_PATH;
  char* argv[] = {path.data(), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  if (posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, envp.data()) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  for (int i = 0; i < 200 && pid > 0 && !fs::exists(dir + "/UIPCMAIN"); ++i) usleep(25'000);
  return pid;
}

double percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  const size_t i =
      std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size() - 1) + 0.5));
  return v[i];
}

}  // namespace

int main() {
  const fs::path dir =
      fs::temp_directory_path() / ("corvane_timer_bench_" + std::to_string(getpid()));
  fs::remove_all(dir);
  const pid_t sim = startSim(dir.string());
  if (sim <= 0) {
    std::fprintf(stderr, "could not start corvane-sim\n");
    return 1;
  }
  platform::RealClock clock;
  platform::PosixTransport transport(dir.string());
  SimLinkConfigure(&transport, &clock);
  uint32_t result = 0;
  if (!SimLinkOpen(0, result)) {
    std::fprintf(stderr, "open failed: %s\n", SimLinkErrorTexts[result]);
    kill(sim, SIGTERM);
    return 1;
  }

  std::printf(
      "Timer period with one exchange per tick (real event loop, corvane-sim over POSIX)\n");
  std::printf("%10s %8s %12s %12s %12s %12s\n", "interval", "ticks", "median ms", "p99 ms",
              "max ms", "exchange ms");
  for (int interval : {5, 7, 10, 50}) {
    platform::EventLoop loop(clock);
    std::vector<int64_t> tickUs;
    std::vector<double> exchangeMs;
    double speed = 0;
    const int ticks = interval >= 50 ? 60 : 300;
    platform::Timer timer(loop, "bench", interval, true, [&] {
      tickUs.push_back(clock.nowUs());
      const int64_t t0 = clock.nowUs();
      uint32_t r = 0;
      if (SimLinkRead(0x3090, 8, &speed, r)) SimLinkProcess(r);
      exchangeMs.push_back(static_cast<double>(clock.nowUs() - t0) / 1000.0);
      if (static_cast<int>(tickUs.size()) > ticks) loop.quit();
    });
    loop.run();
    std::vector<double> periods;
    for (size_t i = 1; i < tickUs.size(); ++i)
      periods.push_back(static_cast<double>(tickUs[i] - tickUs[i - 1]) / 1000.0);
    std::printf("%8d ms %8zu %12.3f %12.3f %12.3f %12.3f\n", interval, periods.size(),
                percentile(periods, 0.5), percentile(periods, 0.99),
                *std::max_element(periods.begin(), periods.end()), percentile(exchangeMs, 0.5));
  }

  SimLinkClose();
  SimLinkConfigure(nullptr, nullptr);
  kill(sim, SIGTERM);
  int status = 0;
  waitpid(sim, &status, 0);
  fs::remove_all(dir);
  return 0;
}
