#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/clock.h"
#include "platform/ipc_transport.h"

// The link to the simulator's interface module: queue reads and writes into the shared request
// block, send the batch with SimLinkProcess, use the values. Every operation returns true on
// success and leaves a result code (an index into SimLinkErrorTexts) in its out-parameter; none
// throws. One thread only.

/// Result codes of the link operations (texts in SimLinkErrorTexts).
inline constexpr uint32_t kSimLinkOk = 0;
inline constexpr uint32_t kSimLinkAlreadyOpen = 1;
inline constexpr uint32_t kSimLinkNoServer = 2;
inline constexpr uint32_t kSimLinkRegisterFailed = 3;
inline constexpr uint32_t kSimLinkAtomFailed = 4;
inline constexpr uint32_t kSimLinkMappingFailed = 5;
inline constexpr uint32_t kSimLinkViewFailed = 6;
inline constexpr uint32_t kSimLinkBadVersion = 7;
inline constexpr uint32_t kSimLinkWrongSim = 8;
inline constexpr uint32_t kSimLinkNotOpen = 9;
inline constexpr uint32_t kSimLinkNothingQueued = 10;
inline constexpr uint32_t kSimLinkTimedOut = 11;
inline constexpr uint32_t kSimLinkSendFailed = 12;
inline constexpr uint32_t kSimLinkBadData = 13;
inline constexpr uint32_t kSimLinkWideNoSim = 14;
inline constexpr uint32_t kSimLinkFull = 15;

/// Texts of the result codes, indexed by code.
extern const std::array<const char*, 16> SimLinkErrorTexts;

/// This client's library version, reported to the server at open.
inline constexpr uint32_t SimLinkLibraryVersion = 1004;

/// Names of the simulators by the index the server reports. Each edition of the program knows
/// the first entries of this table (app/sim_names.h).
inline constexpr std::array<const char*, 8> SimNamesAll{"Any",  "FS98", "FS2K",   "CFS2",
                                                        "CFS1", "FLY",  "FS2002", "FS2004"};

/// Usable bytes of the request block: queued records plus the terminator may not exceed it.
inline constexpr uint32_t kSimLinkCapacity = 0x7F00;

namespace simlink {

/// One request queued on a link, as the client put it: the reply is checked against it and
/// read results go to the destination kept here (the block's destination field is too narrow
/// for a pointer).
struct QueuedRecord {
  uint32_t id;
  uint32_t size;
  void* dest;
};

/// One link to the simulator: the transport it finds the server through, the clock it waits
/// on, the shared request block and what has been queued in it. The window is handed one by its
/// front end; tests make their own. Not copyable: the queued reads point into its owner's
/// variables and the shared block belongs to it alone.
class Link {
 public:
  /// A closed link using transport and clock. Null transport: no server is ever found. Null
  /// clock: the machine's clock.
  explicit Link(platform::IpcTransport* transport = nullptr, platform::Clock* clock = nullptr);
  /// Closes the link.
  ~Link();
  Link(const Link&) = delete;
  Link& operator=(const Link&) = delete;

  /// Chooses another transport and clock (closing an open link first and forgetting a lost
  /// server); null as in the constructor.
  void SimLinkConfigure(platform::IpcTransport* transport, platform::Clock* clock);

  /// Finds the server, shares the request block with it and checks its version; requiredIndex
  /// 0 accepts any simulator. Blocks for the handshake (at least 100 ms, up to 5 passes). The
  /// first open after the server was lost (see SimLinkProcess) fails at once with code 2.
  bool SimLinkOpen(uint32_t requiredIndex, uint32_t& result);
  /// Releases everything the link holds; harmless when closed or half open.
  void SimLinkClose();
  /// Queues a read of size bytes at offset; dest is filled by the next successful
  /// SimLinkProcess and must stay valid until then.
  bool SimLinkRead(uint32_t offset, uint32_t size, void* dest, uint32_t& result);
  /// Queues a write of size bytes at offset; the value is copied at once.
  bool SimLinkWrite(uint32_t offset, uint32_t size, const void* src, uint32_t& result);
  /// Sends the queued batch and stores the read results; blocks up to 2000 ms per attempt,
  /// 10 attempts. The queue is empty afterwards whatever the outcome. When all attempts fail
  /// (11, 12) the server is lost: every later exchange fails at once with the same code, without
  /// a send, until the link is opened again.
  bool SimLinkProcess(uint32_t& result);
  /// True while the link is open.
  bool SimLinkIsOpen() const { return view_ != nullptr; }
  /// True from an exchange that failed all its retries (11, 12) until the next open.
  bool SimLinkLost() const { return lost_ != 0; }

  /// Server version word read at open (0 until read).
  uint32_t SimLinkServerVersion = 0;
  /// Value read from the simulator check word at open; after a successful open the simulator
  /// index alone (low 16 bits).
  uint32_t SimLinkSimIndex = 0;

 private:
  platform::Clock& clock();
  uint8_t* queueRecord(uint32_t id, uint32_t header, uint32_t offset, uint32_t size, void* dest,
                       uint32_t& result);
  bool failOpen(uint32_t code, uint32_t& result);

  platform::IpcTransport* transport_ = nullptr;
  platform::Clock* clock_ = nullptr;
  platform::IpcHandle window_ = 0;
  uint32_t messageId_ = 0;
  uint16_t atom_ = 0;
  platform::IpcHandle mapping_ = 0;
  uint8_t* view_ = nullptr;
  uint32_t used_ = 0;  // bytes of queued records: next = view_ + used_
  std::vector<QueuedRecord> records_;
  // 11 or 12 once an exchange has failed all its retries: the server is taken as lost, later
  // exchanges fail at once with this code and the next open looks for no server.
  uint32_t lost_ = 0;
};

}  // namespace simlink
