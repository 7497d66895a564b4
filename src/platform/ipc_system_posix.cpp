#include "platform/ipc_system.h"

#include "platform/ipc_posix.h"

namespace platform {

std::unique_ptr<IpcTransport> makeSystemTransport() { return std::make_unique<PosixTransport>(); }

std::unique_ptr<ServerEndpoint> makeServerEndpoint(const std::string& className,
                                                   const std::string& messageName,
                                                   BlockHandler handler) {
  return std::make_unique<PosixServerEndpoint>(className, messageName, std::move(handler));
}

}  // namespace platform
