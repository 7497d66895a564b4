#include "platform/stdin_lines.h"

#include <poll.h>
#include <unistd.h>

namespace platform {

bool StdinLines::readAvailable() {
  pollfd p{STDIN_FILENO, POLLIN, 0};
  while (::poll(&p, 1, 0) > 0 && (p.revents & (POLLIN | POLLHUP))) {
    char buf[512];
    const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
    if (n <= 0) return false;
    pending_.append(buf, static_cast<size_t>(n));
  }
  return true;
}

}  // namespace platform
