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
/// The place of item `index` of a radio group, within the group.
Rect radioItemRect(const Rect& group, int index);
/// The place of the eight coloured bars of the toolbar, Shape1 to Shape8.
Rect toolbarShapeRect(int index);
/// Client height of the toolbar: its button column.
int toolbarClientHeight();

}  // namespace gui
