#include "sim/hot_keys.h"

#include <algorithm>
#include <cctype>

#include "sim/sim_offsets.h"

namespace sim {

std::optional<HotKey> parseHotKey(std::string_view text) {
  std::string up;
  for (char c : text) up.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
  HotKey key;
  std::string_view rest = up;
  if (rest.starts_with("SHIFT+CTRL+")) {
    key.shift = 3;
    rest.remove_prefix(11);
  } else if (rest.starts_with("SHIFT+")) {
    key.shift = 1;
    rest.remove_prefix(6);
  } else {
    return std::nullopt;
  }
  if (rest.size() < 2 || rest.size() > 3 || rest[0] != 'F') return std::nullopt;
  int n = 0;
  for (char c : rest.substr(1)) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
  }
  if (n < 1 || n > 12 || rest[1] == '0') return std::nullopt;
  key.vk = static_cast<uint8_t>(0x70 + n - 1);
  return key;
}

std::string hotKeyName(HotKey key) {
  std::string s = key.shift == 3 ? "SHIFT+CTRL+" : key.shift == 1 ? "SHIFT+" : "?+";
  return s + "F" + std::to_string(key.vk - 0x70 + 1);
}

HotKeyTable::HotKeyTable(OffsetSpace& space, uint32_t slots)
    : space_(space), slots_(std::min(slots, kMaxSlots)) {
  space_.set<uint32_t>(off::kHotKeyCount, slots_);
}

int HotKeyTable::press(HotKey key) {
  int marked = 0;
  for (uint32_t i = 0; i < slots_; ++i) {
    uint32_t v = slot(i);
    if (v == 0) continue;
    if ((v & 0xFF) == key.vk && ((v >> 8) & 0xFF) == key.shift) {
      space_.set<uint32_t>(off::kHotKeySlots + 4 * i, (v & 0x00FFFFFFu) | 0x01000000u);
      ++marked;
    }
  }
  if (marked > 0) {
    uint32_t c = space_.get<uint32_t>(off::kHotKeyCounter);
    c = (c & 0xFFFFFF00u) | ((c + 1) & 0xFFu);
    space_.set<uint32_t>(off::kHotKeyCounter, c);
  }
  return marked;
}

uint32_t HotKeyTable::slot(uint32_t i) const {
  return i < slots_ ? space_.get<uint32_t>(off::kHotKeySlots + 4 * i) : 0;
}

uint8_t HotKeyTable::counter() const { return space_.get<uint8_t>(off::kHotKeyCounter); }

}  // namespace sim
