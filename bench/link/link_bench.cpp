// Round trip of one catch-check exchange (ten reads in one batch) over the POSIX transport
// against an in-process server endpoint, beside a bare Unix-socket round trip of the same
// message sizes. Prints figures only.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <sys/socket.h>
#include <unistd.h>

#include "platform/clock.h"
#include "platform/ipc_posix.h"
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

// Answers the handshake words and leaves every other read as the client zeroed it.
uint32_t trivialServer(uint8_t* block, size_t size) {
  size_t pos = 0;
  while (pos + 16 <= size) {
    uint32_t id, offset, length;
    std::memcpy(&id, block + pos, 4);
    if (id == 0) return 1;
    std::memcpy(&offset, block + pos + 4, 4);
    std::memcpy(&length, block + pos + 8, 4);
    const size_t header = id == 1 ? 16 : 12;
    if ((id != 1 && id != 2) || length > size - pos - header) return 0;
    const uint32_t value = offset == 0x3304 ? 0x36300000u : offset == 0x3308 ? 0xFADE0007u : 0u;
    if (id == 1 && length == 4) std::memcpy(block + pos + header, &value, 4);
    pos += header + length;
  }
  return 0;
}

using Clock = std::chrono::steady_clock;

void report(const char* what, std::vector<double>& us) {
  std::sort(us.begin(), us.end());
  double sum = 0;
  for (double v : us) sum += v;
  std::printf("%-44s median %8.2f us   p99 %8.2f us   mean %8.2f us   (%zu rounds)\n", what,
              us[us.size() / 2], us[us.size() * 99 / 100], sum / us.size(), us.size());
}

double elapsedUs(Clock::time_point start) {
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

bool benchLink(const std::string& dir) {
  platform::PosixServerEndpoint endpoint("UIPCMAIN", "FSASMLIB:IPC", trivialServer, dir);
  if (!endpoint.start()) {
    std::fprintf(stderr, "server endpoint: %s\n", endpoint.error().c_str());
    return false;
  }
  platform::PosixTransport transport(dir);
  platform::RealClock clock;
  SimLinkConfigure(&transport, &clock);
  uint32_t result = 0;
  if (!SimLinkOpen(0, result)) {
    std::fprintf(stderr, "open: %s\n", SimLinkErrorTexts[result]);
    SimLinkConfigure(nullptr, nullptr);
    return false;
  }
  uint8_t values[10][8];
  std::vector<double> us;
  us.reserve(kRounds);
  bool ok = true;
  for (int i = 0; i < kWarmUp + kRounds && ok; ++i) {
    const auto start = Clock::now();
    for (int r = 0; r < 10 && ok; ++r) {
      ok = SimLinkRead(kCatchCheckReads[r].offset, kCatchCheckReads[r].size, values[r], result);
    }
    ok = ok && SimLinkProcess(result);
    if (i >= kWarmUp) us.push_back(elapsedUs(start));
  }
  if (!ok) std::fprintf(stderr, "exchange: %s\n", SimLinkErrorTexts[result]);
  SimLinkConfigure(nullptr, nullptr);
  if (ok) report("SimLinkProcess, ten catch-check reads", us);
  return ok;
}

bool benchBareSocket() {
  int fds[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0) return false;
  // The link's request for "FSASMLIB:IPC:<pid>:1" is 32 + about 20 bytes; the reply 8.
  constexpr size_t kRequest = 32 + 20, kReply = 8;
  std::thread echo([fd = fds[1]] {
    uint8_t buf[kRequest];
    for (;;) {
      size_t got = 0;
      while (got < kRequest) {
        const ssize_t n = ::read(fd, buf + got, kRequest - got);
        if (n <= 0) return;
        got += static_cast<size_t>(n);
      }
      if (::write(fd, buf, kReply) != static_cast<ssize_t>(kReply)) return;
    }
  });
  uint8_t request[kRequest] = {}, reply[kReply];
  std::vector<double> us;
  us.reserve(kRounds);
  bool ok = true;
  for (int i = 0; i < kWarmUp + kRounds && ok; ++i) {
    const auto start = Clock::now();
    ok = ::write(fds[0], request, kRequest) == static_cast<ssize_t>(kRequest);
    size_t got = 0;
    while (ok && got < kReply) {
      const ssize_t n = ::read(fds[0], reply + got, kReply - got);
      ok = n > 0;
      if (ok) got += static_cast<size_t>(n);
    }
    if (i >= kWarmUp) us.push_back(elapsedUs(start));
  }
  ::close(fds[0]);
  echo.join();
  ::close(fds[1]);
  if (ok) report("bare Unix-socket round trip (same sizes)", us);
  return ok;
}

}  // namespace

int main() {
  char pattern[] = "/tmp/corvane-link-bench-XXXXXX";
  if (::mkdtemp(pattern) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
  const bool linkOk = benchLink(pattern);
  const bool socketOk = benchBareSocket();
  ::rmdir(pattern);
  return linkOk && socketOk ? 0 : 1;
}
