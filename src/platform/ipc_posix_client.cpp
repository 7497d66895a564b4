#include "platform/ipc_posix.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/ipc_posix_wire.h"

namespace platform {

namespace {

// How long finding a server may wait for a busy server to take the connection.
constexpr int64_t kFindTimeoutMs = 2000;

}  // namespace

PosixTransport::PosixTransport(std::string dir) : dir_(std::move(dir)) {
  message_.reserve(sizeof(ipcwire::Request) + ipcwire::kMaxNameLength);
  removeStaleMappings();
}

PosixTransport::~PosixTransport() {
  dropConnection();
  for (auto& [handle, mapping] : mappings_) {
    ::close(mapping.fd);
    ::shm_unlink(mapping.shmName.c_str());
  }
}

bool PosixTransport::fail(uint32_t error) {
  lastError_ = error;
  return false;
}

void PosixTransport::dropConnection() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

bool PosixTransport::connectSocket(int64_t deadlineMs) {
  dropConnection();
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (socketPath_.empty() || socketPath_.size() >= sizeof(addr.sun_path)) {
    return fail(ENAMETOOLONG);
  }
  std::memcpy(addr.sun_path, socketPath_.c_str(), socketPath_.size() + 1);
  // Non-blocking: a server that has stopped answering leaves its backlog full, and a blocking
  // connect would then wait for it without end.
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return fail(static_cast<uint32_t>(errno));
  for (;;) {
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof(addr)) == 0) break;
    const int error = errno;
    if (error == EINTR) continue;
    if (error == EAGAIN && ipcwire::steadyNowMs() < deadlineMs) {
      ::usleep(5000);  // the backlog is full: the server is busy or hung
      continue;
    }
    ::close(fd);
    return fail(error == EAGAIN ? 0 : static_cast<uint32_t>(error));  // EAGAIN: a time-out
  }
  fd_ = fd;
  return true;
}

IpcHandle PosixTransport::findWindow(const char* className) {
  const std::string dir = dir_.empty() ? ipcDirectory() : dir_;
  const std::string path = dir + "/" + className;
  // Whoever can create the socket can read and write every request block sent to it: only
  // a server of this user, in a folder nobody else can enter, is talked to. A missing folder
  // or socket is simply no server.
  struct stat st {};
  if (::lstat(dir.c_str(), &st) != 0) {
    fail(static_cast<uint32_t>(errno));
    return 0;
  }
  std::string problem = privateFolderProblem(dir);
  if (problem.empty() && ::lstat(path.c_str(), &st) == 0 &&
      (!S_ISSOCK(st.st_mode) || st.st_uid != ::geteuid()))
    problem = path + " is not a socket of this user";
  if (!problem.empty()) {
    if (problem != refusal_)
      std::fprintf(stderr, "corvane: not connecting to a server: %s\n", problem.c_str());
    refusal_ = problem;
    fail(EACCES);
    return 0;
  }
  refusal_.clear();
  const std::string previousPath = socketPath_;
  socketPath_ = path;
  if (!connectSocket(ipcwire::steadyNowMs() + kFindTimeoutMs)) {
    socketPath_ = previousPath;
    return 0;
  }
  window_ = nextWindow_++;
  return window_;
}

uint32_t PosixTransport::registerWindowMessage(const char* name) {
  if (name == nullptr || *name == '\0') {
    lastError_ = EINVAL;
    return 0;
  }
  return ipcMessageId(name);
}

uint16_t PosixTransport::addAtom(const char* name) {
  if (name == nullptr || *name == '\0' || std::strlen(name) > ipcwire::kMaxNameLength ||
      atoms_.size() >= 0x3FFF) {
    lastError_ = EINVAL;
    return 0;
  }
  while (atoms_.count(nextAtom_) != 0 || nextAtom_ < 0xC000) {
    nextAtom_ = nextAtom_ == 0xFFFF ? 0xC000 : static_cast<uint16_t>(nextAtom_ + 1);
  }
  const uint16_t atom = nextAtom_;
  atoms_[atom] = name;
  nextAtom_ = nextAtom_ == 0xFFFF ? 0xC000 : static_cast<uint16_t>(nextAtom_ + 1);
  return atom;
}

void PosixTransport::deleteAtom(uint16_t atom) { atoms_.erase(atom); }

IpcHandle PosixTransport::createMapping(const char* name, size_t size, bool& alreadyExisted) {
  alreadyExisted = false;
  const std::string shmName = shmNameFor(name);
  const int fd = ::shm_open(shmName.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600);
  if (fd < 0) {
    lastError_ = static_cast<uint32_t>(errno);
    alreadyExisted = errno == EEXIST;
    return 0;
  }
  if (::ftruncate(fd, static_cast<off_t>(size)) != 0) {
    lastError_ = static_cast<uint32_t>(errno);
    ::close(fd);
    ::shm_unlink(shmName.c_str());
    return 0;
  }
  const IpcHandle handle = nextMapping_++;
  mappings_[handle] = Mapping{fd, shmName};
  return handle;
}

uint8_t* PosixTransport::mapView(IpcHandle mapping, size_t size) {
  const auto it = mappings_.find(mapping);
  if (it == mappings_.end()) {
    lastError_ = EBADF;
    return nullptr;
  }
  void* view = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, it->second.fd, 0);
  if (view == MAP_FAILED) {
    lastError_ = static_cast<uint32_t>(errno);
    return nullptr;
  }
  return static_cast<uint8_t*>(view);
}

void PosixTransport::unmapView(uint8_t* view, size_t size) {
  if (view != nullptr) ::munmap(view, size);
}

void PosixTransport::closeMapping(IpcHandle mapping) {
  const auto it = mappings_.find(mapping);
  if (it == mappings_.end()) return;
  ::close(it->second.fd);
  ::shm_unlink(it->second.shmName.c_str());
  mappings_.erase(it);
}

bool PosixTransport::sendMessageTimeout(IpcHandle window, uint32_t msgId, uint64_t wParam,
                                        uint64_t lParam, uint32_t timeoutMs, uint32_t& answer) {
  if (window == 0 || window != window_) return fail(EBADF);
  const int64_t deadline = ipcwire::steadyNowMs() + timeoutMs;
  if (fd_ < 0 && !connectSocket(deadline)) return false;

  std::string_view name;
  if (wParam <= 0xFFFF) {
    if (const auto it = atoms_.find(static_cast<uint16_t>(wParam)); it != atoms_.end()) {
      name = it->second;
    }
  }
  ipcwire::Request request{
      ipcwire::kMagic, msgId, wParam, lParam, static_cast<uint32_t>(name.size()), 0};
  message_.resize(sizeof(request) + name.size());
  std::memcpy(message_.data(), &request, sizeof(request));
  if (!name.empty()) std::memcpy(message_.data() + sizeof(request), name.data(), name.size());

  int rc = ipcwire::sendAll(fd_, message_.data(), message_.size(), deadline);
  ipcwire::Reply reply{};
  if (rc == 0) rc = ipcwire::receiveAll(fd_, &reply, sizeof(reply), deadline);
  if (rc == 0 && reply.magic != ipcwire::kMagic) rc = EPROTO;
  if (rc != 0) {
    // A late reply would be taken for the next one: start the next send on a new connection.
    dropConnection();
    return fail(rc < 0 ? 0 : static_cast<uint32_t>(rc));
  }
  answer = reply.answer;
  return true;
}

uint32_t PosixTransport::processId() const { return static_cast<uint32_t>(::getpid()); }

}  // namespace platform
