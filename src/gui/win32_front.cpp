#include "gui/win32_front.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cctype>
#include <limits>
#include <optional>
#include <string>

#include "board/board.h"
#include "config/zone_writer.h"
#include "gui/layout.h"
#include "logbook/log_rules.h"
#include "lso/trap_sheet.h"
#include "platform/clock.h"
#include "platform/ini_file.h"
#include "platform/message_pump_win32.h"

namespace gui {

namespace {

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

constexpr const char* kMainClass = "CorvaneMainWindow";
constexpr const char* kToolbarClass = "CorvaneToolbar";
constexpr const char* kPageClass = "CorvanePage";

// The timer that runs the program's ticks while Windows runs a modal loop of its own, and the
// message that shows the error boxes waiting.
constexpr UINT_PTR kModalTickTimer = 1;
constexpr UINT kShowErrorsMessage = WM_APP + 1;
// The system menu's "Add carrier zone here..." (below 0xF000, low four bits clear).
constexpr UINT kAddZoneCommand = 0x0110;
// The system menu's "Open greenie board" and "Open trap log".
constexpr UINT kOpenBoardCommand = 0x0120;
constexpr UINT kOpenLogCommand = 0x0130;
// How long one of those timer messages may keep the fast timers to their due times before
// handing control back to the modal loop (it gets it back at once when input arrives).
constexpr int64_t kModalSliceUs = 50'000;

Win32Front* frontOf(HWND window) {
  return reinterpret_cast<Win32Front*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

LRESULT CALLBACK frontProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  if (Win32Front* front = frontOf(window)) return front->handleMessage(window, msg, wParam, lParam);
  return DefWindowProcA(window, msg, wParam, lParam);
}

void registerClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = frontProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
  wc.lpszClassName = kMainClass;
  RegisterClassExA(&wc);
  wc.lpszClassName = kToolbarClass;
  RegisterClassExA(&wc);
  wc.hIcon = nullptr;
  wc.hCursor = nullptr;  // the page decides its cursor
  wc.lpszClassName = kPageClass;
  RegisterClassExA(&wc);
}

std::string textOf(HWND w) {
  const int n = GetWindowTextLengthA(w);
  std::string s(static_cast<size_t>(n) + 1, '\0');
  GetWindowTextA(w, s.data(), n + 1);
  s.resize(static_cast<size_t>(n));
  return s;
}

int CALLBACK fontFound(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

/// "MS Sans Serif" 8 point, or the system's dialog font where that face is missing.
HFONT makeFont() {
  const HDC dc = GetDC(nullptr);
  const int height = -MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72);
  LOGFONTA wanted{};
  lstrcpyA(wanted.lfFaceName, "MS Sans Serif");
  wanted.lfCharSet = DEFAULT_CHARSET;
  bool found = false;
  EnumFontFamiliesExA(dc, &wanted, fontFound, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, dc);
  if (!found) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
}

/// The cursor of a page of pgMain: cross-hair on the flight status, a hand on the options.
LPCSTR pageCursor(int page) { return page == 0 ? IDC_CROSS : page == 2 ? IDC_HAND : IDC_ARROW; }

}  // namespace

COLORREF colorOf(platform::Color c) {
  switch (c) {
    case platform::Color::ButtonFace:
      return GetSysColor(COLOR_BTNFACE);
    case platform::Color::White:
      return RGB(255, 255, 255);
    case platform::Color::Navy:
      return RGB(0, 0, 128);
    case platform::Color::Black:
      return RGB(0, 0, 0);
    case platform::Color::Lime:
      return RGB(0, 255, 0);
    case platform::Color::Aqua:
      return RGB(0, 255, 255);
    case platform::Color::Red:
      return RGB(255, 0, 0);
    case platform::Color::WindowText:
      return GetSysColor(COLOR_WINDOWTEXT);
  }
  return GetSysColor(COLOR_BTNFACE);
}

Win32Front::Win32Front(TFormMain& form) : form_(form) {
  INITCOMMONCONTROLSEX icc{
      sizeof icc, ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  registerClasses();
  font_ = makeFont();
  createWindows();
  for (const TControlEntry& e : form_.controls()) bind(e);
  form_.Screen.onChange = [](platform::Cursor c) {
    SetCursor(LoadCursor(nullptr, c == platform::Cursor::HourGlass ? IDC_WAIT : IDC_ARROW));
  };
  // Whatever starts an action (a button, a hot key, a toolbar button) acts on the option the
  // pilot has typed, even when the focus is still in its field.
  for (platform::Action* a : form_.actions()) {
    actionHandlers_.push_back(a->onExecute);
    a->onExecute = [this, own = a->onExecute] {
      applyFocusedEntry();
      if (own) own();
    };
  }
  platform::setMessageFilter([this](MSG& msg) { return dialogKey(msg); });
  modalWait_ = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                      TIMER_ALL_ACCESS);
  if (!modalWait_) modalWait_ = CreateWaitableTimerW(nullptr, TRUE, nullptr);
  refreshAll();
}

Win32Front::~Win32Front() {
  updating_ = true;  // the widgets going away report nothing to the program
  platform::setMessageFilter({});
  const std::vector<platform::Action*> actions = form_.actions();
  for (size_t i = 0; i < actions.size() && i < actionHandlers_.size(); ++i)
    actions[i]->onExecute = actionHandlers_[i];
  for (Bound& b : bound_) b.control->onChange = nullptr;
  form_.Screen.onChange = nullptr;
  if (main_) KillTimer(main_, kModalTickTimer);
  if (modalWait_) CloseHandle(modalWait_);
  if (toolbar_) DestroyWindow(toolbar_);
  if (main_) DestroyWindow(main_);
  for (HBRUSH br : brushes_) DeleteObject(br);
  if (font_ && font_ != GetStockObject(DEFAULT_GUI_FONT)) DeleteObject(font_);
}

void Win32Front::createWindows() {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  // Fixed size: single border, system menu and minimise box only.
  const DWORD mainStyle =
      WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  RECT r{0, 0, kMainClientWidth, kMainClientHeight};
  AdjustWindowRectEx(&r, mainStyle, FALSE, 0);
  main_ = CreateWindowExA(0, kMainClass, "Corvane", mainStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                          r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance, this);
  if (const HMENU system = GetSystemMenu(main_, FALSE)) {
    AppendMenuA(system, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(system, MF_STRING, kOpenBoardCommand, "Open greenie board");
    AppendMenuA(system, MF_STRING, kOpenLogCommand, "Open trap log");
    AppendMenuA(system, MF_STRING, kAddZoneCommand, "Add carrier zone here...");
  }
  zoneEntry_.length = platform::formatFloat(DefaultNewZoneLengthM);
  zoneEntry_.width = platform::formatFloat(DefaultNewZoneWidthM);
  // The toolbar: a resizable window without border icons. While it shows, the main window is
  // hidden, so the toolbar carries the program's taskbar button and Alt+Tab entry (a tool
  // window would have neither, and the pilot could not get it back from under the simulator).
  const DWORD toolStyle = WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_CLIPCHILDREN;
  const DWORD toolExStyle = WS_EX_APPWINDOW;
  RECT t{0, 0, 30, toolbarClientHeight(static_cast<int>(form_.frmToolbar.buttons().size()))};
  AdjustWindowRectEx(&t, toolStyle, FALSE, toolExStyle);
  toolbar_ = CreateWindowExA(toolExStyle, kToolbarClass, "CV", toolStyle, 0, 124, t.right - t.left,
                             t.bottom - t.top, nullptr, nullptr, instance, this);
  // Windows keeps captioned windows wider than 30 pixels unless told otherwise (below, in
  // WM_GETMINMAXINFO); now that it asks this object, give the toolbar its size.
  SetWindowPos(toolbar_, nullptr, 0, 0, t.right - t.left, t.bottom - t.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (HWND owner : {main_, toolbar_}) {
    HWND tips = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0, 0, owner, nullptr,
                                instance, nullptr);
    (owner == main_ ? mainTips_ : toolbarTips_) = tips;
  }
  icon_ = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(1), IMAGE_ICON, 32, 32, 0));
  smallIcon_ = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(1), IMAGE_ICON, 16, 16, 0));
  for (HWND window : {main_, toolbar_}) {
    if (icon_) SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    if (smallIcon_)
      SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
  }
}

HWND Win32Front::createWidget(const TControlEntry& e, HWND parent, int x, int y, int w, int h) {
  using platform::ControlKind;
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  const char* cls = "STATIC";
  // Each widget is a group of its own for the dialog keys: the arrows move only between the
  // items of a radio group.
  DWORD style = WS_CHILD | WS_GROUP;
  DWORD exStyle = 0;
  switch (e.control->kind()) {
    case ControlKind::Label:
      style |= SS_NOPREFIX | (e.control->name() == "lblOtherStatus" ? SS_LEFT : SS_LEFTNOWORDWRAP) |
               SS_NOTIFY;
      break;
    case ControlKind::Button:
      cls = "BUTTON";
      style |= BS_PUSHBUTTON | WS_TABSTOP;
      break;
    case ControlKind::SpeedButton: {
      const auto* b = static_cast<const platform::SpeedButton*>(e.control);
      cls = "BUTTON";
      // A toggle stays pressed while Down; the program decides when it is.
      style |= (b->groupIndex != 0 ? BS_CHECKBOX | BS_PUSHLIKE : BS_PUSHBUTTON);
      if (e.control->name() == "btnToolbarToggle") style |= BS_ICON;
      if (std::string_view(e.window) == "FormMain") style |= WS_TABSTOP;
      break;
    }
    case ControlKind::CheckBox:
      cls = "BUTTON";
      style |= BS_CHECKBOX | WS_TABSTOP;
      break;
    case ControlKind::RadioGroup:
      cls = "BUTTON";
      style |= BS_GROUPBOX;
      break;
    case ControlKind::Edit:
      cls = "EDIT";
      style |= ES_AUTOHSCROLL | WS_TABSTOP;
      exStyle = WS_EX_CLIENTEDGE;
      break;
    case ControlKind::UpDown:
      cls = UPDOWN_CLASSA;
      style |= UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS;
      break;
    case ControlKind::PageControl:
      cls = WC_TABCONTROLA;
      style |= WS_CLIPSIBLINGS | WS_TABSTOP;
      break;
    case ControlKind::ComboBox:
      cls = "COMBOBOX";
      style |= CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
      break;
    default:
      return nullptr;
  }
  HWND hwnd =
      CreateWindowExA(exStyle, cls, "", style, x, y, w, h, parent, nullptr, instance, nullptr);
  SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  return hwnd;
}

void Win32Front::bind(const TControlEntry& e) {
  using platform::ControlKind;
  const std::string_view window = e.window;
  Bound b{e.control, e.window, e.page, nullptr, {}};
  if (e.control->kind() == ControlKind::Window) {
    b.hwnd = window == "FormMain" ? main_ : toolbar_;
  } else {
    Rect r{};
    if (!placeOf(window, e.page, e.order, e.control->name(), r)) return;  // hidden lists, actions
    HWND parent = window == "FormMain" ? main_ : toolbar_;
    if (e.page >= 0) {
      while (static_cast<int>(pages_.size()) <= e.page) pages_.push_back(nullptr);
      parent = pages_[static_cast<size_t>(e.page)];
    }
    b.hwnd = createWidget(e, parent, r.x, r.y, r.w, r.h);
    if (!b.hwnd) return;
    if (e.control->kind() == ControlKind::PageControl) {
      // The tabs, and below them one panel per page holding that page's controls.
      tabs_ = b.hwnd;
      for (int i = 0; i < 4; ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>("");
        SendMessageA(tabs_, TCM_INSERTITEMA, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&item));
      }
      RECT area{r.x, r.y, r.x + r.w, r.y + r.h};
      SendMessageA(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
      pages_.assign(4, nullptr);
      for (int i = 0; i < 4; ++i) {
        pages_[static_cast<size_t>(i)] =
            CreateWindowExA(WS_EX_CONTROLPARENT, kPageClass, "", WS_CHILD | WS_CLIPSIBLINGS,
                            area.left, area.top, area.right - area.left, area.bottom - area.top,
                            main_, nullptr, GetModuleHandleA(nullptr), this);
        SetWindowLongPtrA(pages_[static_cast<size_t>(i)], GWLP_ID, i);
      }
    }
    if (e.control->kind() == ControlKind::UpDown) {
      auto* u = static_cast<platform::UpDown*>(e.control);
      if (u->associate) {
        // The buddy is the edit field bound just before it.
        for (const Bound& other : bound_)
          if (other.control == u->associate)
            SendMessageA(b.hwnd, UDM_SETBUDDY, reinterpret_cast<WPARAM>(other.hwnd), 0);
      }
      SendMessageA(b.hwnd, UDM_SETRANGE32, static_cast<WPARAM>(u->minimum()),
                   static_cast<LPARAM>(u->maximum()));
    }
    if (e.control->kind() == ControlKind::Label) {
      // The program places some labels after others (the checking status after its caption).
      auto* label = static_cast<platform::Label*>(e.control);
      label->left = r.x;
      label->width = r.w;
    }
    if (e.control->name() == "btnToolbarToggle" && smallIcon_)
      SendMessageA(b.hwnd, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(smallIcon_));
  }
  bound_.push_back(std::move(b));
  const size_t index = bound_.size() - 1;
  e.control->onChange = [this, index](platform::Control&, platform::Change what) {
    update(bound_[index], what);
  };
}

void Win32Front::refreshAll() {
  using platform::Change;
  for (Bound& b : bound_) {
    if (b.control->kind() == platform::ControlKind::Label) {
      const auto& label = static_cast<platform::Label&>(*b.control);
      Rect r{};
      if (layoutOf(b.window, label.name(), r) && label.left != r.x)
        SetWindowPos(b.hwnd, nullptr, label.left, r.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
  }
  for (Bound& b : bound_)
    for (Change c : {Change::Items, Change::Text, Change::Caption, Change::ItemIndex, Change::Down,
                     Change::Checked, Change::Position, Change::Hint, Change::Enabled,
                     Change::ActivePage, Change::Color, Change::Bounds, Change::Visible})
      update(b, c);
}

void Win32Front::update(Bound& b, platform::Change what) {
  using platform::Change;
  using platform::ControlKind;
  const bool wasUpdating = updating_;
  updating_ = true;
  platform::Control& c = *b.control;
  const HWND owner = b.window == "FormMain" ? main_ : toolbar_;
  switch (what) {
    case Change::Enabled:
      if (c.kind() != ControlKind::Window) EnableWindow(b.hwnd, c.enabled());
      for (HWND item : b.items) EnableWindow(item, c.enabled());
      if (c.kind() == ControlKind::PageControl)
        for (HWND page : pages_) EnableWindow(page, c.enabled());
      break;
    case Change::Visible:
      if (c.kind() == ControlKind::Window) {
        ShowWindow(b.hwnd, c.visible() ? SW_SHOW : SW_HIDE);
      } else {
        ShowWindow(b.hwnd, c.visible() ? SW_SHOW : SW_HIDE);
        for (HWND item : b.items) ShowWindow(item, c.visible() ? SW_SHOW : SW_HIDE);
      }
      if (c.kind() == ControlKind::PageControl) showPage(form_.pgMain.activePage());
      break;
    case Change::Hint:
      if (c.kind() != ControlKind::Window) setTip(owner, b.hwnd, c.hint());
      for (HWND item : b.items) setTip(owner, item, c.hint());
      break;
    case Change::Text:
      if (c.kind() == ControlKind::Label)
        SetWindowTextA(b.hwnd, static_cast<platform::Label&>(c).text().c_str());
      else if (c.kind() == ControlKind::Edit &&
               textOf(b.hwnd) != static_cast<platform::Edit&>(c).text())
        SetWindowTextA(b.hwnd, static_cast<platform::Edit&>(c).text().c_str());
      break;
    case Change::Caption:
      switch (c.kind()) {
        case ControlKind::Window:
          SetWindowTextA(b.hwnd, static_cast<platform::Window&>(c).caption().c_str());
          break;
        case ControlKind::Button:
        case ControlKind::SpeedButton:
          if (c.name() != "btnToolbarToggle")
            SetWindowTextA(b.hwnd, static_cast<platform::Button&>(c).caption().c_str());
          break;
        case ControlKind::CheckBox:
          SetWindowTextA(b.hwnd, static_cast<platform::CheckBox&>(c).caption().c_str());
          break;
        case ControlKind::RadioGroup:
          SetWindowTextA(b.hwnd, static_cast<platform::RadioGroup&>(c).caption().c_str());
          break;
        default:
          break;
      }
      break;
    case Change::Color:
    case Change::FontColor:
      InvalidateRect(b.hwnd, nullptr, TRUE);
      break;
    case Change::Down:
      if (c.kind() == ControlKind::SpeedButton)
        SendMessageA(b.hwnd, BM_SETCHECK,
                     static_cast<platform::SpeedButton&>(c).down() ? BST_CHECKED : BST_UNCHECKED,
                     0);
      break;
    case Change::Checked:
      if (c.kind() == ControlKind::CheckBox)
        SendMessageA(b.hwnd, BM_SETCHECK,
                     static_cast<platform::CheckBox&>(c).checked() ? BST_CHECKED : BST_UNCHECKED,
                     0);
      break;
    case Change::Items:
      if (c.kind() == ControlKind::RadioGroup) {
        rebuildRadioItems(b);
      } else if (c.kind() == ControlKind::ComboBox) {
        const auto& combo = static_cast<platform::ComboBox&>(c);
        SendMessageA(b.hwnd, CB_RESETCONTENT, 0, 0);
        for (const std::string& item : combo.items())
          SendMessageA(b.hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        SendMessageA(b.hwnd, CB_SETCURSEL, static_cast<WPARAM>(combo.itemIndex()), 0);
      }
      break;
    case Change::ItemIndex:
      if (c.kind() == ControlKind::RadioGroup) {
        checkRadioItem(b);
      } else if (c.kind() == ControlKind::ComboBox) {
        SendMessageA(b.hwnd, CB_SETCURSEL,
                     static_cast<WPARAM>(static_cast<platform::ComboBox&>(c).itemIndex()), 0);
      }
      break;
    case Change::Position:
      if (c.kind() == ControlKind::UpDown)
        SendMessageA(b.hwnd, UDM_SETPOS32, 0,
                     static_cast<LPARAM>(static_cast<platform::UpDown&>(c).position()));
      break;
    case Change::ActivePage:
      if (c.kind() == ControlKind::PageControl) {
        const auto& pg = static_cast<platform::PageControl&>(c);
        for (size_t i = 0; i < pg.pages.size() && i < 4; ++i) {
          TCITEMA item{};
          item.mask = TCIF_TEXT;
          item.pszText = const_cast<char*>(pg.pages[i].c_str());
          SendMessageA(tabs_, TCM_SETITEMA, i, reinterpret_cast<LPARAM>(&item));
        }
        SendMessageA(tabs_, TCM_SETCURSEL, static_cast<WPARAM>(pg.activePage()), 0);
        showPage(pg.activePage());
      }
      break;
    case Change::Bounds:
      if (c.kind() == ControlKind::Window) placeWindow(b);
      break;
  }
  updating_ = wasUpdating;
}

void Win32Front::rebuildRadioItems(Bound& b) {
  for (HWND item : b.items) DestroyWindow(item);
  b.items.clear();
  const auto& group = static_cast<platform::RadioGroup&>(*b.control);
  Rect r{};
  layoutOf(b.window, b.control->name(), r);
  const HWND parent = GetParent(b.hwnd);
  HWND previous = b.hwnd;
  for (size_t i = 0; i < group.items().size(); ++i) {
    const Rect ir = radioItemRect(r, static_cast<int>(i));
    HWND item = CreateWindowExA(0, "BUTTON", group.items()[i].c_str(),
                                WS_CHILD | BS_RADIOBUTTON | (i == 0 ? WS_GROUP : 0) |
                                    (b.control->visible() ? WS_VISIBLE : 0),
                                ir.x, ir.y, ir.w, ir.h, parent, nullptr, GetModuleHandleA(nullptr),
                                nullptr);
    // Right after the group box in the tab order, whenever the items are made.
    SetWindowPos(item, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = item;
    SendMessageA(item, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    EnableWindow(item, group.enabled());
    // A group box lets the mouse through to what lies beneath, so its hint is on its items.
    setTip(main_, item, group.hint());
    b.items.push_back(item);
  }
  checkRadioItem(b);
}

void Win32Front::checkRadioItem(Bound& b) {
  // Tab enters the group at its chosen item (the first while none is), as in a dialog.
  const int index = static_cast<platform::RadioGroup&>(*b.control).itemIndex();
  const int stop = index >= 0 && index < static_cast<int>(b.items.size()) ? index : 0;
  for (size_t i = 0; i < b.items.size(); ++i) {
    const HWND item = b.items[i];
    SendMessageA(item, BM_SETCHECK, static_cast<int>(i) == index ? BST_CHECKED : BST_UNCHECKED, 0);
    const LONG style = GetWindowLongA(item, GWL_STYLE) & ~WS_TABSTOP;
    SetWindowLongA(item, GWL_STYLE, style | (static_cast<int>(i) == stop ? WS_TABSTOP : 0));
  }
}

void Win32Front::setTip(HWND owner, HWND widget, const std::string& text) {
  const HWND tips = owner == main_ ? mainTips_ : toolbarTips_;
  TOOLINFOA ti{};
  ti.cbSize = TTTOOLINFOA_V1_SIZE;
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = owner;
  ti.uId = reinterpret_cast<UINT_PTR>(widget);
  SendMessageA(tips, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
  if (text.empty()) return;
  ti.lpszText = const_cast<char*>(text.c_str());
  SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

std::string Win32Front::tooltipOf(HWND widget) const {
  const HWND owner = GetAncestor(widget, GA_ROOT);
  const HWND tips = owner == main_ ? mainTips_ : toolbarTips_;
  char text[256] = {};
  TOOLINFOA ti{};
  ti.cbSize = TTTOOLINFOA_V1_SIZE;
  ti.uFlags = TTF_IDISHWND;
  ti.hwnd = owner;
  ti.uId = reinterpret_cast<UINT_PTR>(widget);
  ti.lpszText = text;
  if (!SendMessageA(tips, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti))) return {};
  SendMessageA(tips, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&ti));
  return text;
}

void Win32Front::placeWindow(Bound& b) {
  const auto& w = static_cast<platform::Window&>(*b.control);
  RECT r{};
  GetWindowRect(b.hwnd, &r);
  RECT want{w.left(), w.top(), w.left() + (r.right - r.left), w.top() + (r.bottom - r.top)};
  // A position saved on a monitor that is gone puts the window on the primary one instead.
  if (!MonitorFromRect(&want, MONITOR_DEFAULTTONULL)) {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    OffsetRect(&want, work.left - want.left, work.top - want.top);
  }
  SetWindowPos(b.hwnd, nullptr, want.left, want.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Front::userMoved(HWND window) {
  if (updating_ || IsIconic(window)) return;
  RECT r{};
  GetWindowRect(window, &r);
  platform::Window& model = window == main_ ? form_.FormMain : form_.frmToolbar.frmToolbar;
  if (model.left() == r.left && model.top() == r.top) return;
  updating_ = true;  // the program keeps the position; the window is already there
  model.moveTo(r.left, r.top);
  updating_ = false;
}

void Win32Front::showPage(int page) {
  for (size_t i = 0; i < pages_.size(); ++i) {
    const bool shown = static_cast<int>(i) == page && form_.pgMain.visible();
    // The page lies over the tab control's body, so it must come above it.
    SetWindowPos(
        pages_[i], shown ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
        SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | (shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
  }
}

Win32Front::Bound* Win32Front::find(HWND hwnd) {
  for (Bound& b : bound_)
    if (b.hwnd == hwnd) return &b;
  return nullptr;
}

HWND Win32Front::handleOf(std::string_view window, std::string_view name) const {
  for (const Bound& b : bound_)
    if (b.window == window && b.control->name() == name) return b.hwnd;
  return nullptr;
}

HWND Win32Front::radioItem(std::string_view name, int index) const {
  for (const Bound& b : bound_)
    if (b.control->name() == name && index >= 0 && index < static_cast<int>(b.items.size()))
      return b.items[static_cast<size_t>(index)];
  return nullptr;
}

void Win32Front::input(const std::function<void()>& action) {
  applyFocusedEntry();
  form_.loop().guard(action);
}

void Win32Front::applyFocusedEntry() {
  // An entry goes to the program when the pilot leaves its field, presses Enter, or does
  // anything else with the window while it still holds the focus.
  const HWND focus = GetFocus();
  Bound* b = focus ? find(focus) : nullptr;
  if (!b || b->control->kind() != platform::ControlKind::Edit) return;
  auto* edit = static_cast<platform::Edit*>(b->control);
  const std::string text = textOf(focus);
  if (text != edit->text()) form_.loop().guard([edit, &text] { edit->setText(text); });
}

std::vector<std::vector<HWND>> Win32Front::tabOrder() const {
  // The main window's controls top to bottom, the page's own after the tabs; each entry holds
  // a control's widget, or the items of a radio group.
  std::vector<const Bound*> sequence;
  for (const Bound& b : bound_) {
    if (b.window != "FormMain" || b.page >= 0 || b.hwnd == main_) continue;
    sequence.push_back(&b);
    if (b.hwnd == tabs_)
      for (const Bound& p : bound_)
        if (p.window == "FormMain" && p.page >= 0) sequence.push_back(&p);
  }
  std::vector<std::vector<HWND>> order;
  for (const Bound* b : sequence)
    order.push_back(b->items.empty() ? std::vector<HWND>{b->hwnd} : b->items);
  return order;
}

bool Win32Front::tabKey(bool back) {
  const std::vector<std::vector<HWND>> order = tabOrder();
  const HWND focus = GetFocus();
  size_t at = order.size();
  for (size_t i = 0; i < order.size(); ++i)
    if (std::find(order[i].begin(), order[i].end(), focus) != order[i].end()) at = i;
  const size_t n = order.size();
  for (size_t step = 1; step <= n; ++step) {
    const size_t i = at == n ? (back ? n - step : step - 1) : (at + (back ? n - step : step)) % n;
    for (HWND w : order[i]) {
      if (!(GetWindowLongA(w, GWL_STYLE) & WS_TABSTOP) || !IsWindowVisible(w) ||
          !IsWindowEnabled(w))
        continue;
      if (SendMessageA(w, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageA(w, EM_SETSEL, 0, -1);
      SetFocus(w);
      return true;
    }
  }
  return false;
}

bool Win32Front::arrowKey(bool back) {
  // Within a radio group the arrows choose the next item, as a dialog's do.
  const HWND focus = GetFocus();
  for (const Bound& b : bound_) {
    const auto at = std::find(b.items.begin(), b.items.end(), focus);
    if (at == b.items.end()) continue;
    const size_t n = b.items.size();
    for (size_t step = 1; step < n; ++step) {
      const HWND next =
          b.items[(static_cast<size_t>(at - b.items.begin()) + (back ? n - step : step)) % n];
      if (!IsWindowEnabled(next)) continue;
      SetFocus(next);
      if (SendMessageA(next, BM_GETCHECK, 0, 0) != BST_CHECKED) onCommand(next, BN_CLICKED);
      return true;
    }
    return true;
  }
  return false;
}

bool Win32Front::dialogKey(MSG& msg) {
  if (!main_ || (msg.hwnd != main_ && !IsChild(main_, msg.hwnd))) return false;
  const bool plain = !(GetKeyState(VK_CONTROL) & 0x8000) && !(GetKeyState(VK_MENU) & 0x8000);
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && plain) {
    tabKey((GetKeyState(VK_SHIFT) & 0x8000) != 0);
    return true;
  }
  if (msg.message == WM_KEYDOWN && plain &&
      (msg.wParam == VK_UP || msg.wParam == VK_DOWN || msg.wParam == VK_LEFT ||
       msg.wParam == VK_RIGHT) &&
      arrowKey(msg.wParam == VK_UP || msg.wParam == VK_LEFT))
    return true;
  // Alt+letter opens a page wherever the focus is (a child's own would only open the system
  // menu); other letters go to the buttons' mnemonics.
  if (msg.message == WM_SYSCHAR && (HIWORD(msg.lParam) & KF_ALTDOWN) &&
      pageAccelerator(static_cast<char>(msg.wParam)))
    return true;
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN) {
    // Enter hands a typed entry to the program, or presses the focused button.
    using platform::ControlKind;
    Bound* b = find(GetFocus());
    if (b && b->control->kind() == ControlKind::Edit) {
      applyFocusedEntry();
      SendMessageA(b->hwnd, EM_SETSEL, 0, -1);
      return true;
    }
    if (b && (b->control->kind() == ControlKind::Button ||
              b->control->kind() == ControlKind::SpeedButton)) {
      onCommand(b->hwnd, BN_CLICKED);
      return true;
    }
  }
  // The rest of a dialog's keys: Space on a button or check box, Alt+letter.
  return IsDialogMessageA(main_, &msg) != FALSE;
}

HWND Win32Front::shownWindow() const {
  if (IsWindowVisible(main_)) return main_;
  if (IsWindowVisible(toolbar_)) return toolbar_;
  return nullptr;
}

void Win32Front::showErrorBox(const std::string& text) {
  pendingErrors_.push_back(text);
  PostMessageA(main_, kShowErrorsMessage, 0, 0);
}

void Win32Front::showPendingErrors() {
  // The box up shows the others when it closes; a handler running shows them when it has
  // returned (from the event loop's idle moment).
  if (showingError_ || form_.loop().inHandler()) return;
  showingError_ = true;
  while (!pendingErrors_.empty()) {
    const std::string text = pendingErrors_.front();
    pendingErrors_.erase(pendingErrors_.begin());
    beginModalLoop();
    MessageBoxA(shownWindow(), text.c_str(), "Corvane", MB_OK | MB_ICONERROR);

    endModalLoop();
  }
  showingError_ = false;
}

void Win32Front::addZoneHere() {
  // The dialog and the box run modal loops of their own; the program's ticks go on meanwhile.
  beginModalLoop();
  const std::optional<ZoneDialogEntry> entry = askNewZone(main_, zoneEntry_);
  TCarrierData::TAddZoneResult result;
  if (entry) {
    zoneEntry_ = *entry;
    // A size that is not a number is refused by the program like any other bad size.
    auto metres = [](const std::string& text) {
      return platform::parseFloat(text).value_or(std::numeric_limits<double>::quiet_NaN());
    };
    const double length = metres(entry->length), width = metres(entry->width);
    input([&] { result = form_.carrierData.AddZoneHere(entry->ident, length, width); });
  }
  if (!result.message.empty())
    MessageBoxA(main_, result.message.c_str(), "Corvane",
                MB_OK | (result.added ? MB_ICONINFORMATION : MB_ICONWARNING));
  endModalLoop();
}

void Win32Front::openLogFile(bool board) {
  const std::string& folder = form_.ProgramFolder;
  const std::string log = folder + TrapLogFileName;
  const std::string path = board ? folder + BoardFileName : log;
  beginModalLoop();
  std::string problem;
  if (GetFileAttributesA(log.c_str()) == INVALID_FILE_ATTRIBUTES) {
    problem = std::string(
        "There is no trap log yet: check \"Keep a trap and launch log\" on the "
        "options page and fly a pass.");
  } else if (board && GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
    // A log kept before the board existed: the page is made from it now.
    const TBoardBuild b = BuildBoardFile(log, folder + TrapSheetFolder, path);
    if (!b.ok) problem = b.message;
  }
  // The default browser for the page, the program that opens CSV files for the log.
  if (problem.empty() &&
      reinterpret_cast<INT_PTR>(
          ShellExecuteA(main_, "open", path.c_str(), nullptr, folder.c_str(), SW_SHOWNORMAL)) <= 32)
    problem = "Cannot open " + path + ": no program is set to open it.";
  if (!problem.empty()) MessageBoxA(main_, problem.c_str(), "Corvane", MB_OK | MB_ICONWARNING);
  endModalLoop();
}

void Win32Front::beginModalLoop() {
  // Windows' timer messages are the only ones a modal loop hands to the program.
  if (modalLoops_++ == 0) SetTimer(main_, kModalTickTimer, USER_TIMER_MINIMUM, nullptr);
}

void Win32Front::endModalLoop() {
  if (modalLoops_ > 0 && --modalLoops_ == 0) KillTimer(main_, kModalTickTimer);
}

void Win32Front::runTicksInModalLoop() {
  platform::EventLoop& loop = form_.loop();
  if (loop.inHandler()) return;  // no tick runs inside another tick or an action
  loop.runDue();
  // Windows' timer messages come 10 ms or more apart; between them the 5 and 7 ms timers are
  // kept to their due times here, until input arrives for the modal loop. A test's virtual
  // clock does not move by waiting.
  if (dynamic_cast<platform::VirtualClock*>(&loop.clock())) return;
  const int64_t end = loop.clock().nowUs() + kModalSliceUs;
  for (;;) {
    const int64_t next = loop.nextDueUs();
    if (loop.quitRequested() || next < 0 || next > end || !waitForDue(next)) return;
    loop.runDue();
  }
}

bool Win32Front::waitForDue(int64_t dueUs) {
  const int64_t left = dueUs - form_.loop().clock().nowUs();
  if (left <= 0) return true;
  if (!modalWait_) return false;
  LARGE_INTEGER due{};
  due.QuadPart = -left * 10;  // relative, in 100 ns
  if (!SetWaitableTimer(modalWait_, &due, 0, nullptr, nullptr, FALSE)) return false;
  // Ends at the due time, or early (false) with input waiting: no message is taken here.
  const DWORD r = MsgWaitForMultipleObjectsEx(1, &modalWait_, static_cast<DWORD>(left / 1000 + 2),
                                              QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  return r == WAIT_OBJECT_0 || r == WAIT_TIMEOUT;
}

bool Win32Front::onCommand(HWND from, int code) {
  using platform::ControlKind;
  if (updating_) return false;
  for (Bound& b : bound_) {
    for (size_t i = 0; i < b.items.size(); ++i)
      if (b.items[i] == from && code == BN_CLICKED) {
        auto* group = static_cast<platform::RadioGroup*>(b.control);
        input([group, i] { group->setItemIndex(static_cast<int>(i)); });
        return true;
      }
  }
  Bound* b = find(from);
  if (!b) return false;
  platform::Control* c = b->control;
  switch (c->kind()) {
    case ControlKind::Button:
      if (code == BN_CLICKED) input([c] { static_cast<platform::Button*>(c)->click(); });
      return true;
    case ControlKind::SpeedButton:
      if (code == BN_CLICKED) input([c] { static_cast<platform::SpeedButton*>(c)->click(); });
      return true;
    case ControlKind::CheckBox:
      if (code == BN_CLICKED)
        input([c] {
          auto* box = static_cast<platform::CheckBox*>(c);
          box->setChecked(!box->checked());
        });
      return true;
    case ControlKind::Edit:
      // The entry goes to the program when the user leaves the field, so that a half-typed
      // number ("-") is not taken for a wrong one.
      if (code == EN_KILLFOCUS) {
        const std::string text = textOf(from);
        input([c, text] { static_cast<platform::Edit*>(c)->setText(text); });
      }
      return true;
    case ControlKind::ComboBox:
      if (code == CBN_SELCHANGE) {
        const int index = static_cast<int>(SendMessageA(from, CB_GETCURSEL, 0, 0));
        input([c, index] { static_cast<platform::ComboBox*>(c)->pick(index); });
      }
      return true;
    default:
      return false;
  }
}

bool Win32Front::onNotify(NMHDR* header, LRESULT& result) {
  if (updating_) return false;
  if (header->hwndFrom == tabs_ && header->code == TCN_SELCHANGE) {
    const int page = static_cast<int>(SendMessageA(tabs_, TCM_GETCURSEL, 0, 0));
    input([this, page] { form_.pgMain.setActivePage(page); });
    return true;
  }
  if (header->code == UDN_DELTAPOS) {
    Bound* b = find(header->hwndFrom);
    if (!b) return false;
    auto* u = static_cast<platform::UpDown*>(b->control);
    const auto* change = reinterpret_cast<NMUPDOWN*>(header);
    // The arrow towards the maximum, whichever way the range runs.
    const bool towardsMaximum = (change->iDelta > 0) == (u->maximum() >= u->minimum());
    input([u, towardsMaximum] { towardsMaximum ? u->clickUp() : u->clickDown(); });
    result = TRUE;  // the program sets the position
    return true;
  }
  return false;
}

HBRUSH Win32Front::colorStatic(HDC dc, HWND widget) {
  Bound* b = find(widget);
  platform::Color back = platform::Color::ButtonFace;
  platform::Color text = platform::Color::WindowText;
  if (b && b->control->kind() == platform::ControlKind::Label) {
    const auto& label = static_cast<platform::Label&>(*b->control);
    back = label.color();
    text = label.fontColor();
  }
  SetTextColor(dc, colorOf(text));
  SetBkColor(dc, colorOf(back));
  const size_t slot = static_cast<size_t>(back);
  if (brushes_.size() <= slot) brushes_.resize(slot + 1, nullptr);
  if (!brushes_[slot]) brushes_[slot] = CreateSolidBrush(colorOf(back));
  return brushes_[slot];
}

void Win32Front::paintToolbar() {
  PAINTSTRUCT ps;
  const HDC dc = BeginPaint(toolbar_, &ps);
  for (int i = 0; i < 8; ++i) {
    const Rect r = toolbarShapeRect(i);
    const platform::Color color = form_.frmToolbar.Shapes[static_cast<size_t>(i)];
    const HBRUSH fill = CreateSolidBrush(colorOf(color));
    const HGDIOBJ oldBrush = SelectObject(dc, fill);
    // The plain bars are white with a black outline; the coloured ones have none.
    const HGDIOBJ oldPen =
        SelectObject(dc, GetStockObject(color == platform::Color::White ? BLACK_PEN : NULL_PEN));
    Rectangle(dc, r.x, r.y, r.x + r.w + (color == platform::Color::White ? 0 : 1),
              r.y + r.h + (color == platform::Color::White ? 0 : 1));
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(fill);
  }
  EndPaint(toolbar_, &ps);
}

bool Win32Front::pageAccelerator(char key) {
  if (!form_.pgMain.enabled()) return false;
  const int wanted = std::toupper(static_cast<unsigned char>(key));
  for (size_t i = 0; i < form_.pgMain.pages.size(); ++i) {
    const std::string& caption = form_.pgMain.pages[i];
    const size_t amp = caption.find('&');
    if (amp == std::string::npos || amp + 1 >= caption.size()) continue;
    if (std::toupper(static_cast<unsigned char>(caption[amp + 1])) == wanted) {
      input([this, i] { form_.pgMain.setActivePage(static_cast<int>(i)); });
      return true;
    }
  }
  return false;
}

LRESULT Win32Front::handleMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
      if (lParam && onCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam))) return 0;
      break;
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (onNotify(reinterpret_cast<NMHDR*>(lParam), result)) return result;
      break;
    }
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<LRESULT>(
          colorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_SETCURSOR:
      if (form_.Screen.cursor() == platform::Cursor::HourGlass) {
        SetCursor(LoadCursor(nullptr, IDC_WAIT));
        return TRUE;
      }
      if (GetClassLongPtrA(window, GCLP_HCURSOR) == 0 && LOWORD(lParam) == HTCLIENT) {
        SetCursor(
            LoadCursor(nullptr, pageCursor(static_cast<int>(GetWindowLongPtrA(window, GWLP_ID)))));
        return TRUE;
      }
      break;
    case WM_PAINT:
      if (window == toolbar_) {
        paintToolbar();
        return 0;
      }
      break;
    case WM_GETMINMAXINFO:
      if (window == toolbar_) {
        RECT t{0, 0, 30, kToolButtonSize};
        AdjustWindowRectEx(&t, static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)));
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = {t.right - t.left, t.bottom - t.top};
        return 0;
      }
      break;
    case WM_ENTERSIZEMOVE:
    case WM_ENTERMENULOOP:
      beginModalLoop();
      break;
    case WM_EXITSIZEMOVE:
      endModalLoop();
      if (window == main_ || window == toolbar_) userMoved(window);
      break;
    case WM_EXITMENULOOP:
      endModalLoop();
      break;
    case WM_TIMER:
      if (window == main_ && wParam == kModalTickTimer) {
        runTicksInModalLoop();
        return 0;
      }
      break;
    case kShowErrorsMessage:
      showPendingErrors();
      return 0;
    case WM_ACTIVATE:
      // As in a dialog, the focus comes back to the control that had it.
      if (window != main_) break;
      if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && IsChild(main_, focus)) lastFocus_ = focus;
      } else if (!HIWORD(wParam) && lastFocus_ && IsChild(main_, lastFocus_) &&
                 IsWindowVisible(lastFocus_) && IsWindowEnabled(lastFocus_) &&
                 // a radio item takes the focus only as the group's choice
                 (!(SendMessageA(lastFocus_, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) ||
                  SendMessageA(lastFocus_, BM_GETCHECK, 0, 0) == BST_CHECKED)) {
        SetFocus(lastFocus_);
        return 0;
      }
      break;
    case WM_SYSCOMMAND:
      if (window == main_ && (wParam & 0xFFF0) == kAddZoneCommand) {
        addZoneHere();
        return 0;
      }
      if (window == main_ &&
          ((wParam & 0xFFF0) == kOpenBoardCommand || (wParam & 0xFFF0) == kOpenLogCommand)) {
        openLogFile((wParam & 0xFFF0) == kOpenBoardCommand);
        return 0;
      }
      if (window == main_ && (wParam & 0xFFF0) == SC_KEYMENU && lParam &&
          pageAccelerator(static_cast<char>(lParam)))
        return 0;
      break;
    case WM_CLOSE:
      if (window == main_) {
        // The entry typed last goes in first; a rejected one is reported while the window is
        // still there.
        applyFocusedEntry();
        showPendingErrors();
        input([this] { form_.FormClose(); });
        showPendingErrors();
        if (onClosed) onClosed();
        return 0;
      }
      if (window == toolbar_) return 0;  // the toolbar only switches back
      break;
    default:
      break;
  }
  return DefWindowProcA(window, msg, wParam, lParam);
}

}  // namespace gui
