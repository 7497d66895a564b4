#include "platform/ipc_posix.h"
#include "platform/ipc_posix_wire.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

std::string ipcDirectory() {
  if (const char* dir = std::getenv("CORVANE_IPC_DIR"); dir != nullptr && *dir != '\0') {
    return dir;
  }
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR");
      runtime != nullptr && *runtime != '\0') {
    return std::string(runtime) + "/corvane";
  }
  return "/tmp/corvane-" + std::to_string(static_cast<unsigned long>(getuid()));
}

std::string shmNameFor(std::string_view mappingName) {
  std::string name = "/";
  for (char c : mappingName.substr(0, 200)) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '.' || c == '_';
    name += plain ? c : '_';
  }
  return name;
}

uint32_t ipcMessageId(std::string_view messageName) {
  // FNV-1a folded into the range of registered window messages.
  uint32_t hash = 2166136261u;
  for (char c : messageName) {
    hash = (hash ^ static_cast<uint8_t>(c)) * 16777619u;
  }
  return 0xC000u + (hash % 0x4000u);
}

std::string privateFolderProblem(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return path + ": " + std::strerror(errno);
  if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & 077) != 0)
    return path + " is not a private folder of this user";
  return {};
}

int removeStaleMappings() {
  constexpr std::string_view prefix = "FSASMLIB_IPC_";
  DIR* dir = ::opendir("/dev/shm");
  if (dir == nullptr) return 0;
  int removed = 0;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (!name.starts_with(prefix)) continue;
    // The client's process id, in hexadecimal, up to the next '_'.
    const std::string_view rest = name.substr(prefix.size());
    const size_t end = rest.find('_');
    if (end == 0 || end == std::string_view::npos || end > 8) continue;
    unsigned long pid = 0;
    bool hex = true;
    for (char c : rest.substr(0, end)) {
      const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
      if (digit < 0) hex = false;
      pid = pid * 16 + static_cast<unsigned long>(digit < 0 ? 0 : digit);
    }
    if (!hex || pid == 0 || pid > 0x7FFFFFFF) continue;
    if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;  // still there
    const std::string shmName = "/" + std::string(name);
    struct stat st {};
    if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 ||
        st.st_uid != ::geteuid())
      continue;
    if (::shm_unlink(shmName.c_str()) == 0) ++removed;
  }
  ::closedir(dir);
  return removed;
}

namespace ipcwire {

int64_t steadyNowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

namespace {

// Waits until fd is ready for events or the deadline passes: 0 ready, -1 time-out, else errno.
int waitFor(int fd, short events, int64_t deadlineMs) {
  for (;;) {
    const int64_t left = deadlineMs - steadyNowMs();
    if (left <= 0) return -1;
    pollfd p{fd, events, 0};
    const int n = ::poll(&p, 1, static_cast<int>(left));
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return -1;
    return 0;  // readable, writable or in error: the next call tells which
  }
}

}  // namespace

int sendAll(int fd, const void* data, size_t size, int64_t deadlineMs) {
  auto* p = static_cast<const uint8_t*>(data);
  while (size > 0) {
    const ssize_t n = ::send(fd, p, size, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      p += n;
      size -= static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (const int w = waitFor(fd, POLLOUT, deadlineMs); w != 0) return w;
      continue;
    }
    return n < 0 ? errno : EPIPE;
  }
  return 0;
}

int receiveAll(int fd, void* data, size_t size, int64_t deadlineMs) {
  auto* p = static_cast<uint8_t*>(data);
  while (size > 0) {
    const ssize_t n = ::recv(fd, p, size, MSG_DONTWAIT);
    if (n > 0) {
      p += n;
      size -= static_cast<size_t>(n);
      continue;
    }
    if (n == 0) return ECONNRESET;
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      if (const int w = waitFor(fd, POLLIN, deadlineMs); w != 0) return w;
      continue;
    }
    return errno;
  }
  return 0;
}

}  // namespace ipcwire
}  // namespace platform
