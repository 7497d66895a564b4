#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/ipc_system.h"
#include "platform/ipc_transport.h"

namespace platform {

/// Folder holding the server sockets: $CORVANE_IPC_DIR, else $XDG_RUNTIME_DIR/corvane, else
/// /tmp/corvane-<uid>.
std::string ipcDirectory();
/// POSIX shared-memory name for a mapping name: "/" + the name with every character other
/// than letters, digits, '-', '.' and '_' replaced by '_' ("FSASMLIB:IPC:1A2C:1" becomes
/// "/FSASMLIB_IPC_1A2C_1"); at most 200 characters of the name are kept.
std::string shmNameFor(std::string_view mappingName);
/// Message id that client and server both derive from a message name (0xC000..0xFFFF).
uint32_t ipcMessageId(std::string_view messageName);
/// Empty when path is a real folder of this user that nobody else can enter; else why not.
std::string privateFolderProblem(const std::string& path);
/// Removes the request blocks ("/FSASMLIB_IPC_<pid>_<n>") of this user whose client process
/// has ended without removing them (a crash); returns how many were removed. Linux lists the
/// shared-memory names in /dev/shm; elsewhere nothing is found.
int removeStaleMappings();

/// Client transport over POSIX shared memory and a Unix-domain socket per server class.
/// The "window" of a server is a live listener on <dir>/<class>; one request message per
/// send carries the message id, the mapping name of the atom in wParam, wParam and lParam.
class PosixTransport final : public IpcTransport {
 public:
  /// dir empty: the folder is ipcDirectory(), looked up at every findWindow. Removes the
  /// request blocks that crashed clients left behind.
  explicit PosixTransport(std::string dir = {});
  /// Closes the connection and removes every shared-memory object still held.
  ~PosixTransport() override;
  PosixTransport(const PosixTransport&) = delete;
  PosixTransport& operator=(const PosixTransport&) = delete;

  /// Connects to the server socket of the class; 0 when no server listens there, or when the
  /// folder or the socket is not private to this user (refused without connecting; the
  /// reason is in refusal() and, once per reason, on the standard error).
  IpcHandle findWindow(const char* className) override;
  uint32_t registerWindowMessage(const char* name) override;
  uint16_t addAtom(const char* name) override;
  void deleteAtom(uint16_t atom) override;
  /// shm_open with O_CREAT|O_EXCL and mode 0600; an existing name sets alreadyExisted and
  /// returns 0.
  IpcHandle createMapping(const char* name, size_t size, bool& alreadyExisted) override;
  uint8_t* mapView(IpcHandle mapping, size_t size) override;
  void unmapView(uint8_t* view, size_t size) override;
  /// Closes the descriptor and unlinks the shared-memory object.
  void closeMapping(IpcHandle mapping) override;
  /// Sends one request and blocks for the reply up to timeoutMs. A time-out returns false
  /// with lastError 0; a broken or refused connection returns false with errno as last error.
  /// After any failure the connection is dropped and the next send reconnects.
  bool sendMessageTimeout(IpcHandle window, uint32_t msgId, uint64_t wParam, uint64_t lParam,
                          uint32_t timeoutMs, uint32_t& answer) override;
  uint32_t lastError() const override { return lastError_; }
  uint32_t processId() const override;
  /// Why the last findWindow refused the server's folder or socket; empty when it did not.
  const std::string& refusal() const { return refusal_; }

 private:
  struct Mapping {
    int fd = -1;
    std::string shmName;
  };
  /// Connects to socketPath_, waiting up to the deadline (steady-clock ms) for a full backlog.
  bool connectSocket(int64_t deadlineMs);
  void dropConnection();
  bool fail(uint32_t error);

  std::string dir_;
  std::string socketPath_;
  std::string refusal_;
  IpcHandle window_ = 0;
  IpcHandle nextWindow_ = 1;
  int fd_ = -1;
  uint32_t lastError_ = 0;
  std::map<uint16_t, std::string> atoms_;
  uint16_t nextAtom_ = 0xC000;
  std::map<IpcHandle, Mapping> mappings_;
  IpcHandle nextMapping_ = 1;
  std::vector<uint8_t> message_;
};

/// Server end of the POSIX transport: listens on <dir>/<className>, and for each request opens
/// the client's shared memory by name, maps the 0x8000-byte block, runs the handler on it and
/// replies its answer. A malformed request, a foreign message id or a missing or short shared
/// memory object is answered 0.
///
/// Two ways to serve: call pollOnce() from the caller's own loop, or start() a thread of the
/// endpoint that serves until stop(). In both cases the handler runs on the serving thread.
class PosixServerEndpoint final : public ServerEndpoint {
 public:
  /// messageName: the message whose id is served (other ids are answered 0).
  /// dir empty: ipcDirectory().
  PosixServerEndpoint(std::string className, const std::string& messageName, BlockHandler handler,
                      std::string dir = {});
  /// Stops the thread, closes every connection and removes the socket.
  ~PosixServerEndpoint() override;
  PosixServerEndpoint(const PosixServerEndpoint&) = delete;
  PosixServerEndpoint& operator=(const PosixServerEndpoint&) = delete;

  /// Creates the folder (mode 0700, must belong to this user), takes the class's lock file in
  /// it and listens on the socket; replaces a socket left by a server that has ended, fails
  /// while another server of the class holds the lock. Text in error().
  bool listen() override;
  /// Serves connections and requests for up to timeoutMs (blocks); returns requests answered.
  int pollOnce(int timeoutMs) override;
  /// Starts a thread that serves until stop(); listens first if needed.
  bool start();
  /// Stops the serving thread (blocks until it has ended); the socket stays until shutdown().
  void stop();
  /// stop(), closes every connection and removes the socket; listen() may be called again.
  void shutdown() override;

  const std::string& socketPath() const { return socketPath_; }
  const std::string& error() const override { return error_; }
  std::string address() const override { return socketPath_; }
  /// Requests answered so far (any thread may read it).
  uint64_t requestsServed() const override { return served_.load(); }

 private:
  bool serveRequest(int fd);
  uint32_t answerFor(uint32_t msgId, const std::string& mappingName);
  void closeClients();
  void releaseCachedView();

  std::string className_;
  std::string dir_;
  uint32_t messageId_;
  BlockHandler handler_;
  std::string socketPath_;
  std::string error_;
  int listenFd_ = -1;
  int lockFd_ = -1;
  int wakeRead_ = -1, wakeWrite_ = -1;
  std::vector<int> clients_;
  uint8_t* cachedView_ = nullptr;
  uint64_t cachedDevice_ = 0, cachedInode_ = 0;
  std::thread thread_;
  std::atomic<bool> stopping_{false};
  std::atomic<uint64_t> served_{0};
};

}  // namespace platform
