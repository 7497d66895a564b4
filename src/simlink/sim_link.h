#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/clock.h"
#include "platform/ipc_transport.h"

// The process-wide link to the simulator's interface module: queue reads and writes into the
// shared request block, send the batch with SimLinkProcess, use the values. Every operation
// returns true on success and leaves a result code (an index into SimLinkErrorTexts) in its
// out-parameter; none throws. One thread only.

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

/// Server version word read at open (0 until read).
extern uint32_t SimLinkServerVersion;
/// Value read from the simulator check word at open; after a successful open the simulator
/// index alone (low 16 bits).
extern uint32_t SimLinkSimIndex;
/// This client's library version, reported to the server at open.
inline constexpr uint32_t SimLinkLibraryVersion = 1004;

/// Names of the simulators by the index the server reports. Each edition of the program knows
/// the first entries of this table (app/sim_names.h).
inline constexpr std::array<const char*, 8> SimNamesAll{"Any",  "FS98", "FS2K",   "CFS2",
                                                        "CFS1", "FLY",  "FS2002", "FS2004"};

/// Usable bytes of the request block: queued records plus the terminator may not exceed it.
inline constexpr uint32_t kSimLinkCapacity = 0x7F00;

/// Chooses the transport and the clock of the process-wide link (closing an open link
/// first). Null transport: no server is ever found. Null clock: the machine's clock.
void SimLinkConfigure(platform::IpcTransport* transport, platform::Clock* clock);

/// Finds the server, shares the request block with it and checks its version; requiredIndex
/// 0 accepts any simulator. Blocks for the handshake (at least 100 ms, up to 5 passes). The
/// first open after the server was lost (see SimLinkProcess) fails at once with code 2.
bool SimLinkOpen(uint32_t requiredIndex, uint32_t& result);
/// Releases everything the link holds; harmless when closed or half open.
void SimLinkClose();
/// Queues a read of size bytes at offset; dest is filled by the next successful SimLinkProcess
/// and must stay valid until then.
bool SimLinkRead(uint32_t offset, uint32_t size, void* dest, uint32_t& result);
/// Queues a write of size bytes at offset; the value is copied at once.
bool SimLinkWrite(uint32_t offset, uint32_t size, const void* src, uint32_t& result);
/// Sends the queued batch and stores the read results; blocks up to 2000 ms per attempt,
/// 10 attempts. The queue is empty afterwards whatever the outcome. When all attempts fail
/// (11, 12) the server is lost: every later exchange fails at once with the same code, without
/// a send, until the link is opened again.
bool SimLinkProcess(uint32_t& result);
/// True while the link is open.
bool SimLinkIsOpen();
/// True from an exchange that failed all its retries (11, 12) until the next open.
bool SimLinkLost();
