#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/layout.h"
#include "harness/harness.h"

namespace {

bool overlap(const gui::Rect& a, const gui::Rect& b) {
  return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

// Every control a user sees has a place of its own inside its window or page, so the window
// programs show each of them and none hides another.
TEST(WindowLayout, EveryVisibleControlHasAPlaceOfItsOwn) {
  harness::Harness h;
  TFormMain& form = h.start();
  gui::Rect pageArea{0, 0, 471, 150};  // the body of pgMain below its tabs
  struct Placed {
    std::string name;
    std::string window;
    int page;
    gui::Rect r;
  };
  std::vector<Placed> placed;
  for (const TControlEntry& e : form.controls()) {
    const auto kind = e.control->kind();
    if (kind == platform::ControlKind::Window || kind == platform::ControlKind::Action ||
        kind == platform::ControlKind::FileList)
      continue;
    gui::Rect r{};
    ASSERT_TRUE(gui::placeOf(e.window, e.page, e.order, e.control->name(), r)) << e.control->name();
    const gui::Rect area =
        e.page >= 0 ? pageArea
        : std::string(e.window) == "FormMain"
            ? gui::Rect{0, 0, gui::kMainClientWidth, gui::kMainClientHeight}
            : gui::Rect{
                  0, 0, 30,
                  gui::toolbarClientHeight(static_cast<int>(form.frmToolbar.buttons().size()))};
    const int bottom = kind == platform::ControlKind::ComboBox ? r.y + 21 : r.y + r.h;
    EXPECT_TRUE(r.x >= area.x && r.y >= area.y && r.x + r.w <= area.x + area.w &&
                bottom <= area.y + area.h)
        << e.control->name() << " lies outside its window or page";
    for (const Placed& p : placed)
      EXPECT_FALSE(p.window == e.window && p.page == e.page && overlap(p.r, r) &&
                   kind != platform::ControlKind::ComboBox)
          << e.control->name() << " covers " << p.name;
    placed.push_back({e.control->name(), e.window, e.page, r});
  }
}

// The options page places its numbers in a loop over their rows: one row every 24 pixels, the
// note beside the timing granularity, the realistic-gear check box below the last number, the
// trap-log check box below it and the LSO-calls check box beside that.
TEST(WindowLayout, TheOptionNumbersKeepTheirPlaces) {
  struct Expected {
    const char* name;
    gui::Rect r;
  };
  const Expected expected[] = {
      {"lblCatapultCutoff", {8, 10, 110, 15}},      {"edtCatapultCutoff", {120, 7, 56, 19}},
      {"updwnCatapultCutoff", {176, 7, 16, 19}},    {"lblCatapultHoldFactor", {8, 30, 110, 15}},
      {"edtCatapultHoldFactor", {120, 27, 56, 19}}, {"updwnCatapultHoldFactor", {176, 27, 16, 19}},
      {"lblAccelFactor", {8, 50, 110, 15}},         {"edtAccelFactor", {120, 47, 56, 19}},
      {"updwnAccelFactor", {176, 47, 16, 19}},      {"lblDecelFactor", {8, 70, 110, 15}},
      {"edtDecelFactor", {120, 67, 56, 19}},        {"updwnDecelFactor", {176, 67, 16, 19}},
      {"lblTimingResolution", {8, 90, 110, 15}},    {"edtTimingResolution", {120, 87, 56, 19}},
      {"updwnTimingResolution", {176, 87, 16, 19}}, {"lblAccelDecelNote", {194, 90, 62, 15}},
      {"chkbxRealisticGear", {8, 109, 248, 17}},    {"chkbxTrapLog", {8, 128, 150, 17}},
      {"chkbxLsoCalls", {164, 128, 88, 17}},
  };
  for (const Expected& e : expected) {
    gui::Rect r{};
    ASSERT_TRUE(gui::layoutOf("FormMain", e.name, r)) << e.name;
    EXPECT_TRUE(r.x == e.r.x && r.y == e.r.y && r.w == e.r.w && r.h == e.r.h)
        << e.name << " at " << r.x << "," << r.y << " " << r.w << "x" << r.h;
  }
}

}  // namespace
