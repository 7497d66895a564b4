#include "simlink/sim_link.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "simlink/batch.h"

namespace {

constexpr const char* kMessageName = "FSASMLIB:IPC";
constexpr uint32_t kReadId = 1;
constexpr uint32_t kWriteId = 2;
constexpr uint32_t kReadHeader = 16;
constexpr uint32_t kWriteHeader = 12;
constexpr uint32_t kTerminator = 4;
constexpr uint32_t kSendAttempts = 10;
constexpr uint32_t kSendTimeoutMs = 2000;
constexpr int64_t kRetryWaitMs = 100;
constexpr int kHandshakePasses = 5;
constexpr int64_t kHandshakeWaitMs = 100;
constexpr uint32_t kMinServerVersion = 0x19980005;
constexpr uint32_t kSimCheckTag = 0xFADE;
// Most records a batch can hold: write records of no data, 12 bytes each.
constexpr size_t kMaxRecords = (kSimLinkCapacity - kTerminator) / kWriteHeader + 1;

// What the client queued, record by record: the reply is checked against it and read results
// go to the destinations kept here (the block's destination field is too narrow for a pointer).
struct QueuedRecord {
  uint32_t id;
  uint32_t size;
  void* dest;
};

struct LinkState {
  platform::IpcTransport* transport = nullptr;
  platform::Clock* clock = nullptr;
  platform::IpcHandle window = 0;
  uint32_t messageId = 0;
  uint16_t atom = 0;
  platform::IpcHandle mapping = 0;
  uint8_t* view = nullptr;
  uint32_t used = 0;  // bytes of queued records: next = view + used
  std::vector<QueuedRecord> records;
  // 11 or 12 once an exchange has failed all its retries: the server is taken as lost, later
  // exchanges fail at once with this code and the next open looks for no server.
  uint32_t lost = 0;
};

LinkState& link() {
  static LinkState state;
  return state;
}

platform::Clock& linkClock() {
  static platform::RealClock realClock;
  LinkState& s = link();
  return s.clock != nullptr ? *s.clock : realClock;
}

void storeU32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }

uint32_t loadU32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

// Appends one record header; the caller fills or zeroes the data area behind it.
uint8_t* queueRecord(uint32_t id, uint32_t header, uint32_t offset, uint32_t size, void* dest,
                     uint32_t& result) {
  LinkState& s = link();
  if (s.view == nullptr) {
    result = kSimLinkNotOpen;
    return nullptr;
  }
  // 64-bit sum: a size near 2^32 must be refused, not wrap round to a small total.
  const uint64_t used = uint64_t{s.used} + kTerminator + header + size;
  if (used > kSimLinkCapacity) {
    // The caller abandons this batch; the reads already queued point at its variables, which
    // may be gone by the next exchange, so the whole batch is dropped here.
    s.used = 0;
    s.records.clear();
    result = kSimLinkFull;
    return nullptr;
  }
  uint8_t* record = s.view + s.used;
  storeU32(record, id);
  storeU32(record + 4, offset);
  storeU32(record + 8, size);
  if (header == kReadHeader) storeU32(record + 12, static_cast<uint32_t>(s.records.size()));
  s.records.push_back({id, size, dest});
  s.used += header + size;
  result = kSimLinkOk;
  return record + header;
}

// True when every record in the block still has the identifier and size the client queued;
// only then are the record boundaries known to lie where the client put them.
bool replyMatchesQueue(const uint8_t* block, const std::vector<QueuedRecord>& records) {
  uint32_t pos = 0;
  for (const QueuedRecord& r : records) {
    if (loadU32(block + pos) != r.id || loadU32(block + pos + 8) != r.size) return false;
    pos += (r.id == kReadId ? kReadHeader : kWriteHeader) + r.size;
  }
  return true;
}

void copyReadResults(const uint8_t* block, const std::vector<QueuedRecord>& records) {
  uint32_t pos = 0;
  for (const QueuedRecord& r : records) {
    if (r.id == kReadId) {
      if (r.dest != nullptr && r.size != 0) std::memcpy(r.dest, block + pos + kReadHeader, r.size);
      pos += kReadHeader + r.size;
    } else {
      pos += kWriteHeader + r.size;
    }
  }
}

bool failOpen(uint32_t code, uint32_t& result) {
  SimLinkClose();
  result = code;
  return false;
}

}  // namespace

const std::array<const char*, 16> SimLinkErrorTexts{
    "Okay",
    "Attempt to Open when already Open",
    "FSUIPC/WideClient not currently available",
    "Failed to Register common message with Windows",
    "Failed to create Atom for mapping filename",
    "Failed to create a file mapping object",
    "Failed to open a view to the file map",
    "Incorrect version of FSUIPC, or not FSUIPC",
    "Sim is not version requested",
    "Call cannot execute, link not Open",
    "Call cannot execute: no requests accumulated",
    "IPC timed out all retries",
    "IPC sendmessage failed all retries",
    "IPC request contains bad data",
    "Maybe running on WideClient, but FS not running on Server, or wrong FSUIPC",
    "Read or Write request cannot be added, memory for Process is full",
};

uint32_t SimLinkServerVersion = 0;
uint32_t SimLinkSimIndex = 0;

void SimLinkConfigure(platform::IpcTransport* transport, platform::Clock* clock) {
  SimLinkClose();
  link().lost = 0;
  link().transport = transport;
  link().clock = clock;
}

bool SimLinkIsOpen() { return link().view != nullptr; }

bool SimLinkLost() { return link().lost != 0; }

bool SimLinkOpen(uint32_t requiredIndex, uint32_t& result) {
  LinkState& s = link();
  if (s.view != nullptr) {
    result = kSimLinkAlreadyOpen;
    return false;
  }
  SimLinkServerVersion = 0;
  SimLinkSimIndex = 0;
  if (s.lost != 0) {
    // The server stopped answering on this link: a handshake now would most likely wait as
    // long again. It counts as not available; the next attempt to connect looks for it.
    s.lost = 0;
    result = kSimLinkNoServer;
    return false;
  }
  if (s.transport == nullptr) {
    result = kSimLinkNoServer;
    return false;
  }
  platform::IpcTransport& t = *s.transport;

  bool wide = false;
  s.window = t.findWindow("UIPCMAIN");
  if (s.window == 0) {
    s.window = t.findWindow("FS98MAIN");
    wide = true;
  }
  if (s.window == 0) {
    result = kSimLinkNoServer;
    return false;
  }
  s.messageId = t.registerWindowMessage(kMessageName);
  if (s.messageId == 0) {
    s.window = 0;
    result = kSimLinkRegisterFailed;
    return false;
  }

  char mappingName[64];
  uint32_t attempt = 0;
  ++attempt;
  std::snprintf(mappingName, sizeof(mappingName), "%s:%X:%X", kMessageName, t.processId(), attempt);
  s.atom = t.addAtom(mappingName);
  if (s.atom == 0) return failOpen(kSimLinkAtomFailed, result);

  bool existed = false;
  s.mapping = t.createMapping(mappingName, platform::kIpcBlockSize, existed);
  if (s.mapping == 0 || existed) return failOpen(kSimLinkMappingFailed, result);

  s.view = t.mapView(s.mapping, platform::kIpcBlockSize);
  if (s.view == nullptr) return failOpen(kSimLinkViewFailed, result);
  s.used = 0;
  s.records.clear();
  s.records.reserve(kMaxRecords);

  static const uint16_t libraryVersion = static_cast<uint16_t>(SimLinkLibraryVersion & 0xFFFF);
  for (int pass = 1;
       pass <= kHandshakePasses && (SimLinkServerVersion == 0 || SimLinkSimIndex == 0); ++pass) {
    simlink::Batch batch;
    batch.read(simlink::kServerVersion, SimLinkServerVersion)
        .read(simlink::kSimCheck, SimLinkSimIndex);
    if (pass == 1) batch.write(simlink::kLibraryVersion, libraryVersion);
    if (!batch.process()) {
      result = batch.result();
      s.lost = 0;  // this attempt has waited already; the next one may look again
      SimLinkClose();
      return false;
    }
    linkClock().sleepMs(kHandshakeWaitMs);
  }

  if (SimLinkServerVersion < kMinServerVersion || (SimLinkSimIndex >> 16) != kSimCheckTag) {
    return failOpen(wide ? kSimLinkWideNoSim : kSimLinkBadVersion, result);
  }
  SimLinkSimIndex &= 0xFFFF;
  if (requiredIndex != 0 && requiredIndex != SimLinkSimIndex) {
    return failOpen(kSimLinkWrongSim, result);
  }
  result = kSimLinkOk;
  return true;
}

void SimLinkClose() {
  LinkState& s = link();
  s.window = 0;
  s.messageId = 0;
  s.used = 0;
  s.records.clear();
  if (s.transport == nullptr) return;
  if (s.atom != 0) {
    s.transport->deleteAtom(s.atom);
    s.atom = 0;
  }
  if (s.view != nullptr) {
    s.transport->unmapView(s.view, platform::kIpcBlockSize);
    s.view = nullptr;
  }
  if (s.mapping != 0) {
    s.transport->closeMapping(s.mapping);
    s.mapping = 0;
  }
}

bool SimLinkRead(uint32_t offset, uint32_t size, void* dest, uint32_t& result) {
  uint8_t* data = queueRecord(kReadId, kReadHeader, offset, size, dest, result);
  if (data == nullptr) return false;
  std::memset(data, 0, size);
  return true;
}

bool SimLinkWrite(uint32_t offset, uint32_t size, const void* src, uint32_t& result) {
  uint8_t* data = queueRecord(kWriteId, kWriteHeader, offset, size, nullptr, result);
  if (data == nullptr) return false;
  if (src != nullptr) {
    std::memcpy(data, src, size);
  } else {
    std::memset(data, 0, size);
  }
  return true;
}

bool SimLinkProcess(uint32_t& result) {
  LinkState& s = link();
  if (s.view == nullptr) {
    result = kSimLinkNotOpen;
    return false;
  }
  if (s.used == 0) {
    result = kSimLinkNothingQueued;
    return false;
  }
  storeU32(s.view + s.used, 0);
  s.used = 0;
  if (s.lost != 0) {
    // Another full round of retries would freeze the program for as long again.
    s.records.clear();
    result = s.lost;
    return false;
  }

  uint32_t answer = 0;
  bool sent = false;
  for (uint32_t attempt = 0; attempt < kSendAttempts && !sent; ++attempt) {
    sent =
        s.transport->sendMessageTimeout(s.window, s.messageId, s.atom, 0, kSendTimeoutMs, answer);
    if (!sent) linkClock().sleepMs(kRetryWaitMs);
  }
  if (!sent) {
    result = s.transport->lastError() == 0 ? kSimLinkTimedOut : kSimLinkSendFailed;
    s.lost = result;
  } else if (answer != 1 || !replyMatchesQueue(s.view, s.records)) {
    result = kSimLinkBadData;
  } else {
    copyReadResults(s.view, s.records);
    result = kSimLinkOk;
  }
  s.records.clear();
  return result == kSimLinkOk;
}
