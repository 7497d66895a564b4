#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

// A minimal server for link tests: a 64 KB offset space that read records are filled from
// and write records go to. The library-version word is kept apart, so its write does not
// disturb the simulator check word it overlaps.
struct FakeServer {
  std::array<uint8_t, 0x10000> space{};
  int libraryVersionWrites = 0;
  uint16_t libraryVersion = 0;

  void set32(uint32_t offset, uint32_t v) { std::memcpy(&space[offset], &v, 4); }
  uint32_t get32(uint32_t offset) const {
    uint32_t v;
    std::memcpy(&v, &space[offset], 4);
    return v;
  }
  void handshake(uint32_t version, uint32_t simCheck) {
    set32(0x3304, version);
    set32(0x3308, simCheck);
  }

  uint32_t handle(uint8_t* block, size_t size) {
    size_t pos = 0;
    while (pos + 4 <= size) {
      uint32_t id, offset, length;
      std::memcpy(&id, block + pos, 4);
      if (id == 0) return 1;
      const size_t header = id == 1 ? 16 : 12;
      if ((id != 1 && id != 2) || pos + header > size) return 0;
      std::memcpy(&offset, block + pos + 4, 4);
      std::memcpy(&length, block + pos + 8, 4);
      if (length > size - pos - header || uint64_t{offset} + length > space.size()) return 0;
      if (id == 1) {
        std::memcpy(block + pos + header, &space[offset], length);
      } else if (offset == 0x330A && length == 2) {
        ++libraryVersionWrites;
        std::memcpy(&libraryVersion, block + pos + header, 2);
      } else {
        std::memcpy(&space[offset], block + pos + header, length);
      }
      pos += header + length;
    }
    return 0;
  }
};
