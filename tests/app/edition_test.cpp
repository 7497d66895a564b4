#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "config/zone_file.h"
#include "harness/harness.h"

// What the user sees differs between the FS2004 and the FS2002 editions only in these texts and
// controls; each is checked against the literal text of its edition.

namespace {

const char* pick(const char* fs2004, const char* fs2002) {
  return IsFS2004Edition ? fs2004 : fs2002;
}

/// Offsets read in one request block.
std::vector<uint32_t> readsIn(const uint8_t* block, size_t size) {
  std::vector<uint32_t> out;
  size_t pos = 0;
  while (pos + 12 <= size) {
    uint32_t id, offset, length;
    std::memcpy(&id, block + pos, 4);
    std::memcpy(&offset, block + pos + 4, 4);
    std::memcpy(&length, block + pos + 8, 4);
    if (id == 1) {
      out.push_back(offset);
      pos += 16 + length;
    } else if (id == 2) {
      pos += 12 + length;
    } else {
      break;
    }
  }
  return out;
}

}  // namespace

TEST(Edition, CaptionsAndHints) {
  harness::Harness h;
  TFormMain& form = h.start();
  EXPECT_EQ(form.FormMain.caption(),
            pick("Corvane v2.53Ostrel for FS2004", "Corvane v2.5Ostrel for FS2002"));
  EXPECT_EQ(form.btnToolbar.caption(), pick("Vertical Toolbar", "&Vertical Toolbar"));
  EXPECT_EQ(form.lblCatapultCutoff.hint(), pick("Catapult cutoff (knots):", ""));
  EXPECT_EQ(form.rdgrpCtrlKeys.hint(), pick("  Special Key Combo for all Keystrokes:  ", ""));
  EXPECT_EQ(form.chkbxDetectTailhook.visible(), IsFS2004Edition);

  // The FS2002 edition sets its caption again at every reset.
  form.FormMain.setCaption("something else");
  form.actResetProgram.execute();
  EXPECT_EQ(form.FormMain.caption(), pick("something else", "Corvane v2.5Ostrel for FS2002"));
}

TEST(Edition, ManualOverrideDuringALaunch) {
  harness::Harness h;
  TFormMain& form = h.start();
  form.tmrAccel.setEnabled(true);
  form.btnManualDisable.click();
  EXPECT_EQ(h.messages.back().text, pick("Corvane has been manually disabled - Catapult disarmed",
                                         "Corvane has been manually disabled - catapult disarmed"));
}

TEST(Edition, BattleDamageKeyItemMessage) {
  harness::Harness h;
  TFormMain& form = h.start();
  for (uint32_t flag : {0x0B64u, 0x0B6Du, 0x0B70u, 0x0B71u, 0x0B72u, 0x0B73u})
    h.poke<uint8_t>(flag, 1);
  h.poke<uint8_t>(0x0B6F, 0);  // only the transponder still works
  form.actBattleDamage1.execute();
  EXPECT_TRUE(h.sawMessage(pick("Battle Damage to TRANSPONDER -- NO ID ON RADAR",
                                "Battle damage to TRANSPONDER -- NO ID ON RADAR")))
      << testing::PrintToString(h.messageTexts());
}

TEST(Edition, TailhookIsReadOnlyWhereTheOptionExists) {
  harness::Harness h;
  bool hookRead = false;
  h.transport->onBatch = [&](uint8_t* block, size_t size) {
    for (uint32_t offset : readsIn(block, size))
      if (offset == 0x3BA0) hookRead = true;
  };
  TFormMain& form = h.start();
  form.chkbxDetectTailhook.setChecked(true);
  form.tmrCheckForCatch.setEnabled(true);
  h.runFor(3000);
  EXPECT_EQ(hookRead, IsFS2004Edition);
}

TEST(Edition, ZoneFailureLogLine) {
  const std::string text = DatLoadFailureLogText("/c/Corvane.dat", {}, {7}, false);
  EXPECT_NE(text.find(pick("\r\n  -- Failed to load Zone #07.\r\n",
                           "\r\n  -- Failed to load Zone07.\r\n")),
            std::string::npos)
      << text;
}
