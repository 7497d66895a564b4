#include "platform/ipc_posix.h"

#include <cerrno>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/ipc_posix_wire.h"

namespace platform {

namespace {

// How long a client may take to deliver the rest of a request that has started to arrive.
constexpr int64_t kRequestCompletionMs = 1000;

std::string errnoText(const std::string& what, int error) {
  return what + ": " + std::strerror(error);
}

// Creates every missing folder of path with mode 0700; the last one must then be a real
// folder of this user that nobody else can enter.
bool makePrivateDir(const std::string& path, std::string& error) {
  for (size_t pos = 1; pos <= path.size(); ++pos) {
    if (pos != path.size() && path[pos] != '/') continue;
    const std::string part = path.substr(0, pos);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
      error = errnoText("cannot create " + part, errno);
      return false;
    }
  }
  error = privateFolderProblem(path);
  if (!error.empty()) return false;
  return true;
}

#ifdef POLLRDHUP
constexpr short kPeerClosedEvent = POLLRDHUP;  // the peer closed its end (Linux)
#else
constexpr short kPeerClosedEvent = 0;
#endif

// True when the other end of a connection has closed it (whatever it sent is still readable).
bool peerHungUp(int fd) {
  pollfd p{fd, kPeerClosedEvent, 0};
  return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | kPeerClosedEvent)) != 0;
}

}  // namespace

PosixServerEndpoint::PosixServerEndpoint(std::string className, const std::string& messageName,
                                         BlockHandler handler, std::string dir)
    : className_(std::move(className)),
      dir_(std::move(dir)),
      messageId_(ipcMessageId(messageName)),
      handler_(std::move(handler)) {}

PosixServerEndpoint::~PosixServerEndpoint() { shutdown(); }

bool PosixServerEndpoint::listen() {
  if (listenFd_ >= 0) return true;
  const std::string dir = dir_.empty() ? ipcDirectory() : dir_;
  if (!makePrivateDir(dir, error_)) return false;
  const std::string path = dir + "/" + className_;
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (path.size() >= sizeof(addr.sun_path)) {
    error_ = "socket path too long: " + path;
    return false;
  }
  std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);

  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    error_ = errnoText("socket", errno);
    return false;
  }
  // One server per class and folder: the lock is held for the server's life and let go by
  // the system when it ends, however it ends. Whoever holds it may remove a socket left behind.
  const std::string lockPath = path + ".lock";
  const int lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (lockFd < 0) {
    error_ = errnoText("cannot open " + lockPath, errno);
    ::close(fd);
    return false;
  }
  if (::flock(lockFd, LOCK_EX | LOCK_NB) != 0) {
    error_ = errno == EWOULDBLOCK ? "another server already serves " + className_ + " in " + dir
                                  : errnoText("cannot lock " + lockPath, errno);
    ::close(lockFd);
    ::close(fd);
    return false;
  }
  ::unlink(path.c_str());  // a socket left by a server that ended without removing it
  removeStaleMappings();
  const int rc = ::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof(addr));
  if (rc != 0) {
    error_ = errnoText("bind " + path, errno);
    ::close(lockFd);
    ::close(fd);
    return false;
  }
  if (::listen(fd, 16) != 0) {
    error_ = errnoText("listen", errno);
    ::close(fd);
    ::unlink(path.c_str());
    ::close(lockFd);
    return false;
  }
  int wake[2];
  if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
    error_ = errnoText("pipe", errno);
    ::close(fd);
    ::unlink(path.c_str());
    ::close(lockFd);
    return false;
  }
  lockFd_ = lockFd;
  wakeRead_ = wake[0];
  wakeWrite_ = wake[1];
  listenFd_ = fd;
  socketPath_ = path;
  error_.clear();
  return true;
}

int PosixServerEndpoint::pollOnce(int timeoutMs) {
  if (listenFd_ < 0) return 0;
  std::vector<pollfd> fds;
  fds.reserve(clients_.size() + 2);
  fds.push_back({listenFd_, POLLIN, 0});
  fds.push_back({wakeRead_, POLLIN, 0});
  for (int c : clients_) fds.push_back({c, POLLIN, 0});
  const int n = ::poll(fds.data(), fds.size(), timeoutMs);
  if (n <= 0) return 0;

  if (fds[1].revents != 0) {
    char drain[16];
    while (::read(wakeRead_, drain, sizeof(drain)) > 0) {
    }
  }
  int served = 0;
  std::vector<int> keep;
  keep.reserve(clients_.size() + 1);
  for (size_t i = 2; i < fds.size(); ++i) {
    if (fds[i].revents == 0) {
      keep.push_back(fds[i].fd);
    } else if (serveRequest(fds[i].fd)) {
      keep.push_back(fds[i].fd);
      ++served;
    } else {
      ::close(fds[i].fd);
    }
  }
  if (fds[0].revents & POLLIN) {
    const int c = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (c >= 0) keep.push_back(c);
  }
  clients_.swap(keep);
  return served;
}

bool PosixServerEndpoint::serveRequest(int fd) {
  const int64_t deadline = ipcwire::steadyNowMs() + kRequestCompletionMs;
  ipcwire::Request request{};
  if (ipcwire::receiveAll(fd, &request, sizeof(request), deadline) != 0) return false;
  uint32_t answer = 0;
  bool keepOpen = false;
  if (request.magic == ipcwire::kMagic && request.nameLength <= ipcwire::kMaxNameLength) {
    std::string name(request.nameLength, '\0');
    if (ipcwire::receiveAll(fd, name.data(), name.size(), deadline) != 0) return false;
    // A client that timed out has hung up and may already be filling its block with the next
    // batch: a request it abandoned is dropped, never applied late.
    if (peerHungUp(fd)) return false;
    answer = answerFor(request.messageId, name);
    keepOpen = true;
  }
  // A request that cannot be framed is answered 0 and its connection closed.
  served_.fetch_add(1);
  const ipcwire::Reply reply{ipcwire::kMagic, answer};
  const bool sent = ipcwire::sendAll(fd, &reply, sizeof(reply), deadline) == 0;
  return sent && keepOpen;
}

uint32_t PosixServerEndpoint::answerFor(uint32_t msgId, const std::string& mappingName) {
  if (msgId != messageId_ || mappingName.empty()) return 0;
  const int fd = ::shm_open(shmNameFor(mappingName).c_str(), O_RDWR | O_CLOEXEC, 0);
  if (fd < 0) return 0;
  struct stat st {};
  // A short object would fault on access; a foreign one is none of this server's business.
  if (::fstat(fd, &st) != 0 || st.st_size < static_cast<off_t>(kIpcBlockSize) ||
      st.st_uid != ::geteuid()) {
    ::close(fd);
    return 0;
  }
  // The same client sends batch after batch on the same block: keep the last one mapped.
  if (cachedView_ == nullptr || cachedDevice_ != st.st_dev || cachedInode_ != st.st_ino) {
    releaseCachedView();
    void* view = ::mmap(nullptr, kIpcBlockSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (view == MAP_FAILED) {
      ::close(fd);
      return 0;
    }
    cachedView_ = static_cast<uint8_t*>(view);
    cachedDevice_ = st.st_dev;
    cachedInode_ = st.st_ino;
  }
  ::close(fd);
  uint32_t answer = 0;
  try {
    answer = handler_ ? handler_(cachedView_, kIpcBlockSize) : 0;
  } catch (...) {
    answer = 0;
  }
  return answer;
}

bool PosixServerEndpoint::start() {
  if (thread_.joinable()) return true;
  if (!listen()) return false;
  stopping_ = false;
  thread_ = std::thread([this] {
    while (!stopping_.load()) pollOnce(1000);
  });
  return true;
}

void PosixServerEndpoint::stop() {
  if (!thread_.joinable()) return;
  stopping_ = true;
  const char wake = 1;
  [[maybe_unused]] const ssize_t n = ::write(wakeWrite_, &wake, 1);
  thread_.join();
}

void PosixServerEndpoint::releaseCachedView() {
  if (cachedView_ != nullptr) ::munmap(cachedView_, kIpcBlockSize);
  cachedView_ = nullptr;
}

void PosixServerEndpoint::closeClients() {
  for (int c : clients_) ::close(c);
  clients_.clear();
}

void PosixServerEndpoint::shutdown() {
  stop();
  closeClients();
  releaseCachedView();
  if (listenFd_ >= 0) {
    ::close(listenFd_);
    listenFd_ = -1;
    ::unlink(socketPath_.c_str());
  }
  if (lockFd_ >= 0) {
    ::close(lockFd_);  // after the socket is gone, so a new server never finds ours
    lockFd_ = -1;
  }
  for (int* fd : {&wakeRead_, &wakeWrite_}) {
    if (*fd >= 0) ::close(*fd);
    *fd = -1;
  }
}

}  // namespace platform
