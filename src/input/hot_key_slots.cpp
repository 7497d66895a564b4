#include <algorithm>
#include <string>

#include "input/hot_keys.h"
#include "simlink/batch.h"
#include "simlink/sim_link.h"

void THotKeys::AllocateHotKeys() {
  KeyComboModifier = view_.rdgrpCtrlKeys.itemIndex() == 1 ? kHotKeyCtrlModifier : 0;
  // At most one slot per key: whatever is still held goes back before registering anew,
  // so allocations repeated by resets and option changes never eat up the slot table.
  if (std::any_of(HotKeySlotHeld.begin(), HotKeySlotHeld.end(), [](bool h) { return h; }))
    ReleaseHotKeys();

  bool anySlot = false;
  for (int k : view_.list.allocationOrder) {
    const auto i = static_cast<size_t>(k);
    HotKeySlots[i] =
        AllocateHotKeySlot(HotKeyRegistrationValue(view_.list.keys[i].Code, KeyComboModifier));
    HotKeySlotHeld[i] = HotKeySlots[i] != 0;
    anySlot = anySlot || HotKeySlotHeld[i];
  }

  if (anySlot) {
    view_.tmrKeystroke.setEnabled(true);
  } else {
    view_.tmrKeystroke.setEnabled(false);
    view_.lblConnectionInfo.setText(view_.lblConnectionInfo.text() + " (" + "some keys" + " " +
                                    "not available" + "/" + "already allocated" + ")");
  }
}

uint32_t THotKeys::AllocateHotKeySlot(uint32_t value) {
  uint32_t count = 0;
  if (!simlink::Batch(view_.link).read(simlink::kHotKeySlotCount, count).process()) return 0;

  // The count comes from the server; slots beyond the counter offset do not exist.
  const uint32_t limit = std::min(count, kHotKeyMaxSlots);
  uint32_t freeSlot = 0;
  for (uint32_t i = 0; freeSlot == 0 && i < limit; ++i) {
    uint32_t slotValue = ~0u;
    const simlink::Var<uint32_t> slot = simlink::hotKeySlot(i);
    if (simlink::Batch(view_.link).read(slot, slotValue).process() && slotValue == 0) freeSlot = slot.offset;
  }
  if (freeSlot == 0) return 0;

  if (simlink::Batch(view_.link).write(simlink::hotKeySlotAt(freeSlot), value).process()) return freeSlot;
  return 0;
}

void THotKeys::ReleaseHotKeys() {
  view_.tmrKeystroke.setEnabled(false);
  // A server that stopped answering is not waited for again: its slots are given up unsaid.
  if (view_.link.SimLinkLost()) {
    HotKeySlotHeld.assign(HotKeySlotHeld.size(), false);
    return;
  }
  // Lets a poll the server may still be serving settle before the slots go.
  view_.clock.sleepMs(view_.tmrKeystroke.interval());
  for (int k : view_.list.pollOrder) {
    const auto i = static_cast<size_t>(k);
    if (!HotKeySlotHeld[i] || HotKeySlots[i] == 0) continue;
    HotKeySlotHeld[i] = false;
    const uint32_t zero = 0;
    simlink::Batch(view_.link).write(simlink::hotKeySlotAt(HotKeySlots[i]), zero).process();
  }
}
