#include <string>

#include "app/form_main.h"
#include "input/hot_key_table.h"
#include "simlink/batch.h"

void TFormMain::rdgrpCtrlKeysClick() {
  ReleaseHotKeys();
  const std::string prefix = rdgrpCtrlKeys.itemIndex() == 1 ? "SHIFT+CTRL+" : "SHIFT+";
  AllocateHotKeys();
  for (int k : HotKeyLabelOrder) {
    const THotKey& key = HotKeyTable[static_cast<size_t>(k)];
    (this->*key.Label).setText(prefix + key.LabelText);
  }
}

void TFormMain::tmrKeystrokeTimer() {
  uint32_t counter = 0;
  if (simlink::Batch().read(simlink::kHotKeyCounter, counter).process()) {
    const auto low = static_cast<uint8_t>(counter & 0xFF);
    if (low != LastHotKeyCount) {
      LastHotKeyCount = low;
      for (int k : HotKeyPollOrder) PollHotKey(k);
    }
  }
  // A reset served above may have stopped the program; it stays stopped.
  if (!activity.programStopped) tmrFindNearest.setEnabled(true);
}

void TFormMain::PollHotKey(int k) {
  if (k < 0 || k >= kHotKeyCount) return;
  const auto i = static_cast<size_t>(k);
  if (HotKeySlots[i] == 0 || !HotKeySlotHeld[i]) return;

  uint32_t value = 0;
  if (!simlink::Batch().read(simlink::hotKeySlotAt(HotKeySlots[i]), value).process()) return;
  if (!IsHotKeyPressed(value)) return;

  const THotKey& key = HotKeyTable[i];
  if (key.TogglesOverride) {
    btnManualDisable.setDown(!btnManualDisable.down());
    frmToolbar.btnManualOverride.setDown(!frmToolbar.btnManualOverride.down());
  }
  (this->*key.Action).execute();

  // Acknowledges the press in the slot held now: a reset run by the action may have moved
  // the key, or released it for good when the new start-up failed.
  if (!HotKeySlotHeld[i] || HotKeySlots[i] == 0) return;
  const uint32_t registration = HotKeyRegistrationValue(key.Code, KeyComboModifier);
  simlink::Batch().write(simlink::hotKeySlotAt(HotKeySlots[i]), registration).process();
}
