// The windows pilots see, created for real and read back through the Windows API.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/expected_texts.h"
#include "gui/win32_front.h"
#include "harness/harness.h"
#include "platform/message_pump_win32.h"

namespace {

std::string textOf(HWND w) {
  char buf[512] = {};
  GetWindowTextA(w, buf, sizeof buf);
  return buf;
}

bool checked(HWND w) { return SendMessageA(w, BM_GETCHECK, 0, 0) == BST_CHECKED; }

/// A key pressed and released on the focused widget, delivered as the program's pump does.
void press(WPARAM key) {
  const HWND to = GetFocus();
  PostMessageA(to, WM_KEYDOWN, key, 1);
  PostMessageA(to, WM_KEYUP, key, 0xC0000001);
  platform::pumpMessages();
}

/// Holds or releases a key (Shift, Alt) as the keyboard state the dialog keys read.
void setKey(int key, bool down) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[key] = down ? 0x80 : 0;
  SetKeyboardState(keys);
}

/// The program on the in-process simulator, with its windows bound before its creation.
struct Gui {
  /// `prepare` runs on the program folder before the program starts.
  explicit Gui(const std::function<void(harness::Harness&)>& prepare = {}) {
    if (prepare) prepare(h);
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
  /// The options page shown and text typed into one of its fields, which keeps the focus.
  HWND typeOption(const char* name, const char* text) {
    form().pgMain.setActivePage(2);
    HWND edit = widget("FormMain", name);
    SetFocus(edit);
    SetWindowTextA(edit, text);
    return edit;
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

// The width a check box needs to show its whole caption: the box, its gap and the text in the
// widget's font.
int checkBoxNeeds(HWND w) {
  const std::string text = textOf(w);
  const HDC dc = GetDC(w);
  const HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(w, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(w, dc);
  return GetSystemMetrics(SM_CXMENUCHECK) + 4 + size.cx;
}

// The trap log and the LSO calls share a row of the options page; each shows its whole caption.
TEST(Gui, TheTrapLogRowShowsBothCaptionsWhole) {
  Gui g;
  for (const char* name : {"chkbxTrapLog", "chkbxLsoCalls"}) {
    const HWND w = g.widget("FormMain", name);
    RECT client{};
    GetClientRect(w, &client);
    EXPECT_LE(checkBoxNeeds(w), client.right) << name << " cuts \"" << textOf(w) << "\"";
  }
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
  EXPECT_EQ(g.form().options.CableCatchAccelFactor, -750);
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

TEST(Gui, ATypedOptionReachesTheProgramBeforeAnyActionOrClose) {
  // Typed into Decel Factor, never leaving the field: each way the pilot goes on takes it.
  const std::vector<std::pair<const char*, std::function<void(Gui&)>>> ways = {
      {"Enter", [](Gui&) { press(VK_RETURN); }},
      {"reset button", [](Gui& g) { g.click(g.widget("FormMain", "btnReset")); }},
      {"hot key", [](Gui& g) { g.form().actShowStatus.execute(); }},
      {"toolbar switch", [](Gui& g) { g.click(g.widget("FormMain", "btnToolbar")); }},
      {"window's X", [](Gui& g) { SendMessageA(g.front->mainWindow(), WM_CLOSE, 0, 0); }},
      {"Alt+F4", [](Gui& g) { SendMessageA(g.front->mainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
  };
  for (const auto& [how, act] : ways) {
    Gui g;
    g.typeOption("edtDecelFactor", "-900");
    act(g);
    EXPECT_EQ(g.form().options.CableCatchAccelFactor, -900) << how;
    if (std::string(how) == "reset button") {  // saved, and read back by the restart
      EXPECT_NE(g.h.readFile("Corvane.INI").find("CableCatchAccelFactor=-900"), std::string::npos);
    }
  }
  Gui g;
  g.typeOption("edtDecelFactor", "-900");
  SendMessageA(g.front->mainWindow(), WM_CLOSE, 0, 0);
  EXPECT_NE(g.h.readFile("Corvane.INI").find("CableCatchAccelFactor=-900"), std::string::npos);

  // A text the program rejects is reported while the window is still there, not after.
  Gui bad;
  size_t boxesAtClose = 99;
  bad.front->onClosed = [&] { boxesAtClose = bad.h.errorBoxes.size(); };
  bad.typeOption("edtCatapultCutoff", "12x");
  SendMessageA(bad.front->mainWindow(), WM_CLOSE, 0, 0);
  EXPECT_EQ(boxesAtClose, 1u);
  ASSERT_EQ(bad.h.errorBoxes.size(), 1u);
  EXPECT_EQ(bad.h.errorBoxes[0], "'12x' is not a valid integer value");
}

TEST(Gui, TheKeyboardMovesBetweenControlsAndPressesButtons) {
  Gui g;
  g.form().pgMain.setActivePage(2);
  HWND reset = g.widget("FormMain", "btnReset");
  // Tab visits every control that takes the focus, top to bottom, and comes round again.
  std::vector<HWND> want;
  for (const char* name :
       {"btnReset", "btnToolbar", "chkbxShowDisableReminders", "btnManualDisable", "pgMain",
        "edtCatapultCutoff", "edtCatapultHoldFactor", "edtAccelFactor", "edtDecelFactor",
        "edtTimingResolution", "chkbxRealisticGear", "chkbxTrapLog", "chkbxLsoCalls", "chkbxShowCablesActiveMsg",
        "chkbxDamageSounds", "chkbxCatSmoke", "chkbxSpecialSoundHandling"})
    want.push_back(g.widget("FormMain", name));
  if (IsWindowVisible(g.widget("FormMain", "chkbxDetectTailhook")))
    want.push_back(g.widget("FormMain", "chkbxDetectTailhook"));
  // The key combination's group is entered at its chosen item.
  want.push_back(g.front->radioItem("rdgrpCtrlKeys", g.form().rdgrpCtrlKeys.itemIndex()));
  want.push_back(g.widget("FormMain", "cmbDatFile"));
  SetFocus(reset);
  std::vector<HWND> seen;
  for (size_t i = 0; i < want.size(); ++i) {
    press(VK_TAB);
    seen.push_back(GetFocus());
  }
  std::rotate(want.begin(), want.begin() + 1, want.end());  // from the reset button on
  EXPECT_EQ(seen, want);
  EXPECT_EQ(g.form().rdgrpCtrlKeys.itemIndex(), 0) << "passing through chose nothing";
  setKey(VK_SHIFT, true);
  press(VK_TAB);
  setKey(VK_SHIFT, false);
  EXPECT_EQ(GetFocus(), g.widget("FormMain", "cmbDatFile")) << "Shift+Tab goes back";

  // Arrows choose within the radio group; Space and Enter press the focused button.
  SetFocus(g.front->radioItem("rdgrpCtrlKeys", 0));
  press(VK_DOWN);
  EXPECT_EQ(g.form().rdgrpCtrlKeys.itemIndex(), 1);
  SetFocus(g.widget("FormMain", "btnManualDisable"));
  press(VK_SPACE);
  EXPECT_TRUE(g.form().btnManualDisable.down());
  press(VK_RETURN);
  EXPECT_FALSE(g.form().btnManualDisable.down());

  // An Alt+letter page change keeps what was typed on the page being left.
  g.typeOption("edtAccelFactor", "900");
  setKey(VK_MENU, true);
  PostMessageA(GetFocus(), WM_SYSKEYDOWN, 'U', 0x20000001);
  platform::pumpMessages();
  setKey(VK_MENU, false);
  EXPECT_EQ(g.form().pgMain.activePage(), 1);
  EXPECT_EQ(g.form().options.CatapultAccelFactor, 900);
}

/// What the modal-loop test watches: the program's ticks, whether one ran inside another, and
/// Windows' own timer messages moving the virtual clock.
struct ModalProbe {
  static inline int ticks = 0, steps = 0;
  static inline bool inTick = false, nested = false;
  static inline std::function<void()> leave;
  static inline harness::Harness* h = nullptr;
  static void tick() {
    nested = nested || inTick;
    inTick = true;
    ++ticks;
    inTick = false;
  }
  static void CALLBACK step(HWND, UINT, UINT_PTR, DWORD) {
    h->clock.advanceTo(h->clock.nowMs() + 10);
    if ((ticks >= 10 || ++steps > 300) && leave) {
      leave();
      leave = nullptr;
    }
  }
};

TEST(Gui, TicksGoOnWhileWindowsRunsItsOwnModalLoop) {
  Gui g;
  g.click(g.widget("FormMain", "btnToolbar"));
  // A timer of the program's loop, and a stand-in for the passing of time: the virtual clock
  // moves 10 ms at each of Windows' timer messages, which also ends the modal loop once the
  // program has ticked enough (or gives up after three seconds).
  ModalProbe::h = &g.h;
  platform::Timer probe(g.h.loop, "probe", 10, true, ModalProbe::tick);
  const UINT_PTR stepper = SetTimer(nullptr, 0, 10, ModalProbe::step);
  struct Modal {
    const char* what;
    std::function<void()> enter, leave;
  };
  const HWND toolbar = g.front->toolbarWindow();
  const std::vector<Modal> modals = {
      {"dragging the toolbar",
       [&] { SendMessageA(toolbar, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0); },
       [toolbar] { PostMessageA(toolbar, WM_KEYDOWN, VK_ESCAPE, 1); }},
      {"the system menu",
       [&] {
         g.click(g.widget("frmToolbar", "btnToolbarToggle"));
         SendMessageA(g.front->mainWindow(), WM_SYSCOMMAND, SC_KEYMENU, ' ');
       },
       [] { EndMenu(); }},
      {"an error box raised by a tick",
       [&] {
         gui::Win32Front* front = g.front.get();
         probe.onTimer = [front] {
           ModalProbe::inTick = true;
           front->showErrorBox("Unable to write to Corvane.INI");
           ModalProbe::inTick = false;
         };
         g.h.clock.advanceTo(g.h.clock.nowMs() + 10);
         g.h.loop.runDue();
         probe.onTimer = ModalProbe::tick;
         platform::pumpMessages();
       },
       [] {
         HWND box = FindWindowA("#32770", "Corvane");
         if (box) PostMessageA(box, WM_COMMAND, IDOK, 0);
       }},
  };
  for (const Modal& m : modals) {
    ModalProbe::ticks = 0;
    ModalProbe::steps = 0;
    ModalProbe::nested = false;
    ModalProbe::leave = m.leave;
    m.enter();
    EXPECT_GE(ModalProbe::ticks, 10) << m.what;
    EXPECT_FALSE(ModalProbe::nested) << m.what;
    EXPECT_FALSE(static_cast<bool>(ModalProbe::leave)) << m.what << ": the modal loop ran";
  }

  // An error box still waiting when the window closes comes up before the window goes.
  bool boxBeforeClose = false;
  g.front->onClosed = [&] { boxBeforeClose = !ModalProbe::leave; };
  ModalProbe::ticks = 0;
  ModalProbe::steps = 0;
  ModalProbe::leave = modals.back().leave;
  g.front->showErrorBox("Unable to write to Corvane.INI");
  SendMessageA(g.front->mainWindow(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(boxBeforeClose);
  KillTimer(nullptr, stepper);
}

TEST(Gui, TheProgramKeepsATaskbarButtonAndItsIconWhicheverWindowShows) {
  Gui g;
  // The taskbar's rule: a shown window that is no tool window, either marked as an application
  // window or owned by no other.
  auto onTaskbar = [](HWND w) {
    const LONG ex = GetWindowLongA(w, GWL_EXSTYLE);
    return IsWindowVisible(w) && !(ex & WS_EX_TOOLWINDOW) &&
           ((ex & WS_EX_APPWINDOW) || !GetWindow(w, GW_OWNER));
  };
  auto withIcon = [](HWND w) {
    return SendMessageA(w, WM_GETICON, ICON_BIG, 0) && SendMessageA(w, WM_GETICON, ICON_SMALL, 0);
  };
  for (int round = 0; round < 2; ++round) {
    EXPECT_TRUE(onTaskbar(g.front->mainWindow()));
    EXPECT_FALSE(onTaskbar(g.front->toolbarWindow()));
    g.click(g.widget("FormMain", "btnToolbar"));
    EXPECT_FALSE(onTaskbar(g.front->mainWindow()));
    EXPECT_TRUE(onTaskbar(g.front->toolbarWindow()));
    g.click(g.widget("frmToolbar", "btnToolbarToggle"));
  }
  EXPECT_TRUE(withIcon(g.front->mainWindow()));
  EXPECT_TRUE(withIcon(g.front->toolbarWindow()));
}

TEST(Gui, TheKeyCombinationHintShowsOnItsItems) {
  Gui g;
  g.form().rdgrpCtrlKeys.setHint("Keys held with every Corvane key");
  for (int i = 0; i < 2; ++i)
    EXPECT_EQ(g.front->tooltipOf(g.front->radioItem("rdgrpCtrlKeys", i)),
              "Keys held with every Corvane key");
  // From the start too (the caption in one edition, none in the other).
  Gui fresh;
  EXPECT_EQ(fresh.front->tooltipOf(fresh.front->radioItem("rdgrpCtrlKeys", 1)),
            fresh.form().rdgrpCtrlKeys.hint());
}

/// A caption the window shows and the room its widget gives it, in pixels.
struct CaptionFit {
  std::string what;
  std::string text;
  SIZE need;
  SIZE room;
};

/// What a widget needs to show its whole caption, measured with the font the widget draws with:
/// the text's extent, plus the glyph of a check box or radio button and the gap after it, the
/// edges of a push button, the indent of a group box's caption. The room is the widget's client
/// area. Trailing blanks carry no ink and are not measured; a label that wraps is measured
/// wrapped to its width.
CaptionFit measureCaption(HWND w, std::string what) {
  CaptionFit fit{std::move(what), textOf(w), {0, 0}, {0, 0}};
  std::string text = fit.text;
  while (!text.empty() && text.back() == ' ') text.pop_back();
  RECT client{};
  GetClientRect(w, &client);
  fit.room = {client.right, client.bottom};
  if (text.empty()) return fit;
  char cls[32] = {};
  GetClassNameA(w, cls, sizeof cls);
  const LONG style = GetWindowLongA(w, GWL_STYLE);
  const bool isStatic = lstrcmpiA(cls, "Static") == 0;
  const LONG type = style & BS_TYPEMASK;
  const bool isPush =
      !isStatic && ((style & BS_PUSHLIKE) || type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
  const bool isGroup = !isStatic && type == BS_GROUPBOX;
  // A button shows "&&" as one "&" and underlines the letter after a single one.
  if (!isStatic) {
    std::string shown;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '&' && i + 1 < text.size()) ++i;
      shown += text[i];
    }
    text = shown;
  }
  const HDC dc = GetDC(w);
  const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(w, WM_GETFONT, 0, 0)));
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  SIZE extent{};
  if (isStatic && (style & SS_TYPEMASK) <= SS_RIGHT) {  // left, centred or right: wraps
    RECT r{0, 0, client.right, 0};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    extent = {r.right, r.bottom};
  } else {
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  }
  SIZE zero{};
  GetTextExtentPoint32A(dc, "0", 1, &zero);
  SelectObject(dc, old);
  ReleaseDC(w, dc);
  fit.need = extent;
  if (isPush) {
    // The raised edge on either side (the dotted focus rectangle may cross the text).
    fit.need.cx += 2 * GetSystemMetrics(SM_CXEDGE);
  } else if (isGroup) {
    // The caption sits in the top edge, indented from the frame's corner on both sides.
    fit.need.cx += 2 * tm.tmAveCharWidth;
  } else if (!isStatic) {
    // Check box or radio button: the glyph, then half a digit's width before the text.
    fit.need.cx += GetSystemMetrics(SM_CXMENUCHECK) + zero.cx / 2;
    fit.need.cy = std::max<LONG>(fit.need.cy, GetSystemMetrics(SM_CYMENUCHECK));
  }
  return fit;
}

std::string describe(const CaptionFit& f) {
  return f.what + " \"" + f.text + "\" needs " + std::to_string(f.need.cx) + " x " +
         std::to_string(f.need.cy) + ", has " + std::to_string(f.room.cx) + " x " +
         std::to_string(f.room.cy);
}

int CALLBACK faceFound(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

TEST(Gui, EveryCaptionFitsItsControl) {
  // Measured with the face the window asks for: without it the window falls back to another
  // font and the figures say nothing about what a pilot sees.
  {
    LOGFONTA face{};
    lstrcpyA(face.lfFaceName, "MS Sans Serif");
    face.lfCharSet = DEFAULT_CHARSET;
    bool found = false;
    const HDC screen = GetDC(nullptr);
    EnumFontFamiliesExA(screen, &face, faceFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    ASSERT_TRUE(found) << "MS Sans Serif is not installed (under Wine: fonts-wine, copied into "
                          "the prefix by scripts/wine-run)";
  }
  // With both sounds in the program folder: the message naming a missing one carries the
  // folder's path, whose length is the pilot's (the test's folder is a long temporary one).
  Gui g([](harness::Harness& h) {
    for (const char* sound : {"CableCatch.wav", "Catapult.wav"}) h.writeFile(sound, "RIFF");
  });
  EXPECT_EQ(textOf(g.widget("FormMain", "lblOtherStatus")), "Sound files found");
  // Every caption of both windows, with either key combination (its labels are longer with
  // SHIFT+CTRL) and with the override pressed (the button's other caption).
  for (int round = 0; round < 2; ++round) {
    if (round == 1) {
      g.click(g.front->radioItem("rdgrpCtrlKeys", 1));
      g.click(g.widget("FormMain", "btnManualDisable"));
    }
    for (const TControlEntry& e : g.form().controls()) {
      using platform::ControlKind;
      const ControlKind kind = e.control->kind();
      if (!e.control->visible() || kind == ControlKind::Window || kind == ControlKind::Edit ||
          kind == ControlKind::UpDown || kind == ControlKind::ComboBox ||
          kind == ControlKind::PageControl)
        continue;
      HWND w = g.front->handleOf(e.window, e.control->name());
      if (!w) continue;
      char cls[32] = {};
      GetClassNameA(w, cls, sizeof cls);
      if (lstrcmpiA(cls, "Button") == 0 && (GetWindowLongA(w, GWL_STYLE) & (BS_ICON | BS_BITMAP)))
        continue;  // a picture, no caption
      const std::string name = std::string(e.window) + "." + e.control->name();
      std::vector<CaptionFit> fits = {measureCaption(w, name)};
      if (kind == ControlKind::RadioGroup)
        for (int i = 0; HWND item = g.front->radioItem(e.control->name(), i); ++i)
          fits.push_back(measureCaption(item, name + "[" + std::to_string(i) + "]"));
      for (const CaptionFit& f : fits)
        EXPECT_TRUE(f.need.cx <= f.room.cx && f.need.cy <= f.room.cy) << describe(f);
    }
  }
}

}  // namespace
