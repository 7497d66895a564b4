// The windows pilots see, created for real and read back through the Windows API.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/expected_texts.h"
#include "gui/win32_front.h"
#include "harness/harness.h"

namespace {

std::string textOf(HWND w) {
  char buf[512] = {};
  GetWindowTextA(w, buf, sizeof buf);
  return buf;
}

bool checked(HWND w) { return SendMessageA(w, BM_GETCHECK, 0, 0) == BST_CHECKED; }

/// The program on the in-process simulator, with its windows bound before its creation.
struct Gui {
  Gui() {
    h.beforeCreate = [this](TFormMain& f) { front = std::make_unique<gui::Win32Front>(f); };
    h.start();
    front->refreshAll();
  }
  TFormMain& form() { return h.form(); }
  HWND widget(const char* window, const char* name) {
    HWND w = front->handleOf(window, name);
    EXPECT_NE(w, nullptr) << window << "." << name;
    return w;
  }
  /// What a user's click on a button does: the button tells its parent.
  void click(HWND button) {
    SendMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
  }
  harness::Harness h;
  std::unique_ptr<gui::Win32Front> front;
};

TEST(Gui, EveryControlHasItsWidgetTextStateAndRange) {
  Gui g;
  for (const ExpectedText& e : ExpectedStartTexts()) {
    HWND w = g.front->handleOf(e.window, e.name);
    ASSERT_NE(w, nullptr) << e.window << "." << e.name;
    EXPECT_EQ(textOf(w), e.text) << e.window << "." << e.name;
  }
  RECT client{};
  GetClientRect(g.front->mainWindow(), &client);
  EXPECT_EQ(client.right, 495);
  EXPECT_EQ(client.bottom, 350);
  GetClientRect(g.front->toolbarWindow(), &client);
  EXPECT_EQ(client.right, 30);
  EXPECT_TRUE(IsWindowVisible(g.front->mainWindow()));
  EXPECT_FALSE(IsWindowVisible(g.front->toolbarWindow()));

  // Pages, radio items, the data file, check boxes and the option ranges, as the program has them.
  HWND tabs = g.widget("FormMain", "pgMain");
  ASSERT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 4);
  for (int i = 0; i < 4; ++i) {
    char text[64] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(tabs, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(text, g.form().pgMain.pages[static_cast<size_t>(i)]);
  }
  EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(textOf(g.front->radioItem("rdgrpFuelTransferRate", 0)), "500 GPM (drogue)");
  EXPECT_EQ(textOf(g.front->radioItem("rdgrpFuelTransferRate", 1)), "1200 GPM (boom)");
  EXPECT_TRUE(checked(g.front->radioItem("rdgrpFuelTransferRate", 0)));
  EXPECT_EQ(textOf(g.front->radioItem("rdgrpCtrlKeys", 1)), "SHIFT+CTRL+<key>");
  HWND combo = g.widget("FormMain", "cmbDatFile");
  char dat[64] = {};
  SendMessageA(combo, CB_GETLBTEXT, SendMessageA(combo, CB_GETCURSEL, 0, 0),
               reinterpret_cast<LPARAM>(dat));
  EXPECT_STREQ(dat, "Corvane.dat");
  EXPECT_EQ(checked(g.widget("FormMain", "chkbxCatSmoke")), g.form().chkbxCatSmoke.checked());
  for (platform::UpDown* u : {&g.form().updwnDecelFactor, &g.form().updwnTimingResolution}) {
    int low = 0, high = 0;
    SendMessageA(g.widget("FormMain", u->name().c_str()), UDM_GETRANGE32,
                 reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(low, u->minimum()) << u->name();
    EXPECT_EQ(high, u->maximum()) << u->name();
  }
  EXPECT_EQ(g.front->tooltipOf(g.widget("frmToolbar", "btnBattleDamage2")),
            "Battle Damage Level 2");
  EXPECT_EQ(g.front->tooltipOf(g.widget("frmToolbar", "btnToolbarToggle")),
            "Return to Corvane Main Window");
}

TEST(Gui, ToolbarButtonsRunTheirActionsAndTheWindowsSwitch) {
  Gui g;
  g.click(g.widget("FormMain", "btnToolbar"));
  EXPECT_TRUE(IsWindowVisible(g.front->toolbarWindow()));
  EXPECT_FALSE(IsWindowVisible(g.front->mainWindow()));
  // Each of these shows its message in the simulator (a status, a refusal or a damage report).
  for (const char* name :
       {"btnShowStatus", "btnCatapultArm", "btnFuelLoad", "btnFuelOffload", "btnToggleFuelRate",
        "btnBattleDamage1", "btnBattleDamage2", "btnBattleDamage3"}) {
    const size_t before = g.h.messages.size();
    g.click(g.widget("frmToolbar", name));
    EXPECT_GT(g.h.messages.size(), before) << name;
  }
  EXPECT_TRUE(checked(g.front->radioItem("rdgrpFuelTransferRate", 1))) << "FR toggled the rate";
  g.click(g.widget("frmToolbar", "btnToolbarToggle"));
  EXPECT_TRUE(IsWindowVisible(g.front->mainWindow()));
  EXPECT_FALSE(IsWindowVisible(g.front->toolbarWindow()));
}

TEST(Gui, OverrideButtonsAgreeWhicheverIsPressed) {
  Gui g;
  HWND mo = g.widget("frmToolbar", "btnManualOverride");
  HWND main = g.widget("FormMain", "btnManualDisable");
  g.click(mo);
  EXPECT_TRUE(checked(mo));
  EXPECT_TRUE(checked(main));
  EXPECT_EQ(textOf(main), "Press to REENABLE program");
  g.click(main);
  EXPECT_FALSE(checked(mo));
  EXPECT_FALSE(checked(main));
  EXPECT_EQ(textOf(main), "Manual override -- disable program");
}

TEST(Gui, ProgramChangesReachTheWidgetsAndInputReachesTheProgram) {
  Gui g;
  g.form().lblFuelTransferStatus.setText("Fuel LOADING");
  EXPECT_EQ(textOf(g.widget("FormMain", "lblFuelTransferStatus")), "Fuel LOADING");

  // An arrow of the deceleration's up-down control goes to the program, which moves the field.
  HWND upDown = g.widget("FormMain", "updwnDecelFactor");
  NMUPDOWN change{};
  change.hdr.hwndFrom = upDown;
  change.hdr.code = UDN_DELTAPOS;
  change.iDelta =
      g.form().updwnDecelFactor.maximum() >= g.form().updwnDecelFactor.minimum() ? 1 : -1;
  SendMessageA(GetParent(upDown), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&change));
  EXPECT_EQ(g.form().CableCatchAccelFactor, -750);
  EXPECT_EQ(textOf(g.widget("FormMain", "edtDecelFactor")), "-750");

  // A radio choice and a check box click.
  g.click(g.front->radioItem("rdgrpCtrlKeys", 1));
  EXPECT_EQ(g.form().rdgrpCtrlKeys.itemIndex(), 1);
  EXPECT_EQ(textOf(g.widget("FormMain", "lblResetKey")), "SHIFT+CTRL+F11   Reset Program");
  const bool smoke = g.form().chkbxCatSmoke.checked();
  g.click(g.widget("FormMain", "chkbxCatSmoke"));
  EXPECT_NE(g.form().chkbxCatSmoke.checked(), smoke);
  EXPECT_EQ(checked(g.widget("FormMain", "chkbxCatSmoke")), !smoke);
}

TEST(Gui, ClosingTheWindowRunsTheProgramsClose) {
  Gui g;
  bool closed = false;
  g.front->onClosed = [&closed] { closed = true; };
  // The user moved the window before closing it; the position is kept in the settings.
  SetWindowPos(g.front->mainWindow(), nullptr, 40, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  SendMessageA(g.front->mainWindow(), WM_EXITSIZEMOVE, 0, 0);
  SendMessageA(g.front->mainWindow(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(closed);
  const std::string settings = g.h.readFile("Corvane.INI");
  EXPECT_NE(settings.find("LastLeft=40"), std::string::npos) << settings;
  EXPECT_NE(settings.find("LastTop=50"), std::string::npos) << settings;
}

}  // namespace
