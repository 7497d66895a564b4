#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace platform {

/// Opaque handle of a server window or a named mapping; 0 means none.
using IpcHandle = uint64_t;

/// Size of the shared request block, in bytes.
inline constexpr size_t kIpcBlockSize = 0x8000;

/// Server side of one exchange: processes the request block in place and returns the answer
/// the client receives (1 = done, anything else = the request was refused).
using BlockHandler = std::function<uint32_t(uint8_t* block, size_t size)>;

/// The system calls the request-block protocol needs on the client side: find the server,
/// name the message, name and share the block, send one message per batch.
class IpcTransport {
 public:
  virtual ~IpcTransport() = default;
  /// Finds a server window of the given class ("UIPCMAIN", "FS98MAIN"); 0 when there is none.
  virtual IpcHandle findWindow(const char* className) = 0;
  /// Id of the named message shared by client and server; 0 on failure.
  virtual uint32_t registerWindowMessage(const char* name) = 0;
  /// Adds a global atom holding name; 0 on failure.
  virtual uint16_t addAtom(const char* name) = 0;
  /// Deletes an atom added by addAtom.
  virtual void deleteAtom(uint16_t atom) = 0;
  /// Creates a named shared mapping of size bytes; 0 on failure. alreadyExisted is set when a
  /// mapping of that name was there before (the handle may then be non-zero and must be closed).
  virtual IpcHandle createMapping(const char* name, size_t size, bool& alreadyExisted) = 0;
  /// Maps a writable view of size bytes of the mapping; null on failure.
  virtual uint8_t* mapView(IpcHandle mapping, size_t size) = 0;
  /// Unmaps a view returned by mapView.
  virtual void unmapView(uint8_t* view, size_t size) = 0;
  /// Closes a mapping handle (and removes the mapping this client created).
  virtual void closeMapping(IpcHandle mapping) = 0;
  /// Sends msgId to the window and blocks until the server answers or timeoutMs passes.
  /// Returns false when the send failed or timed out; answer receives the server's reply.
  virtual bool sendMessageTimeout(IpcHandle window, uint32_t msgId, uint64_t wParam,
                                  uint64_t lParam, uint32_t timeoutMs, uint32_t& answer) = 0;
  /// The system's last-error value after the most recent failed call (0 after a time-out).
  virtual uint32_t lastError() const = 0;
  /// Id of the calling process.
  virtual uint32_t processId() const = 0;
};

}  // namespace platform
