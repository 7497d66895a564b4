#include <algorithm>
#include <string>

#include "app/form_main.h"
#include "input/hot_key_table.h"
#include "simlink/sim_link.h"

void TFormMain::AllocateHotKeys() {
  KeyComboModifier = rdgrpCtrlKeys.itemIndex() == 1 ? kHotKeyCtrlModifier : 0;
  // At most one slot per key: whatever is still held goes back before registering anew,
  // so allocations repeated by resets and option changes never eat up the slot table.
  if (std::any_of(HotKeySlotHeld.begin(), HotKeySlotHeld.end(), [](bool h) { return h; }))
    ReleaseHotKeys();

  bool anySlot = false;
  for (int k : HotKeyAllocationOrder) {
    const auto i = static_cast<size_t>(k);
    HotKeySlots[i] =
        AllocateHotKeySlot(HotKeyRegistrationValue(HotKeyTable[i].Code, KeyComboModifier));
    HotKeySlotHeld[i] = HotKeySlots[i] != 0;
    anySlot = anySlot || HotKeySlotHeld[i];
  }

  if (anySlot) {
    tmrKeystroke.setEnabled(true);
  } else {
    tmrKeystroke.setEnabled(false);
    lblConnectionInfo.setText(lblConnectionInfo.text() + " (" + "some keys" + " " +
                              "not available" + "/" + "already allocated" + ")");
  }
}

uint32_t TFormMain::AllocateHotKeySlot(uint32_t value) {
  uint32_t result = 0;
  uint32_t count = 0;
  if (!(SimLinkRead(simlink::kHotKeySlotCount.offset, simlink::kHotKeySlotCount.size, &count,
                    result) &&
        SimLinkProcess(result)))
    return 0;

  // The count comes from the server; slots beyond the counter offset do not exist.
  const uint32_t limit = std::min(count, kHotKeyMaxSlots);
  uint32_t freeSlot = 0;
  for (uint32_t i = 0; freeSlot == 0 && i < limit; ++i) {
    uint32_t slotValue = ~0u;
    const uint32_t offset = simlink::hotKeySlot(i).offset;
    if (SimLinkRead(offset, 4, &slotValue, result) && SimLinkProcess(result) && slotValue == 0)
      freeSlot = offset;
  }
  if (freeSlot == 0) return 0;

  if (SimLinkWrite(freeSlot, 4, &value, result) && SimLinkProcess(result)) return freeSlot;
  return 0;
}

void TFormMain::ReleaseHotKeys() {
  tmrKeystroke.setEnabled(false);
  // Lets a poll the server may still be serving settle before the slots go.
  clock().sleepMs(tmrKeystroke.interval());
  for (int k : HotKeyPollOrder) {
    const auto i = static_cast<size_t>(k);
    if (!HotKeySlotHeld[i] || HotKeySlots[i] == 0) continue;
    HotKeySlotHeld[i] = false;
    uint32_t result = 0;
    const uint32_t zero = 0;
    if (SimLinkWrite(HotKeySlots[i], 4, &zero, result)) SimLinkProcess(result);
  }
}
