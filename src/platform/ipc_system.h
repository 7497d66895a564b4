#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/ipc_transport.h"

namespace platform {

/// The client transport of this system: window messages and named shared memory on Windows,
/// Unix-domain sockets and POSIX shared memory elsewhere.
std::unique_ptr<IpcTransport> makeSystemTransport();

/// Server end of the system's transport: answers the registered message for the clients that
/// find it by its class name, running a BlockHandler on each client's request block. Serves
/// from the thread that calls pollOnce().
class ServerEndpoint {
 public:
  virtual ~ServerEndpoint() = default;
  /// Starts serving under the class name; false (text in error()) when that fails or another
  /// server of the class is already there.
  virtual bool listen() = 0;
  /// Serves requests for up to timeoutMs (blocks); returns the requests answered.
  virtual int pollOnce(int timeoutMs) = 0;
  /// Stops serving; listen() may be called again.
  virtual void shutdown() = 0;
  /// True once the system asked the server to close (its window was closed).
  virtual bool closeRequested() const { return false; }
  /// Why listen() failed.
  virtual const std::string& error() const = 0;
  /// Where clients find the server, for the user to read.
  virtual std::string address() const = 0;
  /// Requests answered so far.
  virtual uint64_t requestsServed() const = 0;
};

/// A server endpoint of this system for the class name, answering messageName.
std::unique_ptr<ServerEndpoint> makeServerEndpoint(const std::string& className,
                                                   const std::string& messageName,
                                                   BlockHandler handler);

}  // namespace platform
