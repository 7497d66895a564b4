#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace bench {

/// A server for benchmarks: answers the handshake words (FSUIPC 3.630, FS2004) and leaves
/// every other read as the client zeroed it, so the aircraft sits at 0 N 0 E. Returns 1 for a
/// sound block, 0 for a broken one.
inline uint32_t handshakeOnlyServer(uint8_t* block, size_t size) {
  size_t pos = 0;
  while (pos + 16 <= size) {
    uint32_t id, offset, length;
    std::memcpy(&id, block + pos, 4);
    if (id == 0) return 1;
    std::memcpy(&offset, block + pos + 4, 4);
    std::memcpy(&length, block + pos + 8, 4);
    const size_t header = id == 1 ? 16 : 12;
    if ((id != 1 && id != 2) || length > size - pos - header) return 0;
    const uint32_t value = offset == 0x3304 ? 0x36300000u : offset == 0x3308 ? 0xFADE0007u : 0u;
    if (id == 1 && length == 4) std::memcpy(block + pos + header, &value, 4);
    pos += header + length;
  }
  return 0;
}

}  // namespace bench
