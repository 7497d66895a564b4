#include "simlink/sim_link.h"

#include <cstdio>
#include <cstring>
#include <utility>
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

void storeU32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }

uint32_t loadU32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

// True when every record in the block still has the identifier and size the client queued;
// only then are the record boundaries known to lie where the client put them.
bool replyMatchesQueue(const uint8_t* block, const std::vector<simlink::QueuedRecord>& records) {
  uint32_t pos = 0;
  for (const simlink::QueuedRecord& r : records) {
    if (loadU32(block + pos) != r.id || loadU32(block + pos + 8) != r.size) return false;
    pos += (r.id == kReadId ? kReadHeader : kWriteHeader) + r.size;
  }
  return true;
}

void copyReadResults(const uint8_t* block, const std::vector<simlink::QueuedRecord>& records) {
  uint32_t pos = 0;
  for (const simlink::QueuedRecord& r : records) {
    if (r.id == kReadId) {
      if (r.dest != nullptr && r.size != 0) std::memcpy(r.dest, block + pos + kReadHeader, r.size);
      pos += kReadHeader + r.size;
    } else {
      pos += kWriteHeader + r.size;
    }
  }
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

namespace simlink {

Link::Link(platform::IpcTransport* transport, platform::Clock* clock)
    : transport_(transport), clock_(clock) {}

Link::~Link() { SimLinkClose(); }

void Link::SimLinkConfigure(platform::IpcTransport* transport, platform::Clock* clock) {
  SimLinkClose();
  lost_ = 0;
  transport_ = transport;
  clock_ = clock;
}

platform::Clock& Link::clock() {
  static platform::RealClock realClock;
  return clock_ != nullptr ? *clock_ : realClock;
}

// Appends one record header; the caller fills or zeroes the data area behind it.
uint8_t* Link::queueRecord(uint32_t id, uint32_t header, uint32_t offset, uint32_t size, void* dest,
                           uint32_t& result) {
  if (view_ == nullptr) {
    result = kSimLinkNotOpen;
    return nullptr;
  }
  // 64-bit sum: a size near 2^32 must be refused, not wrap round to a small total.
  const uint64_t used = uint64_t{used_} + kTerminator + header + size;
  if (used > kSimLinkCapacity) {
    // The caller abandons this batch; the reads already queued point at its variables, which
    // may be gone by the next exchange, so the whole batch is dropped here.
    used_ = 0;
    records_.clear();
    result = kSimLinkFull;
    return nullptr;
  }
  uint8_t* record = view_ + used_;
  storeU32(record, id);
  storeU32(record + 4, offset);
  storeU32(record + 8, size);
  if (header == kReadHeader) storeU32(record + 12, static_cast<uint32_t>(records_.size()));
  records_.push_back({id, size, dest});
  used_ += header + size;
  result = kSimLinkOk;
  return record + header;
}

bool Link::failOpen(uint32_t code, uint32_t& result) {
  SimLinkClose();
  result = code;
  return false;
}

bool Link::SimLinkOpen(uint32_t requiredIndex, uint32_t& result) {
  if (view_ != nullptr) {
    result = kSimLinkAlreadyOpen;
    return false;
  }
  SimLinkServerVersion = 0;
  SimLinkSimIndex = 0;
  if (lost_ != 0) {
    // The server stopped answering on this link: a handshake now would most likely wait as
    // long again. It counts as not available; the next attempt to connect looks for it.
    lost_ = 0;
    result = kSimLinkNoServer;
    return false;
  }
  if (transport_ == nullptr) {
    result = kSimLinkNoServer;
    return false;
  }
  platform::IpcTransport& t = *transport_;

  bool wide = false;
  window_ = t.findWindow("UIPCMAIN");
  if (window_ == 0) {
    window_ = t.findWindow("FS98MAIN");
    wide = true;
  }
  if (window_ == 0) {
    result = kSimLinkNoServer;
    return false;
  }
  messageId_ = t.registerWindowMessage(kMessageName);
  if (messageId_ == 0) {
    window_ = 0;
    result = kSimLinkRegisterFailed;
    return false;
  }

  char mappingName[64];
  uint32_t attempt = 0;
  ++attempt;
  std::snprintf(mappingName, sizeof(mappingName), "%s:%X:%X", kMessageName, t.processId(), attempt);
  atom_ = t.addAtom(mappingName);
  if (atom_ == 0) return failOpen(kSimLinkAtomFailed, result);

  bool existed = false;
  mapping_ = t.createMapping(mappingName, platform::kIpcBlockSize, existed);
  if (mapping_ == 0 || existed) return failOpen(kSimLinkMappingFailed, result);

  view_ = t.mapView(mapping_, platform::kIpcBlockSize);
  if (view_ == nullptr) return failOpen(kSimLinkViewFailed, result);
  used_ = 0;
  records_.clear();
  records_.reserve(kMaxRecords);

  static const uint16_t libraryVersion = static_cast<uint16_t>(SimLinkLibraryVersion & 0xFFFF);
  for (int pass = 1;
       pass <= kHandshakePasses && (SimLinkServerVersion == 0 || SimLinkSimIndex == 0); ++pass) {
    Batch batch(*this);
    batch.read(kServerVersion, SimLinkServerVersion).read(kSimCheck, SimLinkSimIndex);
    if (pass == 1) batch.write(kLibraryVersion, libraryVersion);
    if (!batch.process()) {
      result = batch.result();
      lost_ = 0;  // this attempt has waited already; the next one may look again
      SimLinkClose();
      return false;
    }
    clock().sleepMs(kHandshakeWaitMs);
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

void Link::SimLinkClose() {
  window_ = 0;
  messageId_ = 0;
  used_ = 0;
  records_.clear();
  if (transport_ == nullptr) return;
  if (atom_ != 0) {
    transport_->deleteAtom(atom_);
    atom_ = 0;
  }
  if (view_ != nullptr) {
    transport_->unmapView(view_, platform::kIpcBlockSize);
    view_ = nullptr;
  }
  if (mapping_ != 0) {
    transport_->closeMapping(mapping_);
    mapping_ = 0;
  }
}

bool Link::SimLinkRead(uint32_t offset, uint32_t size, void* dest, uint32_t& result) {
  uint8_t* data = queueRecord(kReadId, kReadHeader, offset, size, dest, result);
  if (data == nullptr) return false;
  std::memset(data, 0, size);
  return true;
}

bool Link::SimLinkWrite(uint32_t offset, uint32_t size, const void* src, uint32_t& result) {
  uint8_t* data = queueRecord(kWriteId, kWriteHeader, offset, size, nullptr, result);
  if (data == nullptr) return false;
  if (src != nullptr) {
    std::memcpy(data, src, size);
  } else {
    std::memset(data, 0, size);
  }
  return true;
}

bool Link::SimLinkProcess(uint32_t& result) {
  if (view_ == nullptr) {
    result = kSimLinkNotOpen;
    return false;
  }
  if (used_ == 0) {
    result = kSimLinkNothingQueued;
    return false;
  }
  storeU32(view_ + used_, 0);
  used_ = 0;
  if (lost_ != 0) {
    // Another full round of retries would freeze the program for as long again.
    records_.clear();
    result = lost_;
    return false;
  }

  uint32_t answer = 0;
  bool sent = false;
  for (uint32_t attempt = 0; attempt < kSendAttempts && !sent; ++attempt) {
    sent = transport_->sendMessageTimeout(window_, messageId_, atom_, 0, kSendTimeoutMs, answer);
    if (!sent) clock().sleepMs(kRetryWaitMs);
  }
  if (!sent) {
    result = transport_->lastError() == 0 ? kSimLinkTimedOut : kSimLinkSendFailed;
    lost_ = result;
  } else if (answer != 1 || !replyMatchesQueue(view_, records_)) {
    result = kSimLinkBadData;
  } else {
    copyReadResults(view_, records_);
    result = kSimLinkOk;
  }
  records_.clear();
  return result == kSimLinkOk;
}

}  // namespace simlink
