// Achieved period of the program's fast timers on the real event loop, while every tick makes
// one exchange with corvane-sim over the system's transport (a read of the forward speed, as the
// deceleration tick does). Prints median, p99 and maximum per interval; asserts nothing.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/child_process.h"
#include "platform/ipc_system.h"
#include "platform/os.h"
#include "simlink/sim_link.h"

namespace {

namespace fs = std::filesystem;

double percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  const size_t i =
      std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size() - 1) + 0.5));
  return v[i];
}

}  // namespace

int main() {
  const fs::path dir = fs::temp_directory_path() /
                       ("corvane_timer_bench_" + std::to_string(platform::currentProcessId()));
  fs::remove_all(dir);
  platform::setEnvironmentVariable("CORVANE_IPC_DIR", dir.string());
  platform::ChildProcess sim(platform::executableFolder() + CORVANE_SIM_NAME, {});
  platform::RealClock clock;
  const std::unique_ptr<platform::IpcTransport> transport = platform::makeSystemTransport();
  SimLinkConfigure(transport.get(), &clock);
  uint32_t result = kSimLinkNoServer;
  // The server is up once the link opens.
  for (int i = 0; i < 200 && sim.running() && !SimLinkOpen(0, result); ++i) clock.sleepMs(25);
  if (result != kSimLinkOk) {
    std::fprintf(stderr, "could not reach corvane-sim: %s\n", SimLinkErrorTexts[result]);
    return 1;
  }

  std::printf(
      "Timer period with one exchange per tick (real event loop, corvane-sim in its own process)\n");
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
  sim.stop();
  fs::remove_all(dir);
  return 0;
}
