#include <chrono>
#include <cstdint>
#include <thread>

#include <sys/socket.h>
#include <unistd.h>

#include "link/bare_round_trip.h"

double benchBareRoundTrip(int warmUp, int rounds) {
  int fds[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0) return -1;
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
  us.reserve(static_cast<size_t>(rounds));
  bool ok = true;
  for (int i = 0; i < warmUp + rounds && ok; ++i) {
    const auto start = std::chrono::steady_clock::now();
    ok = ::write(fds[0], request, kRequest) == static_cast<ssize_t>(kRequest);
    size_t got = 0;
    while (ok && got < kReply) {
      const ssize_t n = ::read(fds[0], reply + got, kReply - got);
      ok = n > 0;
      if (ok) got += static_cast<size_t>(n);
    }
    if (i >= warmUp)
      us.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() -
                                                             start)
                       .count());
  }
  ::close(fds[0]);
  echo.join();
  ::close(fds[1]);
  return ok ? report("bare Unix-socket round trip (same sizes)", us) : -1;
}
