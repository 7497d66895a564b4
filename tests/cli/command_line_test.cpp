#include <gtest/gtest.h>

#include <string>

#include "cli/command_line.h"
#include "harness/harness.h"

namespace {

struct Cli {
  harness::Harness h;
  TFormMain& form = h.start();
  bool run(const std::string& line) {
    error.clear();
    return RunCommandLine(form, line, error);
  }
  std::string error;
};

}  // namespace

TEST(CommandLine, EveryActionRunsByName) {
  Cli c;
  for (platform::Action* a : c.form.actions()) {
    if (a == &c.form.actResetProgram || a == &c.form.actManualOverride) continue;
    EXPECT_TRUE(c.run(a->name())) << a->name() << ": " << c.error;
  }
  // The status message and a refused fuel load (the aircraft stands on the ground) went out.
  EXPECT_FALSE(c.h.messages.empty());
  EXPECT_TRUE(c.run("actResetProgram"));
  EXPECT_TRUE(c.h.sawMessage("Corvane disabled while resetting"));
}

TEST(CommandLine, ControlsAreTouchedAsAUserWould) {
  Cli c;
  EXPECT_TRUE(c.run("btnManualDisable"));
  EXPECT_TRUE(c.form.btnManualDisable.down());
  EXPECT_TRUE(c.form.frmToolbar.btnManualOverride.down());
  EXPECT_TRUE(c.run("btnManualOverride"));  // the toolbar's "MO"
  EXPECT_FALSE(c.form.btnManualDisable.down());

  EXPECT_TRUE(c.run("rdgrpCtrlKeys 1"));
  EXPECT_EQ(c.form.hotKeys.KeyComboModifier, 512u);
  EXPECT_EQ(c.form.lblStatusKey.text().rfind("SHIFT+CTRL+", 0), 0u);

  EXPECT_TRUE(c.run("edtDecelFactor -800"));
  EXPECT_EQ(c.form.options.CableCatchAccelFactor, -800);
  EXPECT_TRUE(c.run("updwnDecelFactor up"));
  EXPECT_EQ(c.form.options.CableCatchAccelFactor, -850);
  EXPECT_TRUE(c.run("chkbxCatSmoke 1"));
  EXPECT_TRUE(c.form.chkbxCatSmoke.checked());
  EXPECT_TRUE(c.run("btnToolbar"));
  EXPECT_TRUE(c.form.frmToolbar.frmToolbar.visible());
  EXPECT_FALSE(c.form.FormMain.visible());
  EXPECT_TRUE(c.run("cmbDatFile Corvane.dat"));
  EXPECT_TRUE(c.form.cmbDatFile.enabled());
}

TEST(CommandLine, BadLinesSayWhatIsWrongAndChangeNothing) {
  Cli c;
  struct Case {
    const char* line;
    const char* error;
  } cases[] = {
      {"actNoSuchThing", "unknown command 'actNoSuchThing' (type help)"},
      {"rdgrpCtrlKeys 2", "rdgrpCtrlKeys needs an item number from 0 to 1"},
      {"rdgrpCtrlKeys x", "rdgrpCtrlKeys needs an item number from 0 to 1"},
      {"chkbxCatSmoke yes", "chkbxCatSmoke needs 0 or 1"},
      {"updwnDecelFactor sideways", "updwnDecelFactor needs up or down"},
      {"cmbDatFile Missing.dat", "no data file named 'Missing.dat' in the list"},
  };
  for (const Case& k : cases) {
    EXPECT_FALSE(c.run(k.line)) << k.line;
    EXPECT_EQ(c.error, k.error);
  }
  EXPECT_EQ(c.form.rdgrpCtrlKeys.itemIndex(), 0);
  EXPECT_TRUE(c.run("   "));  // an empty line is no command
}

TEST(CommandLine, NonNumericOptionTextKeepsTheOptionAndReports) {
  Cli c;
  EXPECT_TRUE(c.run("edtCatapultCutoff abc"));
  EXPECT_EQ(c.form.options.CatapultCutoffKnots, 120);
  ASSERT_FALSE(c.h.errorBoxes.empty());
}

TEST(CommandLine, OverrideButtonsRefuseWhileNotConnected) {
  harness::Options o;
  o.serverPresent = false;
  harness::Harness h(o);
  TFormMain& form = h.start();
  std::string error;
  EXPECT_FALSE(RunCommandLine(form, "btnManualDisable", error));
  EXPECT_EQ(error, "btnManualDisable is disabled");
  EXPECT_FALSE(RunCommandLine(form, "btnManualOverride", error));
  EXPECT_EQ(error, "btnManualOverride is disabled");
  EXPECT_FALSE(form.btnManualDisable.down());
  EXPECT_FALSE(form.frmToolbar.btnManualOverride.down());
}
