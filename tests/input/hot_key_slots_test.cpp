#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "input/hot_keys_fixture.h"

namespace {

using input_test::Keys;

/// Registration values of the window's keys in allocation order for the modifier.
std::vector<uint32_t> allocationValues(const Keys& k, uint32_t modifier) {
  const THotKeyList& list = k.form->hotKeys.List();
  std::vector<uint32_t> out;
  for (int key : list.allocationOrder)
    out.push_back(HotKeyRegistrationValue(list.keys[static_cast<size_t>(key)].Code, modifier));
  return out;
}

TEST(HotKeySlots, ShiftRegistersTheTenKeysInAllocationOrder) {
  Keys k;
  k.form->rdgrpCtrlKeys.setItemIndex(0);
  const auto expected = allocationValues(k, 0);
  for (uint32_t i = 0; i < 10; ++i) EXPECT_EQ(k.slot(i), expected[i]) << i;
  EXPECT_EQ(k.slot(10), 0u);
  EXPECT_EQ(k.form->hotKeys.HotKeySlots[hkF12], 0x3210u);
  EXPECT_EQ(k.form->hotKeys.HotKeySlots[hkF9], 0x3214u);
  EXPECT_EQ(k.form->hotKeys.HotKeySlots[hkF7], 0x3234u);
  EXPECT_EQ(k.form->hotKeys.KeyComboModifier, 0u);
  EXPECT_TRUE(k.form->tmrKeystroke.enabled());
  EXPECT_EQ(k.form->lblFuelLoadKey.text(), "SHIFT+F5   Fuel LOAD On/Off");
  EXPECT_EQ(k.form->lblResetKey.text(), "SHIFT+F11   Reset Program");
}

TEST(HotKeySlots, SwitchingToShiftCtrlFreesThenRegistersAgain) {
  Keys k;
  k.form->rdgrpCtrlKeys.setItemIndex(0);
  k.h.clearRecords();
  const int64_t before = k.h.clock.nowMs();
  k.form->rdgrpCtrlKeys.setItemIndex(1);
  EXPECT_EQ(k.h.clock.nowMs() - before, 250);  // one keystroke interval before the slots go

  const auto writes = k.slotWrites();
  ASSERT_EQ(writes.size(), 20u);
  // First every held slot is written 0, in the release order (F9's slot first) ...
  EXPECT_EQ(writes[0], (std::pair<uint32_t, int64_t>{0x3214, 0}));
  EXPECT_EQ(writes[1], (std::pair<uint32_t, int64_t>{0x3210, 0}));
  for (size_t i = 0; i < 10; ++i) EXPECT_EQ(writes[i].second, 0);
  // ... then ten registrations with CTRL, which reuse the freed slots.
  const auto expected = allocationValues(k, 512);
  for (size_t i = 0; i < 10; ++i) {
    EXPECT_EQ(writes[10 + i].first, 0x3210 + 4 * i);
    EXPECT_EQ(writes[10 + i].second, expected[i]);
  }
  EXPECT_EQ(k.slot(1), 66424u);  // SHIFT+CTRL+F9
  EXPECT_EQ(k.form->hotKeys.KeyComboModifier, 512u);
  const std::pair<platform::Label*, const char*> labels[] = {
      {&k.form->lblFuelLoadKey, "SHIFT+CTRL+F5   Fuel LOAD On/Off"},
      {&k.form->lblFuelOffloadKey, "SHIFT+CTRL+F6   Fuel OFFload On/Off"},
      {&k.form->lblFuelTransferRateKey, "SHIFT+CTRL+F7   Toggle Transfer Rate"},
      {&k.form->lblStatusKey, "SHIFT+CTRL+F8   Show Status Message"},
      {&k.form->lblCatapultKey, "SHIFT+CTRL+F9   Arm/Disarm Catapult"},
      {&k.form->lblManualOverrideKey, "SHIFT+CTRL+F12   Program Disable/Enable"},
      {&k.form->lblResetKey, "SHIFT+CTRL+F11   Reset Program"},
      {&k.form->lblBattleDamage1Key, "SHIFT+CTRL+F1   Battle Damage Level 1"},
      {&k.form->lblBattleDamage2Key, "SHIFT+CTRL+F2   Battle Damage Level 2"},
      {&k.form->lblBattleDamage3Key, "SHIFT+CTRL+F3   Battle Damage Level 3"},
  };
  for (const auto& [label, text] : labels) EXPECT_EQ(label->text(), text);
}

TEST(HotKeySlots, OnlySixFreeSlotsGoToTheFirstSixKeys) {
  Keys k(10);
  for (uint32_t i : {0u, 2u, 4u, 6u}) k.h.poke<uint32_t>(0x3210 + 4 * i, 0x00010170 + i);
  k.form->lblConnectionInfo.setText("status");
  k.form->hotKeys.AllocateHotKeys();
  EXPECT_EQ(k.form->hotKeys.HotKeySlots[hkF12], 0x3214u);
  EXPECT_EQ(k.form->hotKeys.HotKeySlots[hkF9], 0x321Cu);
  EXPECT_EQ(k.form->hotKeys.HotKeySlots[hkF11], 0x3224u);
  EXPECT_EQ(k.form->hotKeys.HotKeySlots[hkF8], 0x322Cu);
  EXPECT_EQ(k.form->hotKeys.HotKeySlots[hkF5], 0x3230u);
  EXPECT_EQ(k.form->hotKeys.HotKeySlots[hkF6], 0x3234u);
  for (int key : {hkF1, hkF2, hkF3, hkF7})
    EXPECT_EQ(k.form->hotKeys.HotKeySlots[static_cast<size_t>(key)], 0u);
  EXPECT_EQ(k.form->lblConnectionInfo.text(), "status");
  EXPECT_TRUE(k.form->tmrKeystroke.enabled());
}

TEST(HotKeySlots, NoSlotAtAllStopsThePollAndSaysSo) {
  Keys k(4);
  for (uint32_t i = 0; i < 4; ++i) k.h.poke<uint32_t>(0x3210 + 4 * i, 0x00010170);
  k.form->lblConnectionInfo.setText("FS2004 connection status : Okay");
  k.form->tmrKeystroke.setEnabled(true);
  k.form->hotKeys.AllocateHotKeys();
  EXPECT_FALSE(k.form->tmrKeystroke.enabled());
  EXPECT_EQ(k.form->lblConnectionInfo.text(),
            "FS2004 connection status : Okay (some keys not available/already allocated)");
}

TEST(HotKeySlots, AHugeSlotCountIsCappedBelowTheMessageTime) {
  Keys k;
  k.h.poke<uint32_t>(0x320C, 0xFFFFFFFFu);
  for (uint32_t i = 0; i < 58; ++i) k.h.poke<uint32_t>(0x3210 + 4 * i, 0x00010170);
  // 0x32F8 reads free, but its upper half is the message time: never a slot.
  const int batches = k.h.transport->batchCount();
  EXPECT_EQ(k.form->hotKeys.AllocateHotKeySlot(65912), 0u);
  EXPECT_EQ(k.h.transport->batchCount() - batches, 1 + 58);  // the count, then 58 slots
  EXPECT_EQ(k.h.peek<uint32_t>(0x32F8), 0u);
  EXPECT_EQ(k.h.peek<uint32_t>(0x32FE), 0u);
}

TEST(HotKeySlots, AFailedSlotReadMovesOnToTheNextSlot) {
  Keys k;
  k.h.transport->onBatch = [&k](uint8_t* block, size_t) {
    uint32_t first = 0;
    std::memcpy(&first, block + 4, 4);
    k.h.transport->overrideAnswer(first == 0x3210 ? std::optional<uint32_t>(0) : std::nullopt);
  };
  EXPECT_EQ(k.form->hotKeys.AllocateHotKeySlot(65912), 0x3214u);
  EXPECT_EQ(k.slot(1), 65912u);

  k.h.transport->onBatch = [&k](uint8_t* block, size_t) {
    uint32_t first = 0;
    std::memcpy(&first, block + 4, 4);
    k.h.transport->overrideAnswer(first == 0x320C ? std::optional<uint32_t>(0) : std::nullopt);
  };
  EXPECT_EQ(k.form->hotKeys.AllocateHotKeySlot(65913), 0u);
}

TEST(HotKeySlots, RepeatedResetsDoNotUseUpTheSlotTable) {
  Keys k;
  for (int reset = 0; reset < 20; ++reset) {
    // What a reset does: StopProgram releases, the settings loader re-selects the option
    // (firing its handler) and the start-up registers once more.
    k.form->hotKeys.ReleaseHotKeys();
    k.form->hotKeys.rdgrpCtrlKeysClick();
    k.form->hotKeys.AllocateHotKeys();
  }
  EXPECT_EQ(k.usedSlots(), 10);
  for (int i = 0; i < 5; ++i) k.form->hotKeys.AllocateHotKeys();
  EXPECT_EQ(k.usedSlots(), 10);
}

TEST(HotKeySlots, AReleasedSlotIsNeverWrittenAgain) {
  Keys k;
  k.form->rdgrpCtrlKeys.setItemIndex(0);
  k.form->hotKeys.ReleaseHotKeys();
  EXPECT_EQ(k.usedSlots(), 0);
  EXPECT_EQ(k.form->hotKeys.HotKeySlots[hkF12], 0x3210u);  // the offsets stay
  EXPECT_FALSE(k.form->tmrKeystroke.enabled());

  k.h.poke<uint32_t>(0x3210, 0x00010141);  // another client takes the slot
  k.form->hotKeys.ReleaseHotKeys();
  k.form->hotKeys.PollHotKey(hkF12);
  EXPECT_EQ(k.slot(0), 0x00010141u);
}

}  // namespace
