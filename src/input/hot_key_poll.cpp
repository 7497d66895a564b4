#include <string>
#include <utility>

#include "input/hot_keys.h"
#include "simlink/batch.h"

THotKeys::THotKeys(THotKeysView view)
    : HotKeySlots(view.list.keys.size(), 0),
      HotKeySlotHeld(view.list.keys.size(), false),
      view_(std::move(view)) {}

int THotKeys::KeyIndex(const std::string& key) const {
  for (size_t i = 0; i < view_.list.keys.size(); ++i)
    if (view_.list.keys[i].Key == key) return static_cast<int>(i);
  return -1;
}

void THotKeys::rdgrpCtrlKeysClick() {
  ReleaseHotKeys();
  const std::string prefix = view_.rdgrpCtrlKeys.itemIndex() == 1 ? "SHIFT+CTRL+" : "SHIFT+";
  AllocateHotKeys();
  for (int k : view_.list.labelOrder) {
    const THotKey& key = view_.list.keys[static_cast<size_t>(k)];
    if (key.Label) key.Label->setText(prefix + key.LabelText);
  }
}

void THotKeys::tmrKeystrokeTimer() {
  uint32_t counter = 0;
  if (simlink::Batch(view_.link).read(simlink::kHotKeyCounter, counter).process()) {
    const auto low = static_cast<uint8_t>(counter & 0xFF);
    if (low != LastHotKeyCount) {
      LastHotKeyCount = low;
      for (int k : view_.list.pollOrder) PollHotKey(k);
    }
  }
  // A reset served above may have stopped the program; it stays stopped.
  if (!view_.activity.programStopped) view_.tmrFindNearest.setEnabled(true);
}

void THotKeys::PollHotKey(int k) {
  if (k < 0 || static_cast<size_t>(k) >= view_.list.keys.size()) return;
  const auto i = static_cast<size_t>(k);
  if (HotKeySlots[i] == 0 || !HotKeySlotHeld[i]) return;

  uint32_t value = 0;
  if (!simlink::Batch(view_.link).read(simlink::hotKeySlotAt(HotKeySlots[i]), value).process()) return;
  if (!IsHotKeyPressed(value)) return;

  const THotKey& key = view_.list.keys[i];
  if (key.TogglesOverride) {
    view_.btnManualDisable.setDown(!view_.btnManualDisable.down());
    view_.btnManualOverride.setDown(!view_.btnManualOverride.down());
  }
  key.Action->execute();

  // Acknowledges the press in the slot held now: a reset run by the action may have moved
  // the key, or released it for good when the new start-up failed.
  if (!HotKeySlotHeld[i] || HotKeySlots[i] == 0) return;
  const uint32_t registration = HotKeyRegistrationValue(key.Code, KeyComboModifier);
  simlink::Batch(view_.link).write(simlink::hotKeySlotAt(HotKeySlots[i]), registration).process();
}
