#include <gtest/gtest.h>

#include <cstdint>

#include "activity/activity.h"
#include "harness/harness.h"
#include "input/hot_keys.h"
#include "sim/hot_keys.h"
#include "simlink/sim_link.h"

namespace {

/// The hot keys with a view of their own (no main window) and one key, SHIFT+F4, that the
/// window does not have: what a new row of the action table gives them.
struct Alone {
  harness::Harness h;
  sim::HotKeyTable table{h.server->space(), 56};
  platform::RadioGroup rdgrpCtrlKeys{"rdgrpCtrlKeys"};
  platform::Timer tmrFindNearest{h.loop, "tmrFindNearest", 15000, false};
  platform::Timer tmrKeystroke{h.loop, "tmrKeystroke", 250, false};
  platform::Timer check{h.loop, "check", 50, false}, decel{h.loop, "decel", 10, false},
      accel{h.loop, "accel", 5, false}, launch{h.loop, "launch", 7, false};
  TActivity activity{{check, decel, accel, launch}};
  platform::Label lblConnectionInfo{"lblConnectionInfo"};
  platform::SpeedButton btnManualDisable{"btnManualDisable"};
  platform::SpeedButton btnManualOverride{"btnManualOverride"};
  platform::Action actExtra{"actExtra"};
  platform::Label lblExtraKey{"lblExtraKey"};
  int ran = 0;
  THotKeys keys{{h.link, rdgrpCtrlKeys, tmrKeystroke, tmrFindNearest, activity, h.clock, lblConnectionInfo,
                 btnManualDisable, btnManualOverride, ExtraKey()}};

  Alone() {
    rdgrpCtrlKeys.addItem("SHIFT+<key>");
    rdgrpCtrlKeys.addItem("SHIFT+CTRL+<key>");
    actExtra.onExecute = [this] { ++ran; };
    uint32_t result = 0;
    h.link.SimLinkOpen(0, result);
  }
  ~Alone() { h.link.SimLinkClose(); }
  THotKeyList ExtraKey() {
    THotKey key;
    key.Key = "F4";
    key.Code = 0x73;
    key.Action = &actExtra;
    key.Label = &lblExtraKey;
    key.LabelText = "F4   Extra";
    return {{key}, {0}, {0}, {0}};
  }
};

TEST(HotKeysAlone, ANewKeyIsRegisteredLabelledPolledAndAcknowledged) {
  Alone a;
  a.rdgrpCtrlKeys.setItemIndex(1);
  a.keys.rdgrpCtrlKeysClick();
  EXPECT_EQ(a.lblExtraKey.text(), "SHIFT+CTRL+F4   Extra");
  ASSERT_EQ(a.keys.HotKeySlots[0], 0x3210u);
  EXPECT_EQ(a.h.peek<uint32_t>(0x3210), 0x00010100u + 0x73 + 512);
  EXPECT_TRUE(a.tmrKeystroke.enabled());

  ASSERT_GT(a.table.press(*sim::parseHotKey("SHIFT+CTRL+F4")), 0);
  a.keys.tmrKeystrokeTimer();
  EXPECT_EQ(a.ran, 1);
  EXPECT_EQ(a.h.peek<uint32_t>(0x3210), 0x00010100u + 0x73 + 512);  // acknowledged
  EXPECT_FALSE(a.btnManualDisable.down());  // only the override key toggles it
  EXPECT_TRUE(a.tmrFindNearest.enabled());

  // A stopped program keeps its search off, though its keys still answer.
  a.tmrFindNearest.setEnabled(false);
  a.activity.programStopped = true;
  ASSERT_GT(a.table.press(*sim::parseHotKey("SHIFT+CTRL+F4")), 0);
  a.keys.tmrKeystrokeTimer();
  EXPECT_EQ(a.ran, 2);
  EXPECT_FALSE(a.tmrFindNearest.enabled());

  a.keys.ReleaseHotKeys();
  EXPECT_EQ(a.h.peek<uint32_t>(0x3210), 0u);
  EXPECT_FALSE(a.tmrKeystroke.enabled());
}

}  // namespace
