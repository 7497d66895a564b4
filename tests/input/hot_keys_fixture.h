#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "catapult/plain_form.h"
#include "input/hot_key_table.h"
#include "sim/hot_keys.h"

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
