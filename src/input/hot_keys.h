#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "activity/activity.h"
#include "platform/clock.h"
#include "platform/controls.h"
#include "platform/event_loop.h"
#include "simlink/sim_link.h"
#include "simlink/offsets.h"

// The function keys registered in the simulator interface's hot-key slots, and the slot protocol
// they use.

/// Slots that end before the message-time word (which lies below the change counter): the scan
/// never goes further, whatever count the server reports, so no in-simulator message can
/// overwrite a key's registration.
inline constexpr uint32_t kHotKeyMaxSlots =
    (simlink::kMessageTime.offset - simlink::kHotKeySlot0.offset) / 4;

/// Registration value with SHIFT and the flags byte set (bytes 1 and 2 both 1).
inline constexpr uint32_t kHotKeyShiftBase = 0x00010100;
/// Added to the registration value for SHIFT+CTRL (shift state 3 instead of 1).
inline constexpr uint32_t kHotKeyCtrlModifier = 512;

/// The value registered in a slot for key code with the modifier (0 or kHotKeyCtrlModifier).
constexpr uint32_t HotKeyRegistrationValue(uint8_t code, uint32_t modifier) {
  return kHotKeyShiftBase + code + modifier;
}

/// True when the slot value says its key has been pressed (byte 3 equals 1).
constexpr bool IsHotKeyPressed(uint32_t slotValue) { return (slotValue >> 24) == 1; }

/// One hot key: its key, what it runs and its line on the Keystrokes page.
struct THotKey {
  /// Key name as shown on the Keystrokes page ("F8").
  std::string Key;
  /// Virtual-key code (F1 = 0x70 ... F12 = 0x7B).
  uint8_t Code = 0;
  /// The action run when the key is pressed.
  platform::Action* Action = nullptr;
  /// Toggles both manual-override buttons before its action runs (F12).
  bool TogglesOverride = false;
  /// Label on the Keystrokes page.
  platform::Label* Label = nullptr;
  /// Label text after the key-combination prefix ("F8   Show Status Message").
  std::string LabelText;
};

/// The keys and the three orders they are handled in; each order names every key index once.
struct THotKeyList {
  /// The keys; a key's index here is its index in HotKeySlots and HotKeySlotHeld.
  std::vector<THotKey> keys;
  /// Order in which the keys are given slots: the most important first, so a crowded slot table
  /// still leaves them working.
  std::vector<int> allocationOrder;
  /// Order in which slots are freed and in which pressed keys are served.
  std::vector<int> pollOrder;
  /// Order in which the Keystrokes page labels are written.
  std::vector<int> labelOrder;
};

/// What the hot keys see of the window: the key-combination choice, the poll's timer, the
/// nearest-carrier search the poll brings back, the activity (whether the program stopped), the
/// clock of the pause before slots are freed, the connection line that says when no key could be
/// registered, the two manual-override buttons F12 toggles, and the keys with their actions.
struct THotKeysView {
  /// The window's link to the simulator.
  simlink::Link& link;
  platform::RadioGroup& rdgrpCtrlKeys;
  platform::Timer& tmrKeystroke;
  platform::Timer& tmrFindNearest;
  const TActivity& activity;
  platform::Clock& clock;
  platform::Label& lblConnectionInfo;
  platform::SpeedButton& btnManualDisable;
  /// The toolbar's manual-override button.
  platform::SpeedButton& btnManualOverride;
  THotKeyList list;
};

/// The hot keys: registers the keys in the simulator's hot-key slots with the chosen key
/// combination, polls them on tmrKeystroke and runs the action of each key pressed, and frees the
/// slots again. Owns the slots held and the last press counter seen.
class THotKeys {
 public:
  explicit THotKeys(THotKeysView view);

  /// Registers every key in the simulator's hot-key slots. Blocks on the link.
  void AllocateHotKeys();
  /// Frees every slot held (waits one keystroke interval through the clock first). Blocks.
  void ReleaseHotKeys();
  /// Writes value into the first free slot; returns its offset, 0 when none was obtained.
  uint32_t AllocateHotKeySlot(uint32_t value);
  /// Polls the slot of key index k (order of the key list) and runs its action.
  void PollHotKey(int k);
  /// The key combination changed: registers the keys anew and rewrites the Keystrokes page.
  void rdgrpCtrlKeysClick();
  /// The poll: reads the press counter and, when it moved, serves every key pressed.
  void tmrKeystrokeTimer();

  /// Index of the key named key ("F8") in the key list; -1 when there is none.
  int KeyIndex(const std::string& key) const;
  /// The keys and their orders.
  const THotKeyList& List() const { return view_.list; }

  /// Per key: the offset of the slot it was given, 0 when none.
  std::vector<uint32_t> HotKeySlots;
  /// Per key: whether the program still holds the slot in HotKeySlots. A released slot keeps its
  /// offset but is never written again, so it cannot free or re-register a slot that another
  /// client may have taken since.
  std::vector<bool> HotKeySlotHeld;
  /// Low byte of the press counter at the last poll.
  uint8_t LastHotKeyCount = 0;
  /// 0 for SHIFT, kHotKeyCtrlModifier for SHIFT+CTRL.
  uint32_t KeyComboModifier = 0;

 private:
  THotKeysView view_;
};
