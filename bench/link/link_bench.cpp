// Round trip of one catch-check exchange (ten reads in one batch) over the system's transport
// against a server endpoint on another thread, beside a bare round trip of the same kind
// (a Unix-socket message, or SendMessageTimeoutA to the same window on Windows). Prints
// figures only.

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <memory>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "handshake_server.h"
#include "platform/clock.h"
#include "link/bare_round_trip.h"
#include "platform/ipc_system.h"
#include "platform/os.h"
#include "simlink/sim_link.h"

namespace {

constexpr int kWarmUp = 200;
constexpr int kRounds = 5000;

struct Read {
  uint32_t offset, size;
};
constexpr Read kCatchCheckReads[] = {{0x0580, 4}, {0x057C, 4}, {0x0366, 2}, {0x0570, 4},
                                     {0x0574, 4}, {0x0568, 4}, {0x056C, 4}, {0x0560, 4},
                                     {0x0564, 4}, {0x3090, 8}};

using Clock = std::chrono::steady_clock;

}  // namespace

double report(const char* what, std::vector<double>& us) {
  std::sort(us.begin(), us.end());
  double sum = 0;
  for (double v : us) sum += v;
  std::printf("%-44s median %8.2f us   p99 %8.2f us   mean %8.2f us   (%zu rounds)\n", what,
              us[us.size() / 2], us[us.size() * 99 / 100], sum / us.size(), us.size());
  return us[us.size() / 2];
}

namespace {

double elapsedUs(Clock::time_point start) {
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

/// The server endpoint on a thread of its own (a window answers messages on the thread that
/// created it, so the endpoint is made there too).
class ServerThread {
 public:
  ServerThread() {
    thread_ = std::thread([this] {
      auto endpoint = platform::makeServerEndpoint("UIPCMAIN", "FSASMLIB:IPC", bench::handshakeOnlyServer);
      if (!endpoint->listen()) {
        std::fprintf(stderr, "server endpoint: %s\n", endpoint->error().c_str());
        state_ = -1;
        return;
      }
      state_ = 1;
      while (!stop_) endpoint->pollOnce(20);
      endpoint->shutdown();
    });
    while (state_ == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ~ServerThread() {
    stop_ = true;
    thread_.join();
  }
  bool ok() const { return state_ == 1; }

 private:
  std::atomic<int> state_{0};
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

bool benchLink() {
  ServerThread server;
  if (!server.ok()) return false;
  const std::unique_ptr<platform::IpcTransport> transport = platform::makeSystemTransport();
  platform::RealClock clock;
  simlink::Link link(transport.get(), &clock);
  uint32_t result = 0;
  if (!link.SimLinkOpen(0, result)) {
    std::fprintf(stderr, "open: %s\n", SimLinkErrorTexts[result]);
    return false;
  }
  uint8_t values[10][8];
  std::vector<double> us;
  us.reserve(kRounds);
  bool ok = true;
  for (int i = 0; i < kWarmUp + kRounds && ok; ++i) {
    const auto start = Clock::now();
    for (int r = 0; r < 10 && ok; ++r) {
      ok =
          link.SimLinkRead(kCatchCheckReads[r].offset, kCatchCheckReads[r].size, values[r], result);
    }
    ok = ok && link.SimLinkProcess(result);
    if (i >= kWarmUp) us.push_back(elapsedUs(start));
  }
  if (!ok) std::fprintf(stderr, "exchange: %s\n", SimLinkErrorTexts[result]);
  link.SimLinkClose();
  if (!ok) return false;
  const double linked = report("SimLinkProcess, ten catch-check reads", us);
  const double bare = benchBareRoundTrip(kWarmUp, kRounds);
  if (bare <= 0) return false;
  std::printf("ratio of the medians, link / bare round trip: %.2f\n", linked / bare);
  std::printf(
      "figure: exchange round trip, ten catch-check reads in one batch | median %.1f us "
      "| one message round trip per batch | bare round trip %.1f us, ratio %.2f | -\n",
      linked, bare, linked / bare);
  return true;
}

}  // namespace

int main() {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() /
      ("corvane-link-bench-" + std::to_string(platform::currentProcessId()));
  platform::setEnvironmentVariable("CORVANE_IPC_DIR", dir.string());
  const bool ok = benchLink();
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
  return ok ? 0 : 1;
}
