// "Add carrier zone here..." in the main window's system menu: the dialog and the message box
// the pilot sees, driven through the Windows API.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "gui/win32_front.h"
#include "harness/harness.h"
#include "platform/message_pump_win32.h"

namespace {

/// What the pilot does in the dialog and sees in the box, run from a timer while the dialog's
/// and the box's own message loops run.
struct Pilot {
  static inline std::string ident;     // typed over the default ("": Cancel)
  static inline std::string shown[3];  // the dialog's fields as it came up
  static inline std::string boxText;   // the message box's text
  static inline int steps = 0;
  static void CALLBACK step(HWND, UINT, UINT_PTR, DWORD) {
    ++steps;
    if (HWND dialog = FindWindowA("#32770", "Add carrier zone here")) {
      char buf[256];
      for (int i = 0; i < 3; ++i) {
        GetDlgItemTextA(dialog, 101 + i, buf, sizeof buf);
        shown[i] = buf;
      }
      if (ident.empty()) {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
      } else {
        SetDlgItemTextA(dialog, 101, ident.c_str());
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
      }
    } else if (HWND box = FindWindowA("#32770", "Corvane")) {
      char buf[512];
      GetDlgItemTextA(box, 0xFFFF, buf, sizeof buf);
      boxText = buf;
      PostMessageA(box, WM_COMMAND, IDOK, 0);
    } else if (steps > 500) {
      EndMenu();
    }
  }
};

struct ZoneDialog : ::testing::Test {
  ZoneDialog() {
    h.beforeCreate = [this](TFormMain& f) { front = std::make_unique<gui::Win32Front>(f); };
    h.start();
    front->refreshAll();
    timer = SetTimer(nullptr, 0, 20, Pilot::step);
  }
  ~ZoneDialog() override { KillTimer(nullptr, timer); }
  /// Picks the system menu's last item, as the pilot does.
  void pickMenuItem() {
    const HMENU menu = GetSystemMenu(front->mainWindow(), FALSE);
    const int last = GetMenuItemCount(menu) - 1;
    char text[64] = {};
    GetMenuStringA(menu, static_cast<UINT>(last), text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "Add carrier zone here...");
    Pilot::steps = 0;
    Pilot::boxText.clear();
    SendMessageA(front->mainWindow(), WM_SYSCOMMAND, GetMenuItemID(menu, last), 0);
    platform::pumpMessages();
  }
  harness::Harness h;
  std::unique_ptr<gui::Win32Front> front;
  UINT_PTR timer = 0;
};

}  // namespace

TEST_F(ZoneDialog, AsksForTheZoneAndShowsWhatTheProgramDid) {
  const std::string before = h.readFile("Corvane.dat");
  // Cancel: nothing asked of the program, nothing written.
  Pilot::ident = "";
  pickMenuItem();
  EXPECT_EQ(Pilot::shown[0], "");
  EXPECT_EQ(Pilot::shown[1], "106");
  EXPECT_EQ(Pilot::shown[2], "14");
  EXPECT_EQ(Pilot::boxText, "");
  EXPECT_EQ(h.readFile("Corvane.dat"), before);

  // The aircraft airborne: the program's refusal in the box.
  h.poke<int16_t>(0x0366, 0);
  Pilot::ident = "CVN-80 Own Deck";
  pickMenuItem();
  EXPECT_EQ(Pilot::boxText, "No zone added: the aircraft is airborne; stop it on the deck first.");
  EXPECT_EQ(h.readFile("Corvane.dat"), before);

  // On the deck and still: added.
  h.poke<int16_t>(0x0366, 1);
  h.poke<uint32_t>(0x02B4, 0);
  pickMenuItem();
  EXPECT_EQ(Pilot::boxText.rfind("Added [Zone05] \"CVN-80 Own Deck\" to Corvane.dat: 106.0 x "
                                 "14.0 m",
                                 0),
            0u)
      << Pilot::boxText;
  EXPECT_NE(h.readFile("Corvane.dat").find("CarrierIdent=CVN-80 Own Deck"), std::string::npos);
}

namespace {

/// The system menu's item with this text, by position (-1: none).
int menuItem(HMENU menu, const char* wanted) {
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[64] = {};
    GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    if (std::string(text) == wanted) return i;
  }
  return -1;
}

}  // namespace

// "Open greenie board" and "Open trap log" sit before "Add carrier zone here..."; without a log
// neither opens anything: the box says how to start one.
TEST_F(ZoneDialog, OpenBoardAndLogWithoutALogSayWhy) {
  const HMENU menu = GetSystemMenu(front->mainWindow(), FALSE);
  const int board = menuItem(menu, "Open greenie board");
  const int log = menuItem(menu, "Open trap log");
  ASSERT_GE(board, 0);
  EXPECT_EQ(log, board + 1);
  EXPECT_EQ(menuItem(menu, "Add carrier zone here..."), log + 1);
  for (const int item : {board, log}) {
    Pilot::steps = 0;
    Pilot::boxText.clear();
    SendMessageA(front->mainWindow(), WM_SYSCOMMAND, GetMenuItemID(menu, item), 0);
    platform::pumpMessages();
    EXPECT_EQ(Pilot::boxText.rfind("There is no trap log yet", 0), 0u) << Pilot::boxText;
  }
  EXPECT_EQ(h.readFile("CorvaneBoard.html"), "");
}
