#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "sim/offset_space.h"

namespace sim {

/// A key as the simulator interface sees it: virtual-key code and shift state
/// (1 = SHIFT, 3 = SHIFT+CTRL).
struct HotKey {
  uint8_t vk = 0;
  uint8_t shift = 1;
  bool operator==(const HotKey&) const = default;
};

/// Parses "SHIFT+F9" or "SHIFT+CTRL+F12" (case-insensitive).
std::optional<HotKey> parseHotKey(std::string_view text);
/// "SHIFT+F9", "SHIFT+CTRL+F12".
std::string hotKeyName(HotKey key);

/// The hot-key slot table in the offset space: the slot count at 0x320C, the slots from 0x3210
/// and the change counter at 0x32FE. Clients register, poll and release slots by reading and
/// writing those offsets; the simulator side only presses keys.
class HotKeyTable {
 public:
  /// Most slots that fit between 0x3210 and the message-time offset 0x32FA.
  static constexpr uint32_t kMaxSlots = 58;

  HotKeyTable(OffsetSpace& space, uint32_t slots = 56);
  uint32_t slotCount() const { return slots_; }
  /// Marks every slot registered for the key as pressed (byte 3 = 1) and, when at least one
  /// matched, advances the counter's low byte (255 wraps to 0). Returns the slots marked.
  int press(HotKey key);
  /// Value of slot i (0 when out of range).
  uint32_t slot(uint32_t i) const;
  /// Low byte of the change counter.
  uint8_t counter() const;

 private:
  OffsetSpace& space_;
  uint32_t slots_;
};

}  // namespace sim
