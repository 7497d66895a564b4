#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/hot_keys_fixture.h"

namespace {

/// Keys registered with SHIFT; every action but the override only records that it ran.
struct Polling : input_test::Keys {
  std::vector<std::string> ran;

  explicit Polling(int item = 0) {
    for (platform::Action* a : form->actions())
      if (a != &form->actManualOverride) a->onExecute = [this, a] { ran.push_back(a->name()); };
    form->rdgrpCtrlKeys.setItemIndex(item);
    h.clearRecords();
  }
  void press(const char* key) { ASSERT_GT(table.press(*sim::parseHotKey(key)), 0) << key; }
  uint32_t slotOf(int key) const {
    return h.peek<uint32_t>(form->hotKeys.HotKeySlots[static_cast<size_t>(key)]);
  }
};

TEST(HotKeyPoll, APressRunsTheActionOnceAndIsAcknowledged) {
  Polling p;
  p.press("SHIFT+F8");
  p.form->hotKeys.tmrKeystrokeTimer();
  EXPECT_EQ(p.ran, std::vector<std::string>{"actShowStatus"});
  EXPECT_EQ(p.slotOf(hkF8), 65911u);  // byte 3 cleared again
  EXPECT_EQ(p.form->hotKeys.LastHotKeyCount, 1);
  p.form->hotKeys.tmrKeystrokeTimer();
  EXPECT_EQ(p.ran.size(), 1u);
}

TEST(HotKeyPoll, KeysPressedBetweenTwoTicksAreServedInPollOrder) {
  Polling p;
  for (const char* key : {"SHIFT+F7", "SHIFT+F1", "SHIFT+F9", "SHIFT+F5", "SHIFT+F7"}) p.press(key);
  p.form->hotKeys.tmrKeystrokeTimer();
  EXPECT_EQ(p.ran, (std::vector<std::string>{"actCatapultArm", "actFuelLoad", "actBattleDamage1",
                                             "actFuelRateToggle"}));
}

TEST(HotKeyPoll, CounterDecidesWhetherSlotsAreRead) {
  struct Case {
    const char* name;
    uint8_t last;
    uint8_t counter;
    uint32_t flagByte;
    bool runs;
  };
  const Case cases[] = {
      {"counter unchanged", 7, 7, 1, false},
      {"counter moved", 7, 8, 1, true},
      {"255 to 0 is a change", 255, 0, 1, true},
      {"byte 3 = 2 is no press", 7, 8, 2, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Polling p;
    p.form->hotKeys.LastHotKeyCount = c.last;
    p.h.poke<uint32_t>(0x32FE, 0x12345600u | c.counter);
    p.h.poke<uint32_t>(p.form->hotKeys.HotKeySlots[hkF9], 65912u | (c.flagByte << 24));
    const int batches = p.h.transport->batchCount();
    p.form->hotKeys.tmrKeystrokeTimer();
    EXPECT_EQ(p.ran.size(), c.runs ? 1u : 0u);
    EXPECT_EQ(p.form->hotKeys.LastHotKeyCount, c.counter);
    if (c.last == c.counter) {
      EXPECT_EQ(p.h.transport->batchCount() - batches, 1);  // the counter only
    }
    if (!c.runs) {
      EXPECT_TRUE(p.slotWrites().empty());
    }
  }
}

TEST(HotKeyPoll, ShiftCtrlKeysAnswerOnlyWithCtrl) {
  Polling p(1);
  EXPECT_EQ(p.table.press(*sim::parseHotKey("SHIFT+F9")), 0);
  p.press("SHIFT+CTRL+F9");
  p.form->hotKeys.tmrKeystrokeTimer();
  EXPECT_EQ(p.ran, std::vector<std::string>{"actCatapultArm"});
  EXPECT_EQ(p.slotOf(hkF9), 66424u);
}

TEST(HotKeyPoll, F12TogglesTheOverrideBothWays) {
  Polling p;
  p.form->btnManualDisable.setEnabled(true);
  p.press("SHIFT+F12");
  p.form->hotKeys.tmrKeystrokeTimer();
  EXPECT_TRUE(p.form->btnManualDisable.down());
  EXPECT_TRUE(p.form->frmToolbar.btnManualOverride.down());
  EXPECT_EQ(p.h.messageTexts(), std::vector<std::string>{"Corvane has been manually disabled"});

  p.press("SHIFT+F12");
  p.form->hotKeys.tmrKeystrokeTimer();
  EXPECT_FALSE(p.form->btnManualDisable.down());
  EXPECT_FALSE(p.form->frmToolbar.btnManualOverride.down());
  EXPECT_EQ(p.h.messageTexts().back(), "Corvane reenabled");
  EXPECT_EQ(p.slotOf(hkF12), 65915u);
}

TEST(HotKeyPoll, EveryTickBringsTheNearestSearchBack) {
  Polling p;
  p.form->tmrFindNearest.setEnabled(false);
  p.h.runFor(250);  // the poll runs on its timer once keys are registered
  EXPECT_TRUE(p.form->tmrFindNearest.enabled());

  p.form->tmrFindNearest.setEnabled(false);
  p.h.link.SimLinkClose();
  p.form->hotKeys.tmrKeystrokeTimer();
  EXPECT_TRUE(p.form->tmrFindNearest.enabled());
}

TEST(HotKeyPoll, KeysWithoutASlotDoNothing) {
  Polling p;
  p.form->hotKeys.HotKeySlots[hkF8] = 0;
  p.press("SHIFT+F8");
  p.form->hotKeys.tmrKeystrokeTimer();
  EXPECT_TRUE(p.ran.empty());
  p.form->hotKeys.PollHotKey(-1);
  p.form->hotKeys.PollHotKey(10);
}

TEST(HotKeyPoll, TheCatapultKeyArmsAndDisarms) {
  Polling p;
  p.form->actCatapultArm.onExecute = [&p] { p.form->catapult.actCatapultArmExecute(); };
  p.readyOnDeck();
  p.placeAircraft(36.95, -76.3);
  p.setCatapultPoint(36.95, -76.3);
  p.press("SHIFT+F9");
  p.h.runFor(250);
  EXPECT_TRUE(p.form->tmrLaunchCheck.enabled());
  EXPECT_TRUE(p.form->tmrKeystroke.enabled());
  p.press("SHIFT+F9");
  p.h.runFor(250);
  EXPECT_FALSE(p.form->tmrLaunchCheck.enabled());
  EXPECT_EQ(p.h.messageTexts(), (std::vector<std::string>{"CATAPULT ARMED", "Catapult disarmed"}));
}

}  // namespace
