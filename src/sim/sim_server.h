#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/clock.h"
#include "sim/offset_space.h"

namespace sim {

/// How the server presents itself in the handshake.
struct ServerOptions {
  /// Version word served at 0x3304 (digits in the high 16 bits, letter index in the low 8).
  uint32_t fsuipcVersion = 0x36300000;
  /// Simulator index served in the low 16 bits of 0x3308 (7 = FS2004).
  uint16_t simIndex = 7;
  /// Behave like a network relay with no simulator behind it: every read answers zeros.
  bool relayNoSim = false;
};

/// One request record of a block, after validation.
struct RequestRecord {
  bool write = false;
  uint32_t offset = 0;
  uint32_t size = 0;
  /// Byte position of the record's data area in the block.
  size_t dataPos = 0;
};

/// Checks a request block: every record has identifier 1 (read) or 2 (write), lies inside
/// the block and inside the offset space, and a zero terminator follows the last record.
/// Fills records (cleared first) and returns true when the whole block is sound.
bool parseRequestBlock(const uint8_t* block, size_t size, std::vector<RequestRecord>& records);

/// Corrupts a served block the way a faulty server would: the first record's size grows by
/// one on even serials, its identifier becomes 3 on odd ones. No effect on a block without a
/// record.
void scrambleReply(uint8_t* block, size_t size, uint64_t serial);

/// The FSUIPC-compatible server core: the offset space, request processing, the handshake
/// offsets and hooks that attach behaviour to offsets. Not thread-safe: a caller serving from
/// several threads must serialize the calls.
class SimServer {
 public:
  /// Runs before a read that overlaps the hook's range (may refresh the bytes).
  using ReadHook = std::function<void(uint32_t offset, uint32_t size)>;
  /// Runs after a write that overlaps the hook's range has been stored in the space.
  using WriteHook = std::function<void(uint32_t offset, uint32_t size)>;

  explicit SimServer(platform::Clock& clock, ServerOptions options = {});

  /// Processes one request block in place: validates it, then applies its records in order.
  /// Returns 1 when done, 0 for a malformed block (nothing of it applied). Does not block.
  uint32_t handleBlock(uint8_t* block, size_t size);

  /// Attaches a hook to the offsets [first, first + size).
  void onRead(uint32_t first, uint32_t size, ReadHook hook);
  /// Attaches a hook to the offsets [first, first + size).
  void onWrite(uint32_t first, uint32_t size, WriteHook hook);

  /// Called at the start of every block with the clock's time, before any record is applied
  /// (the simulator brings its flight model up to that time here).
  std::function<void(int64_t nowMs)> beforeBlock;
  /// Called once, after the first block that read both handshake words with valid values.
  std::function<void(int64_t nowMs)> onHandshake;
  /// Called with every well-formed block as the client wrote it (records and terminator), before
  /// any record is applied; used to record a flight's exchanges byte for byte.
  std::function<void(const uint8_t* block, size_t size)> onBlock;
  /// Called after every write record the client sent (offset, size, first bytes of the value).
  std::function<void(uint32_t offset, uint32_t size, const uint8_t* data)> onClientWrite;

  OffsetSpace& space() { return space_; }
  const OffsetSpace& space() const { return space_; }
  platform::Clock& clock() const { return clock_; }

  const ServerOptions& options() const { return options_; }
  /// Changes the handshake values and the relay mode; takes effect at the next read.
  void setOptions(const ServerOptions& options);
  /// Library version the client reported at 0x330A (0 until written).
  uint16_t clientLibraryVersion() const { return libraryVersion_; }
  /// True once a client has completed the handshake.
  bool handshakeDone() const { return handshakeDone_; }
  /// Blocks answered 1 and blocks refused as malformed.
  uint64_t blocksServed() const { return blocksServed_; }
  uint64_t blocksRefused() const { return blocksRefused_; }

 private:
  struct Hook {
    uint32_t first, end;
    ReadHook read;
    WriteHook write;
  };
  void publishHandshake();

  platform::Clock& clock_;
  ServerOptions options_;
  OffsetSpace space_;
  std::vector<Hook> hooks_;
  std::vector<RequestRecord> records_;
  uint16_t libraryVersion_ = 0;
  bool handshakeDone_ = false;
  uint64_t blocksServed_ = 0;
  uint64_t blocksRefused_ = 0;
};

}  // namespace sim
