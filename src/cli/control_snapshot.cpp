#include "cli/control_snapshot.h"

#include <ostream>

#include "app/form_main.h"

namespace {

std::string onOff(bool b) { return b ? "enabled" : "disabled"; }

/// The state a user sees of one control, empty for those the snapshot leaves to other reports
/// (labels print their own changes) or that show no state (plain buttons, actions).
std::string stateOf(const platform::Control& c) {
  using platform::ControlKind;
  switch (c.kind()) {
    case ControlKind::SpeedButton: {
      const auto& b = static_cast<const platform::SpeedButton&>(c);
      if (b.groupIndex == 0) return {};
      return (b.caption().empty() ? "" : b.caption() + " ") + (b.down() ? "[down]" : "[up]") +
             ", " + onOff(b.enabled());
    }
    case ControlKind::PageControl:
      return onOff(c.enabled());
    case ControlKind::ComboBox:
      return static_cast<const platform::ComboBox&>(c).text() + ", " + onOff(c.enabled());
    case ControlKind::CheckBox:
      if (!c.visible()) return {};
      return static_cast<const platform::CheckBox&>(c).checked() ? "checked" : "unchecked";
    case ControlKind::RadioGroup: {
      const auto& g = static_cast<const platform::RadioGroup&>(c);
      return std::to_string(g.itemIndex()) + " " + g.selectedText() +
             (g.enabled() ? "" : ", disabled");
    }
    case ControlKind::Edit:
      return static_cast<const platform::Edit&>(c).text();
    case ControlKind::Window: {
      const auto& w = static_cast<const platform::Window&>(c);
      return std::string(w.visible() ? "shown" : "hidden") + " at " + std::to_string(w.left()) +
             "," + std::to_string(w.top());
    }
    default:
      return {};
  }
}

}  // namespace

std::map<std::string, std::string> ControlSnapshot::take() {
  std::map<std::string, std::string> s;
  for (const TControlEntry& e : form_.controls()) {
    std::string state = stateOf(*e.control);
    if (state.empty()) continue;
    // A name both windows use is told apart by the toolbar's window name.
    const bool toolbar = std::string_view(e.window) == "frmToolbar" &&
                         e.control->kind() != platform::ControlKind::Window;
    s[(toolbar ? "frmToolbar." : "") + e.control->name()] = std::move(state);
  }
  return s;
}

void ControlSnapshot::printChanges(std::ostream& out) {
  std::map<std::string, std::string> now = take();
  for (const auto& [name, value] : now) {
    auto it = last_.find(name);
    if (it == last_.end() || it->second != value) out << name << ": " << value << "\n";
  }
  out.flush();
  last_ = std::move(now);
}
