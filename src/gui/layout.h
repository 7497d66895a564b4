#pragma once

#include <string_view>

namespace gui {

/// Where a control sits: x, y, width and height in pixels, within its window's client area
/// or, for controls on a page of pgMain, within that page.
struct Rect {
  int x, y, w, h;
};

/// Client size of the main window.
inline constexpr int kMainClientWidth = 495;
inline constexpr int kMainClientHeight = 350;
/// Size of the toolbar's buttons and the width of its coloured bars.
inline constexpr int kToolButtonSize = 23;
inline constexpr int kToolBarWidth = 3;

/// The place of the named control of the window ("FormMain" or "frmToolbar"); false for a
/// control that has no place of its own (hidden lists, actions, the windows themselves).
bool layoutOf(std::string_view window, std::string_view name, Rect& r);
/// The place of a control as the window lists it: its place of its own (layoutOf) or, for a
/// Keystrokes label or a toolbar button that has none, the next free place after today's by its
/// order (its place among its page's or window's entries, the toolbar window itself first).
bool placeOf(std::string_view window, int page, int order, std::string_view name, Rect& r);
/// The place of item `index` of a radio group, within the group.
Rect radioItemRect(const Rect& group, int index);
/// The place of the eight coloured bars of the toolbar, Shape1 to Shape8.
Rect toolbarShapeRect(int index);
/// Client height of the toolbar: its column of `buttons` buttons (the toggle among them).
int toolbarClientHeight(int buttons);

}  // namespace gui
