#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "sim/simulator.h"

namespace simtest {

/// Builds a request block as a client would and reads the answers back.
class BlockBuilder {
 public:
  BlockBuilder() : block_(0x8000, 0) {}
  /// Queues a read; returns the position of its data area.
  size_t read(uint32_t offset, uint32_t size) {
    put(1);
    put(offset);
    put(size);
    put(0);
    size_t at = pos_;
    pos_ += size;
    return at;
  }
  template <typename T>
  void write(uint32_t offset, T value) {
    writeBytes(offset, &value, sizeof value);
  }
  void writeBytes(uint32_t offset, const void* data, uint32_t size) {
    put(2);
    put(offset);
    put(size);
    std::memcpy(block_.data() + pos_, data, size);
    pos_ += size;
  }
  /// Appends the terminator; returns the block to send.
  uint8_t* finish() {
    put(0);
    return block_.data();
  }
  size_t size() const { return block_.size(); }
  template <typename T>
  T get(size_t at) const {
    T v;
    std::memcpy(&v, block_.data() + at, sizeof v);
    return v;
  }
  void put(uint32_t v) {
    std::memcpy(block_.data() + pos_, &v, 4);
    pos_ += 4;
  }
  std::vector<uint8_t>& bytes() { return block_; }

 private:
  std::vector<uint8_t> block_;
  size_t pos_ = 0;
};

/// One exchange of a single read; returns the value.
template <typename T>
T readOne(sim::Simulator& s, uint32_t offset) {
  BlockBuilder b;
  size_t at = b.read(offset, sizeof(T));
  s.handleBlock(b.finish(), b.size());
  return b.get<T>(at);
}

/// One exchange of a single write; returns the server's answer.
template <typename T>
uint32_t writeOne(sim::Simulator& s, uint32_t offset, T value) {
  BlockBuilder b;
  b.write(offset, value);
  return s.handleBlock(b.finish(), b.size());
}

/// The handshake of the link: reads 0x3304 and 0x3308, writes the library version.
inline void handshake(sim::Simulator& s, uint16_t library = 1004) {
  BlockBuilder b;
  b.read(0x3304, 4);
  b.read(0x3308, 4);
  b.write<uint16_t>(0x330A, library);
  s.handleBlock(b.finish(), b.size());
}

}  // namespace simtest
