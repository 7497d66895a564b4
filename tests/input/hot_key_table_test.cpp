#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/hot_keys.h"
#include "input/hot_keys_fixture.h"

namespace {

/// Key names of list's keys in order.
std::vector<std::string> namesIn(const THotKeyList& list, const std::vector<int>& order) {
  std::vector<std::string> names;
  for (int k : order) names.push_back(list.keys[static_cast<size_t>(k)].Key);
  return names;
}

TEST(HotKeyTable, RegistrationValuesForBothCombinations) {
  input_test::Keys k;
  const THotKeyList& list = k.form->hotKeys.List();
  ASSERT_EQ(list.keys.size(), 10u);
  const std::pair<const char*, uint32_t> shift[] = {
      {"F1", 65904}, {"F2", 65905}, {"F3", 65906}, {"F5", 65908},  {"F6", 65909},
      {"F7", 65910}, {"F8", 65911}, {"F9", 65912}, {"F11", 65914}, {"F12", 65915}};
  for (const auto& [name, value] : shift) {
    SCOPED_TRACE(name);
    const int i = k.form->hotKeys.KeyIndex(name);
    ASSERT_GE(i, 0);
    const THotKey& key = list.keys[static_cast<size_t>(i)];
    EXPECT_EQ(HotKeyRegistrationValue(key.Code, 0), value);
    EXPECT_EQ(HotKeyRegistrationValue(key.Code, kHotKeyCtrlModifier), value + 512);
    // The label text begins with the key name and three blanks.
    EXPECT_EQ(key.LabelText.rfind(key.Key + "   ", 0), 0u);
  }
  EXPECT_EQ(k.form->hotKeys.KeyIndex("F4"), -1);
}

TEST(HotKeyTable, OrdersNameEveryKeyOnce) {
  input_test::Keys k;
  const THotKeyList& list = k.form->hotKeys.List();
  using Names = std::vector<std::string>;
  EXPECT_EQ(namesIn(list, list.allocationOrder),
            (Names{"F12", "F9", "F11", "F8", "F5", "F6", "F1", "F2", "F3", "F7"}));
  EXPECT_EQ(namesIn(list, list.pollOrder),
            (Names{"F9", "F12", "F11", "F8", "F5", "F6", "F1", "F2", "F3", "F7"}));
  EXPECT_EQ(namesIn(list, list.labelOrder),
            (Names{"F5", "F6", "F7", "F8", "F9", "F12", "F11", "F1", "F2", "F3"}));
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

}  // namespace
