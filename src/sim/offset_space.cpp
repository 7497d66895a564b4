#include "sim/offset_space.h"

namespace sim {

void OffsetSpace::read(uint32_t offset, void* out, uint32_t size) const {
  if (!inside(offset, size)) {
    std::memset(out, 0, size);
    return;
  }
  std::memcpy(out, bytes_.data() + offset, size);
}

void OffsetSpace::write(uint32_t offset, const void* in, uint32_t size) {
  if (!inside(offset, size)) return;
  std::memcpy(bytes_.data() + offset, in, size);
}

void OffsetSpace::clear(uint32_t offset, uint32_t size) {
  if (!inside(offset, size)) return;
  std::memset(bytes_.data() + offset, 0, size);
}

std::string OffsetSpace::text(uint32_t offset, uint32_t maxLen) const {
  std::string out;
  for (uint32_t i = 0; i < maxLen && offset + i < kOffsetSpaceSize; ++i) {
    char c = static_cast<char>(bytes_[offset + i]);
    if (c == '\0') break;
    out.push_back(c);
  }
  return out;
}

}  // namespace sim
