#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>

namespace sim {

/// Size of the server's offset space: offsets run from 0 to 0xFFFF.
inline constexpr uint32_t kOffsetSpaceSize = 0x10000;

/// The server's 64 KB of simulator variables, little-endian, addressed by offset.
/// Accessors never touch memory outside the space: an out-of-range access reads zeros and
/// writes nothing.
class OffsetSpace {
 public:
  OffsetSpace() { bytes_.fill(0); }

  /// True when [offset, offset + size) lies inside the space.
  static bool inside(uint64_t offset, uint64_t size) {
    return offset < kOffsetSpaceSize && size <= kOffsetSpaceSize - offset;
  }
  /// Copies size bytes out of the space (zeros where out of range).
  void read(uint32_t offset, void* out, uint32_t size) const;
  /// Copies size bytes into the space (nothing when out of range).
  void write(uint32_t offset, const void* in, uint32_t size);
  /// Sets size bytes to zero.
  void clear(uint32_t offset, uint32_t size);
  /// Direct view of the bytes (for the request processor, which checks ranges first).
  uint8_t* data() { return bytes_.data(); }
  const uint8_t* data() const { return bytes_.data(); }

  template <typename T>
  T get(uint32_t offset) const {
    T v{};
    read(offset, &v, sizeof v);
    return v;
  }
  template <typename T>
  void set(uint32_t offset, T v) {
    write(offset, &v, sizeof v);
  }
  /// Zero-terminated text of at most maxLen bytes starting at offset.
  std::string text(uint32_t offset, uint32_t maxLen) const;

 private:
  std::array<uint8_t, kOffsetSpaceSize> bytes_;
};

}  // namespace sim
