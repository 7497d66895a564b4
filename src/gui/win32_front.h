#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/form_main.h"
#include "gui/zone_dialog.h"

namespace gui {

/// The Windows face of the program: the main window and the vertical toolbar as native
/// windows and common controls, one widget per control of TFormMain::controls(). It renders
/// what the controls report through their change callbacks and forwards every click, check,
/// choice, entry and arrow to the program through the event loop's exception boundary; it
/// decides nothing itself.
class Win32Front {
 public:
  /// Creates both windows, hidden, and binds every control. Registers the window classes once.
  explicit Win32Front(TFormMain& form);
  ~Win32Front();
  Win32Front(const Win32Front&) = delete;
  Win32Front& operator=(const Win32Front&) = delete;

  /// Writes every control's whole state into its widget (after FormCreate has set the texts).
  void refreshAll();

  HWND mainWindow() const { return main_; }
  HWND toolbarWindow() const { return toolbar_; }
  /// The widget of the named control in "FormMain" or "frmToolbar"; null when it has none.
  HWND handleOf(std::string_view window, std::string_view name) const;
  /// The radio button of item `index` of a radio group; null when there is none.
  HWND radioItem(std::string_view name, int index) const;
  /// The tooltip text of a widget, empty when it has none.
  std::string tooltipOf(HWND widget) const;

  /// Called when the user closes the main window (after the program's own close has run).
  std::function<void()> onClosed;

  /// The program's error box: shown once no tick or action is running (a handler may raise it,
  /// and the box's own message loop runs the program's ticks, which must not run inside that
  /// handler), owned by whichever window shows. Does not block; boxes come one after another.
  void showErrorBox(const std::string& text);
  /// Shows the error boxes waiting, unless a handler runs; blocks until the pilot closes them.
  /// Call it where the event loop is idle.
  void showPendingErrors();

  /// Window procedure shared by the front end's own windows.
  LRESULT handleMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  struct Bound {
    platform::Control* control;
    std::string window;
    int page;
    HWND hwnd;
    std::vector<HWND> items;  // the radio buttons of a radio group
  };
  void createWindows();
  void bind(const TControlEntry& e);
  HWND createWidget(const TControlEntry& e, HWND parent, int x, int y, int w, int h);
  void update(Bound& b, platform::Change what);
  void rebuildRadioItems(Bound& b);
  void checkRadioItem(Bound& b);
  void setTip(HWND owner, HWND widget, const std::string& text);
  void placeWindow(Bound& b);
  void userMoved(HWND window);
  void showPage(int page);
  bool onCommand(HWND from, int code);
  bool onNotify(NMHDR* header, LRESULT& result);
  HBRUSH colorStatic(HDC dc, HWND widget);
  void paintToolbar();
  bool pageAccelerator(char key);
  Bound* find(HWND hwnd);
  void input(const std::function<void()>& action);
  void applyFocusedEntry();
  bool dialogKey(MSG& msg);
  std::vector<std::vector<HWND>> tabOrder() const;
  bool tabKey(bool back);
  bool arrowKey(bool back);
  void beginModalLoop();
  void endModalLoop();
  void runTicksInModalLoop();
  bool waitForDue(int64_t dueUs);
  HWND shownWindow() const;
  void addZoneHere();
  /// Opens the greenie board (made from the log first when there is none) or the trap log with
  /// the program the system opens such files with.
  void openLogFile(bool board);

  TFormMain& form_;
  HWND main_ = nullptr;
  HWND toolbar_ = nullptr;
  HWND mainTips_ = nullptr;
  HWND toolbarTips_ = nullptr;
  HWND tabs_ = nullptr;
  std::vector<HWND> pages_;
  HFONT font_ = nullptr;
  HICON icon_ = nullptr;
  HICON smallIcon_ = nullptr;
  std::vector<HBRUSH> brushes_;
  std::vector<Bound> bound_;
  bool updating_ = false;  // the widgets are being written from the program's state
  std::vector<std::function<void()>> actionHandlers_;  // the actions' own, restored at the end
  HWND lastFocus_ = nullptr;                           // the main window's, while inactive
  int modalLoops_ = 0;          // Windows' modal loops running (moving, menus, error box)
  HANDLE modalWait_ = nullptr;  // waits for a due time inside a modal loop
  std::vector<std::string> pendingErrors_;
  bool showingError_ = false;
  ZoneDialogEntry zoneEntry_;  // what the zone dialog shows next
};

/// Colour of a program colour on this system.
COLORREF colorOf(platform::Color c);

}  // namespace gui
