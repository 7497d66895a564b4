#include "input/hot_key_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

TEST(HotKeyTable, RegistrationValuesForBothCombinations) {
  const uint32_t shift[] = {65904, 65905, 65906, 65908, 65909, 65910, 65911, 65912, 65914, 65915};
  for (int k = 0; k < kHotKeyCount; ++k) {
    const THotKey& key = HotKeyTable[static_cast<size_t>(k)];
    SCOPED_TRACE(key.Key);
    EXPECT_EQ(HotKeyRegistrationValue(key.Code, 0), shift[k]);
    EXPECT_EQ(HotKeyRegistrationValue(key.Code, kHotKeyCtrlModifier), shift[k] + 512);
    // The label text begins with the key name and three blanks.
    EXPECT_EQ(std::string(key.LabelText).rfind(std::string(key.Key) + "   ", 0), 0u);
  }
  EXPECT_EQ(HotKeyRegistrationValue(HotKeyTable[hkF9].Code, kHotKeyCtrlModifier), 66424u);
}

TEST(HotKeyTable, OrdersNameEveryKeyOnce) {
  for (const auto& order : {HotKeyAllocationOrder, HotKeyPollOrder, HotKeyLabelOrder}) {
    const std::set<int> keys(order.begin(), order.end());
    EXPECT_EQ(keys.size(), static_cast<size_t>(kHotKeyCount));
  }
  EXPECT_STREQ(HotKeyTable[static_cast<size_t>(HotKeyAllocationOrder[0])].Key, "F12");
  EXPECT_STREQ(HotKeyTable[static_cast<size_t>(HotKeyPollOrder[0])].Key, "F9");
  EXPECT_STREQ(HotKeyTable[static_cast<size_t>(HotKeyLabelOrder[0])].Key, "F5");
}

TEST(HotKeyTable, OnlyByteThreeEqualToOneIsAPress) {
  EXPECT_TRUE(IsHotKeyPressed(0x01010178));
  EXPECT_FALSE(IsHotKeyPressed(0x02010178));
  EXPECT_FALSE(IsHotKeyPressed(0x03010178));
  EXPECT_FALSE(IsHotKeyPressed(0x00010178));
}

TEST(HotKeyTable, SlotScanStopsBelowTheMessageTime) {
  EXPECT_EQ(kHotKeyMaxSlots, 58u);
  EXPECT_LE(0x3210 + 4 * kHotKeyMaxSlots, 0x32FAu);
}
