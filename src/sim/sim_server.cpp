#include "sim/sim_server.h"

#include <cstring>

#include "sim/sim_offsets.h"

namespace sim {
namespace {

uint32_t loadU32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool overlaps(uint32_t aFirst, uint32_t aEnd, uint32_t bFirst, uint32_t bSize) {
  uint64_t bEnd = uint64_t(bFirst) + bSize;
  if (bSize == 0) return bFirst >= aFirst && bFirst < aEnd;
  return bFirst < aEnd && bEnd > aFirst;
}

}  // namespace

bool parseRequestBlock(const uint8_t* block, size_t size, std::vector<RequestRecord>& records) {
  records.clear();
  size_t pos = 0;
  while (true) {
    if (size < 4 || pos > size - 4) return false;  // no room for an identifier: no terminator
    uint32_t id = loadU32(block + pos);
    if (id == 0) return true;
    if (id != 1 && id != 2) return false;
    size_t header = id == 1 ? 16 : 12;
    if (pos > size - header) return false;
    uint32_t offset = loadU32(block + pos + 4);
    uint32_t bytes = loadU32(block + pos + 8);
    if (!OffsetSpace::inside(offset, bytes)) return false;
    size_t dataPos = pos + header;
    if (bytes > size - dataPos) return false;
    records.push_back({id == 2, offset, bytes, dataPos});
    pos = dataPos + bytes;
  }
}

void scrambleReply(uint8_t* block, size_t size, uint64_t serial) {
  if (block == nullptr || size < 12 || loadU32(block) == 0) return;
  const size_t field = serial % 2 == 0 ? 8 : 0;
  const uint32_t value = serial % 2 == 0 ? loadU32(block + 8) + 1 : 3;
  std::memcpy(block + field, &value, 4);
}

SimServer::SimServer(platform::Clock& clock, ServerOptions options)
    : clock_(clock), options_(options) {
  records_.reserve(256);
  publishHandshake();
}

void SimServer::setOptions(const ServerOptions& options) {
  options_ = options;
  publishHandshake();
}

void SimServer::publishHandshake() {
  space_.set<uint32_t>(off::kServerVersion, options_.fsuipcVersion);
  space_.set<uint32_t>(off::kSimId, 0xFADE0000u | options_.simIndex);
}

void SimServer::onRead(uint32_t first, uint32_t size, ReadHook hook) {
  hooks_.push_back({first, first + size, std::move(hook), {}});
}

void SimServer::onWrite(uint32_t first, uint32_t size, WriteHook hook) {
  hooks_.push_back({first, first + size, {}, std::move(hook)});
}

uint32_t SimServer::handleBlock(uint8_t* block, size_t size) {
  if (block == nullptr || !parseRequestBlock(block, size, records_)) {
    ++blocksRefused_;
    return 0;
  }
  if (onBlock) {
    const RequestRecord* last = records_.empty() ? nullptr : &records_.back();
    onBlock(block, (last != nullptr ? last->dataPos + last->size : 0) + 4);
  }
  int64_t now = clock_.nowMs();
  if (!options_.relayNoSim && beforeBlock) beforeBlock(now);

  bool readVersion = false, readSimId = false;
  for (const RequestRecord& r : records_) {
    uint8_t* data = block + r.dataPos;
    if (options_.relayNoSim) {
      // A relay with nothing behind it knows no values and keeps no writes.
      if (!r.write) std::memset(data, 0, r.size);
      continue;
    }
    if (r.write) {
      std::memcpy(space_.data() + r.offset, data, r.size);
      if (overlaps(off::kLibraryVersion, off::kLibraryVersion + 2, r.offset, r.size)) {
        // 0x330A lies inside the simulator word at 0x3308: keep the client's number apart
        // and serve the simulator word unchanged.
        libraryVersion_ = space_.get<uint16_t>(off::kLibraryVersion);
        publishHandshake();
      } else if (overlaps(off::kServerVersion, off::kSimId + 4, r.offset, r.size)) {
        publishHandshake();
      }
      for (const Hook& h : hooks_)
        if (h.write && overlaps(h.first, h.end, r.offset, r.size)) h.write(r.offset, r.size);
      if (onClientWrite) onClientWrite(r.offset, r.size, data);
    } else {
      for (const Hook& h : hooks_)
        if (h.read && overlaps(h.first, h.end, r.offset, r.size)) h.read(r.offset, r.size);
      std::memcpy(data, space_.data() + r.offset, r.size);
      if (r.offset == off::kServerVersion && r.size >= 4) readVersion = true;
      if (r.offset == off::kSimId && r.size >= 4) readSimId = true;
    }
  }
  ++blocksServed_;
  if (!options_.relayNoSim && !handshakeDone_ && readVersion && readSimId) {
    handshakeDone_ = true;
    if (onHandshake) onHandshake(now);
  }
  return 1;
}

}  // namespace sim
