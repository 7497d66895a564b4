#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/ipc_transport.h"

namespace platform {

/// In-process transport: the server is a BlockHandler called synchronously inside the send,
/// and mappings are process memory keyed by name. Every failure a client can meet can be
/// switched on, so the link's error paths can be driven from a test.
class LoopbackTransport final : public IpcTransport {
 public:
  /// Which server window findWindow finds.
  enum class Server {
    None,      ///< no server window at all
    Fsuipc,    ///< a window of class "UIPCMAIN"
    WideOnly,  ///< only a window of class "FS98MAIN" (a network relay)
  };

  /// handler answers each batch; the server window starts present (Server::Fsuipc).
  explicit LoopbackTransport(BlockHandler handler);

  IpcHandle findWindow(const char* className) override;
  uint32_t registerWindowMessage(const char* name) override;
  uint16_t addAtom(const char* name) override;
  void deleteAtom(uint16_t atom) override;
  IpcHandle createMapping(const char* name, size_t size, bool& alreadyExisted) override;
  uint8_t* mapView(IpcHandle mapping, size_t size) override;
  void unmapView(uint8_t* view, size_t size) override;
  void closeMapping(IpcHandle mapping) override;
  /// Runs the handler on the block named by the atom in wParam (answer 0 if any part of the
  /// address is wrong). An injected send failure advances the clock by timeoutMs when a
  /// clock is set, as a real time-out would take that long.
  bool sendMessageTimeout(IpcHandle window, uint32_t msgId, uint64_t wParam, uint64_t lParam,
                          uint32_t timeoutMs, uint32_t& answer) override;
  uint32_t lastError() const override { return lastError_; }
  uint32_t processId() const override { return processId_; }

  // Failure injection and set-up.
  /// Sets which server window exists from now on (Server::Fsuipc makes a late server appear).
  void setServer(Server server) { server_ = server; }
  void setProcessId(uint32_t pid) { processId_ = pid; }
  void failRegistration(bool fail) { failRegistration_ = fail; }
  void failAtom(bool fail) { failAtom_ = fail; }
  /// createMapping fails outright (lastError 8).
  void failMapping(bool fail) { failMapping_ = fail; }
  void failView(bool fail) { failView_ = fail; }
  /// Creates a mapping held by someone else, so a client's create of that name reports it
  /// already existed.
  void addForeignMapping(const std::string& name);
  /// The next count sends fail; lastError is error (0 = a plain time-out).
  void failSends(int count, uint32_t error);
  /// The server answers this value instead of the handler's (after running it), or the
  /// handler's own answer when reset.
  void overrideAnswer(std::optional<uint32_t> answer) { answerOverride_ = answer; }
  /// Acts as a relay without a simulator: the handler is not called, every read comes back
  /// zero and the answer is 1.
  void relayZeros(bool on) { relayZeros_ = on; }
  /// Send failures advance this clock by their time-out.
  void setClock(Clock* clock) { clock_ = clock; }
  /// Called with each batch's block before the server handles it.
  std::function<void(uint8_t* block, size_t size)> onBatch;

  // Inspection.
  /// Sends attempted, failed ones included.
  int sendCount() const { return sends_; }
  /// Batches that reached the server.
  int batchCount() const { return batches_; }
  size_t liveAtoms() const { return atoms_.size(); }
  size_t liveMappings() const { return mappings_.size(); }
  int liveViews() const { return views_; }
  /// Name of the last mapping a client asked for.
  const std::string& lastMappingName() const { return lastMappingName_; }
  /// The block of a live mapping, or null.
  uint8_t* block(const std::string& name);

 private:
  struct Mapping {
    std::vector<uint8_t> bytes;
    int holders = 0;
  };

  BlockHandler handler_;
  Server server_ = Server::Fsuipc;
  uint32_t processId_ = 0x1A2C;
  uint32_t lastError_ = 0;
  bool failRegistration_ = false, failAtom_ = false, failMapping_ = false, failView_ = false;
  int failSendsLeft_ = 0;
  uint32_t failSendError_ = 0;
  std::optional<uint32_t> answerOverride_;
  bool relayZeros_ = false;
  Clock* clock_ = nullptr;
  int sends_ = 0, batches_ = 0, views_ = 0;
  std::map<uint16_t, std::string> atoms_;
  uint16_t nextAtom_ = 0xC000;
  std::map<std::string, Mapping> mappings_;
  std::map<IpcHandle, std::string> handles_;
  IpcHandle nextHandle_ = 1;
  std::string lastMappingName_;
};

/// Sets every read data area of a request block to zero, as a relay without a simulator
/// answers; stops at the terminator or at the first record that does not fit the block.
void zeroReadResults(uint8_t* block, size_t size);

}  // namespace platform
