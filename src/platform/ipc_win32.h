#pragma once

#include <cstdint>
#include <string>

#include "platform/ipc_system.h"
#include "platform/ipc_transport.h"

namespace platform {

/// Client transport with the real Windows calls that FSUIPC and WideClient answer:
/// FindWindowExA, RegisterWindowMessageA, global atoms, a paging-file-backed named mapping and
/// SendMessageTimeoutA with SMTO_BLOCK.
///
/// A send that times out makes Windows report ERROR_TIMEOUT (1460) as its last error; this
/// transport reports a time-out as last error 0, so that a server that stops answering gives
/// the link's "IPC timed out all retries" (11), and every other failed send its real error
/// (12, "IPC sendmessage failed all retries"), for example a server window that went away.
class Win32Transport final : public IpcTransport {
 public:
  IpcHandle findWindow(const char* className) override;
  uint32_t registerWindowMessage(const char* name) override;
  uint16_t addAtom(const char* name) override;
  void deleteAtom(uint16_t atom) override;
  /// CreateFileMappingA on the paging file; ERROR_ALREADY_EXISTS sets alreadyExisted (the
  /// handle returned then must be closed).
  IpcHandle createMapping(const char* name, size_t size, bool& alreadyExisted) override;
  uint8_t* mapView(IpcHandle mapping, size_t size) override;
  void unmapView(uint8_t* view, size_t size) override;
  void closeMapping(IpcHandle mapping) override;
  /// SendMessageTimeoutA(SMTO_BLOCK); blocks up to timeoutMs.
  bool sendMessageTimeout(IpcHandle window, uint32_t msgId, uint64_t wParam, uint64_t lParam,
                          uint32_t timeoutMs, uint32_t& answer) override;
  uint32_t lastError() const override { return lastError_; }
  uint32_t processId() const override;

 private:
  uint32_t lastError_ = 0;
};

/// Server end with the real Windows calls: a hidden top-level window of the server class whose
/// window procedure answers the registered message. The message's wParam is a global atom
/// naming the client's mapping; the server opens and maps it for the one request, runs the
/// handler on the 0x8000-byte block, and answers its result. An atom that names nothing, a
/// mapping that is missing or too small, or a handler that throws are answered 0.
class Win32ServerEndpoint final : public ServerEndpoint {
 public:
  Win32ServerEndpoint(std::string className, const std::string& messageName, BlockHandler handler);
  ~Win32ServerEndpoint() override;
  Win32ServerEndpoint(const Win32ServerEndpoint&) = delete;
  Win32ServerEndpoint& operator=(const Win32ServerEndpoint&) = delete;

  /// Creates the window; fails when a window of the class already exists.
  bool listen() override;
  /// Pumps the thread's messages for up to timeoutMs; requests are answered from inside.
  int pollOnce(int timeoutMs) override;
  void shutdown() override;
  bool closeRequested() const override { return closeRequested_; }
  const std::string& error() const override { return error_; }
  std::string address() const override { return "window class " + className_; }
  uint64_t requestsServed() const override { return served_; }

  /// Answers one request: the block named by the atom, processed by the handler.
  uint32_t answer(uint16_t atom);
  uint32_t messageId() const { return messageId_; }
  void requestClose() { closeRequested_ = true; }

 private:
  std::string className_;
  uint32_t messageId_ = 0;
  BlockHandler handler_;
  std::string error_;
  void* window_ = nullptr;
  bool classRegistered_ = false;
  bool closeRequested_ = false;
  uint64_t served_ = 0;
};

}  // namespace platform
