// Achieved period of the program's fast timers on the real event loop, while every tick makes
// one exchange with corvane-sim over the system's transport (a read of the forward speed, as the
// deceleration tick does). Prints median, mean, p99 and maximum period and the drift over the
// whole run per interval; asserts nothing. The "figure:" lines are gathered by scripts/bench.
//
//   corvane_timer_bench [TICKS] [--load N] [--no-exchange] [--settle S]
//     --load N       runs N busy loops at normal priority in a child process meanwhile, as a
//                    simulator running flat out would (N = the number of cores keeps every core
//                    busy)
//     --no-exchange  ticks without the exchange: the wait alone
//     --settle S     waits S seconds after reaching corvane-sim before timing, so that a script
//                    can set the scheduling of the programs around it first
//                    (scripts/wine-timer-bench)

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/child_process.h"
#include "platform/clock.h"
#include "platform/event_loop.h"
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

// Spins on n threads until the process is ended; the load of --load, run in a child process so
// that whatever priority the benchmark's own process gets does not reach the load.
[[noreturn]] void busyLoops(int n) {
  static std::atomic<uint64_t> sink{0};
  std::vector<std::thread> threads;
  for (int i = 0; i < n; ++i)
    threads.emplace_back([] {
      for (uint64_t x = 0;; ++x) sink.store(x, std::memory_order_relaxed);
    });
  for (std::thread& t : threads) t.join();
  std::abort();  // not reached: the threads never end
}

}  // namespace

int main(int argc, char** argv) {
  // Ticks of each fast timer: 10,000 by default, to show that the period does not drift.
  int ticks = 10'000;
  int load = 0;
  bool exchange = true;
  int settleS = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--busy" && i + 1 < argc) busyLoops(std::max(1, std::atoi(argv[i + 1])));
    if (a == "--no-exchange") {
      exchange = false;
    } else if (a == "--load" && i + 1 < argc) {
      load = std::clamp(std::atoi(argv[++i]), 0, 64);
    } else if (a == "--settle" && i + 1 < argc) {
      settleS = std::clamp(std::atoi(argv[++i]), 0, 60);
    } else if (!a.empty() && a[0] != '-') {
      ticks = std::max(10, std::atoi(a.c_str()));
    } else {
      std::fprintf(stderr, "usage: corvane_timer_bench [TICKS] [--load N] [--no-exchange] [--settle S]\n");
      return 2;
    }
  }
  const fs::path dir = fs::temp_directory_path() /
                       ("corvane_timer_bench_" + std::to_string(platform::currentProcessId()));
  fs::remove_all(dir);
  platform::setEnvironmentVariable("CORVANE_IPC_DIR", dir.string());
  const std::unique_ptr<platform::IpcTransport> transport = platform::makeSystemTransport();
  // Its own server must be the one answering. On Windows every program of the session sees
  // every server of the class: with another one running, corvane-sim would refuse to start
  // and the benchmark would time the other one's exchanges (and hang once it went away).
  if (transport->findWindow("UIPCMAIN")) {
    std::fprintf(stderr, "another FSUIPC server is already running; stop it and run again\n");
    return 1;
  }
  platform::ChildProcess sim(platform::executableFolder() + CORVANE_SIM_NAME, {});
  std::unique_ptr<platform::ChildProcess> busy;
  if (load > 0)
    busy = std::make_unique<platform::ChildProcess>(
        platform::executableFolder() + CORVANE_BENCH_NAME,
        std::vector<std::string>{"--busy", std::to_string(load)});
  platform::RealClock clock;
  simlink::Link link(transport.get(), &clock);
  uint32_t result = kSimLinkNoServer;
  // The server is up once the link opens.
  for (int i = 0; i < 200 && sim.running() && !link.SimLinkOpen(0, result); ++i) clock.sleepMs(25);
  if (result != kSimLinkOk) {
    std::fprintf(stderr, "could not reach corvane-sim: %s\n", SimLinkErrorTexts[result]);
    return 1;
  }
  clock.sleepMs(settleS * 1000);

  std::printf(
      "Timer period %s (real event loop, corvane-sim in its own process), %d ticks of each "
      "fast timer%s\n",
      exchange ? "with one exchange per tick" : "without exchange", ticks,
      load > 0 ? (", " + std::to_string(load) + " busy loops beside it").c_str() : "");
  // A tick later than 1.5 periods is late (the next due time came first). An exchange longer
  // than the period makes the next tick late whatever the wait does: "slow" counts them.
  std::printf("%10s %8s %10s %10s %10s %10s %12s %6s %12s %9s %6s\n", "interval", "ticks",
              "median ms", "mean ms", "p99 ms", "max ms", "drift ms", "late", "exchange ms",
              "p99 ms", "slow");
  std::vector<std::string> figures;
  for (int interval : {5, 7, 10, 50}) {
    platform::EventLoop loop(clock);
    std::vector<int64_t> tickUs;
    std::vector<double> exchangeMs;
    double speed = 0;
    const int count = interval >= 50 ? std::min(ticks, 200) : ticks;
    tickUs.reserve(static_cast<size_t>(count) + 1);
    exchangeMs.reserve(static_cast<size_t>(count) + 1);
    platform::Timer timer(loop, "bench", interval, true, [&] {
      const int64_t t0 = clock.nowUs();
      tickUs.push_back(t0);
      uint32_t r = 0;
      if (exchange && link.SimLinkRead(0x3090, 8, &speed, r)) link.SimLinkProcess(r);
      exchangeMs.push_back(static_cast<double>(clock.nowUs() - t0) / 1000.0);
      if (static_cast<int>(tickUs.size()) > count) loop.quit();
    });
    loop.run();
    std::vector<double> periods;
    int skipped = 0;
    for (size_t i = 1; i < tickUs.size(); ++i) {
      periods.push_back(static_cast<double>(tickUs[i] - tickUs[i - 1]) / 1000.0);
      if (periods.back() > 1.5 * interval) ++skipped;
    }
    // Drift: how far the last tick lies off the grid of due times the first one started; a
    // skipped (late) tick moves a tick along the grid, not off it.
    const double spanMs = static_cast<double>(tickUs.back() - tickUs.front()) / 1000.0;
    const double drift = spanMs - std::round(spanMs / interval) * interval;
    const double median = percentile(periods, 0.5), p99 = percentile(periods, 0.99);
    const long slow = std::count_if(exchangeMs.begin(), exchangeMs.end(),
                                    [interval](double ms) { return ms > interval; });
    std::printf("%8d ms %8zu %10.3f %10.4f %10.3f %10.3f %12.3f %6d %12.3f %9.3f %6ld\n", interval,
                periods.size(), median, spanMs / static_cast<double>(periods.size()), p99,
                *std::max_element(periods.begin(), periods.end()), drift, skipped,
                percentile(exchangeMs, 0.5), percentile(exchangeMs, 0.99), slow);
    if (interval < 50) {
      const bool met = std::abs(median - interval) <= 0.05 && std::abs(p99 - interval) <= 0.5 &&
                       std::abs(drift) <= 0.5 && skipped * 100 <= static_cast<int>(periods.size());
      const std::string busyText =
          load > 0 ? ", " + std::to_string(load) + " busy loops beside it" : std::string();
      char line[480];
      std::snprintf(line, sizeof line,
                    "figure: %d ms timer period, %zu ticks %s%s | median %.3f, "
                    "p99 %.3f ms, drift %+.3f ms, %d late | median within 0.05 ms, p99 within "
                    "0.5 ms, no drift, at most 1%% late | nominal %d ms; max %.3f ms | %s",
                    interval, periods.size(),
                    exchange ? "with one exchange each" : "without exchange", busyText.c_str(),
                    median, p99, drift, skipped, interval,
                    *std::max_element(periods.begin(), periods.end()), met ? "met" : "NOT MET");
      figures.push_back(line);
    }
  }
  for (const std::string& f : figures) std::printf("%s\n", f.c_str());

  if (busy) busy->kill();
  link.SimLinkClose();
  sim.stop();
  fs::remove_all(dir);
  return 0;
}
