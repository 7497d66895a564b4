#include "harness/golden_controls.h"

#include <iterator>
#include <vector>

namespace golden {

namespace {

constexpr const char* kColorNames[] = {"ButtonFace", "White", "Navy", "Black",
                                       "Lime",       "Aqua",  "Red",  "WindowText"};
constexpr const char* kCursorNames[] = {"Default", "HourGlass", "Cross", "HandPoint"};
constexpr const char* kChangeNames[] = {"text",      "caption",   "enabled",    "visible", "hint",
                                        "color",     "fontColor", "down",       "checked", "items",
                                        "itemIndex", "position",  "activePage", "bounds"};
static_assert(std::size(kChangeNames) == static_cast<size_t>(platform::Change::Bounds) + 1);
static_assert(std::size(kColorNames) == static_cast<size_t>(platform::Color::WindowText) + 1);

const char* colorName(platform::Color c) { return kColorNames[static_cast<size_t>(c)]; }

std::string joined(const std::vector<std::string>& items) {
  std::string s = "[";
  for (size_t i = 0; i < items.size(); ++i) s += (i ? "|" : "") + items[i];
  return s + "]";
}

}  // namespace

const char* ChangeName(platform::Change what) { return kChangeNames[static_cast<size_t>(what)]; }

const char* CursorName(platform::Cursor c) { return kCursorNames[static_cast<size_t>(c)]; }

std::string ValueOf(platform::Control& c, platform::Change what) {
  using platform::Change;
  using platform::ControlKind;
  switch (what) {
    case Change::Enabled:
      return c.enabled() ? "1" : "0";
    case Change::Visible:
      return c.visible() ? "1" : "0";
    case Change::Hint:
      return c.hint();
    default:
      break;
  }
  switch (c.kind()) {
    case ControlKind::Label: {
      auto& l = static_cast<platform::Label&>(c);
      if (what == Change::Color) return colorName(l.color());
      if (what == Change::FontColor) return colorName(l.fontColor());
      return l.text();
    }
    case ControlKind::Button:
      return static_cast<platform::Button&>(c).caption();
    case ControlKind::SpeedButton: {
      auto& b = static_cast<platform::SpeedButton&>(c);
      if (what == Change::Down) return b.down() ? "1" : "0";
      return b.caption();
    }
    case ControlKind::CheckBox: {
      auto& b = static_cast<platform::CheckBox&>(c);
      if (what == Change::Checked) return b.checked() ? "1" : "0";
      return b.caption();
    }
    case ControlKind::RadioGroup: {
      auto& g = static_cast<platform::RadioGroup&>(c);
      if (what == Change::ItemIndex) return std::to_string(g.itemIndex());
      if (what == Change::Items) {
        std::vector<std::string> items;
        for (size_t i = 0; i < g.items().size(); ++i)
          items.push_back(g.items()[i] + "(" + std::to_string(g.itemData(static_cast<int>(i))) +
                          ")");
        return joined(items);
      }
      return g.caption();
    }
    case ControlKind::Edit:
      return static_cast<platform::Edit&>(c).text();
    case ControlKind::UpDown:
      return std::to_string(static_cast<platform::UpDown&>(c).position());
    case ControlKind::PageControl:
      return std::to_string(static_cast<platform::PageControl&>(c).activePage());
    case ControlKind::ComboBox: {
      auto& b = static_cast<platform::ComboBox&>(c);
      if (what == Change::ItemIndex) return std::to_string(b.itemIndex());
      return joined(b.items());
    }
    case ControlKind::FileList:
      return joined(static_cast<platform::FileListBox&>(c).items());
    case ControlKind::Window: {
      auto& w = static_cast<platform::Window&>(c);
      if (what == Change::Bounds)
        return std::to_string(w.left()) + "," + std::to_string(w.top()) + " " +
               std::to_string(w.clientWidth) + "x" + std::to_string(w.clientHeight);
      return w.caption();
    }
    case ControlKind::Action:
      return static_cast<platform::Action&>(c).caption();
  }
  return "?";
}

namespace {

/// Every property a control of this kind shows, in a fixed order.
std::vector<platform::Change> propertiesOf(const platform::Control& c) {
  using platform::Change;
  using platform::ControlKind;
  std::vector<Change> p = {Change::Enabled, Change::Visible, Change::Hint};
  switch (c.kind()) {
    case ControlKind::Label:
      p.insert(p.end(), {Change::Text, Change::Color, Change::FontColor});
      break;
    case ControlKind::Button:
      p.push_back(Change::Caption);
      break;
    case ControlKind::SpeedButton:
      p.insert(p.end(), {Change::Caption, Change::Down});
      break;
    case ControlKind::CheckBox:
      p.insert(p.end(), {Change::Caption, Change::Checked});
      break;
    case ControlKind::RadioGroup:
      p.insert(p.end(), {Change::Caption, Change::Items, Change::ItemIndex});
      break;
    case ControlKind::Edit:
      p.push_back(Change::Text);
      break;
    case ControlKind::UpDown:
      p.push_back(Change::Position);
      break;
    case ControlKind::PageControl:
      p.push_back(Change::ActivePage);
      break;
    case ControlKind::ComboBox:
      p.insert(p.end(), {Change::Items, Change::ItemIndex});
      break;
    case ControlKind::FileList:
      p.push_back(Change::Items);
      break;
    case ControlKind::Window:
      p.insert(p.end(), {Change::Caption, Change::Bounds});
      break;
    case ControlKind::Action:
      p.push_back(Change::Caption);
      break;
  }
  return p;
}

}  // namespace

std::string StateOf(platform::Control& c) {
  std::string s;
  for (const platform::Change what : propertiesOf(c))
    s += std::string(" ") + ChangeName(what) + "=" + ValueOf(c, what);
  switch (c.kind()) {
    case platform::ControlKind::Label: {
      auto& l = static_cast<platform::Label&>(c);
      s += " left=" + std::to_string(l.left) + " width=" + std::to_string(l.width);
      break;
    }
    case platform::ControlKind::SpeedButton: {
      auto& b = static_cast<platform::SpeedButton&>(c);
      s += " group=" + std::to_string(b.groupIndex) + " allUp=" + (b.allowAllUp ? "1" : "0");
      break;
    }
    case platform::ControlKind::UpDown: {
      auto& u = static_cast<platform::UpDown&>(c);
      s += " range=" + std::to_string(u.minimum()) + ".." + std::to_string(u.maximum()) +
           " step=" + std::to_string(u.increment()) +
           " associate=" + (u.associate ? u.associate->name() : std::string("-"));
      break;
    }
    case platform::ControlKind::PageControl:
      s += " pages=" + joined(static_cast<platform::PageControl&>(c).pages);
      break;
    case platform::ControlKind::FileList:
      s += " mask=" + static_cast<platform::FileListBox&>(c).mask;
      break;
    default:
      break;
  }
  return s;
}

}  // namespace golden
