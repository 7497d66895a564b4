#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/action_table.h"
#include "catapult/plain_form.h"
#include "input/hot_keys.h"
#include "sim/hot_keys.h"

/// Index of the key named key in the window's key list (the rows of the action table that have a
/// hot key, in table order); -1 when none has it.
inline int HotKeyIndexOf(std::string_view key) {
  int i = 0;
  for (const TActionRow& row : ActionTable()) {
    if (!row.HotKey.Key) continue;
    if (row.HotKey.Key == key) return i;
    ++i;
  }
  return -1;
}

inline const int hkF1 = HotKeyIndexOf("F1");
inline const int hkF2 = HotKeyIndexOf("F2");
inline const int hkF3 = HotKeyIndexOf("F3");
inline const int hkF5 = HotKeyIndexOf("F5");
inline const int hkF6 = HotKeyIndexOf("F6");
inline const int hkF7 = HotKeyIndexOf("F7");
inline const int hkF8 = HotKeyIndexOf("F8");
inline const int hkF9 = HotKeyIndexOf("F9");
inline const int hkF11 = HotKeyIndexOf("F11");
inline const int hkF12 = HotKeyIndexOf("F12");

namespace input_test {

/// A plain main window beside a server whose hot-key table offers `slots` slots.
struct Keys : catapult_test::PlainForm {
  sim::HotKeyTable table;

  explicit Keys(uint32_t slots = 56) : table(h.server->space(), slots) {
    form->rdgrpCtrlKeys.addItem("SHIFT+<key>");
    form->rdgrpCtrlKeys.addItem("SHIFT+CTRL+<key>");
  }
  uint32_t slot(uint32_t i) const { return h.peek<uint32_t>(0x3210 + 4 * i); }
  /// Slots of the first n holding a value.
  int usedSlots(uint32_t n = 56) const {
    int used = 0;
    for (uint32_t i = 0; i < n; ++i) used += slot(i) != 0;
    return used;
  }
  /// Offsets of the slot writes the program made, with their values.
  std::vector<std::pair<uint32_t, int64_t>> slotWrites() const {
    std::vector<std::pair<uint32_t, int64_t>> out;
    for (const auto& w : h.writes)
      if (w.offset >= 0x3210 && w.offset < 0x32FE) out.emplace_back(w.offset, w.asInt());
    return out;
  }
};

}  // namespace input_test
