#include "cli/command_line.h"

#include <sstream>
#include <vector>

#include "app/form_main.h"
#include "config/zone_writer.h"
#include "platform/ini_file.h"

namespace {

std::vector<std::string> words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> out;
  std::string w;
  while (in >> w) out.push_back(w);
  return out;
}

/// The rest of the line after the first word, without surrounding blanks.
std::string argument(const std::string& line) {
  const size_t start = line.find_first_not_of(" \t");
  if (start == std::string::npos) return {};
  const size_t space = line.find_first_of(" \t", start);
  if (space == std::string::npos) return {};
  const size_t from = line.find_first_not_of(" \t", space);
  if (from == std::string::npos) return {};
  const size_t to = line.find_last_not_of(" \t\r\n");
  return line.substr(from, to - from + 1);
}

bool parseInt(const std::string& s, int& v) {
  try {
    size_t used = 0;
    v = std::stoi(s, &used);
    return used == s.size();
  } catch (...) {
    return false;
  }
}

/// A user can reach a control when it is shown and enabled, and so is the page holding it.
bool Reachable(TFormMain& form, const TControlEntry& e) {
  return e.control->visible() && e.control->enabled() && (e.page < 0 || form.pgMain.enabled());
}

/// What a user's input does to one control; false with a message when the input does not fit.
bool Apply(const TControlEntry& e, const std::string& arg, std::string& error) {
  const std::string& name = e.control->name();
  switch (e.control->kind()) {
    case platform::ControlKind::Action:
      static_cast<platform::Action*>(e.control)->execute();
      return true;
    case platform::ControlKind::Button:
      static_cast<platform::Button*>(e.control)->click();
      return true;
    case platform::ControlKind::SpeedButton:
      static_cast<platform::SpeedButton*>(e.control)->click();
      return true;
    case platform::ControlKind::CheckBox: {
      int v = 0;
      if (!parseInt(arg, v) || (v != 0 && v != 1)) {
        error = name + " needs 0 or 1";
        return false;
      }
      static_cast<platform::CheckBox*>(e.control)->setChecked(v == 1);
      return true;
    }
    case platform::ControlKind::RadioGroup: {
      auto* g = static_cast<platform::RadioGroup*>(e.control);
      int v = 0;
      if (!parseInt(arg, v) || v < 0 || v >= static_cast<int>(g->items().size())) {
        error = name + " needs an item number from 0 to " + std::to_string(g->items().size() - 1);
        return false;
      }
      g->setItemIndex(v);
      return true;
    }
    case platform::ControlKind::Edit:
      static_cast<platform::Edit*>(e.control)->setText(arg);
      return true;
    case platform::ControlKind::UpDown: {
      auto* u = static_cast<platform::UpDown*>(e.control);
      if (arg == "up") {
        u->clickUp();
      } else if (arg == "down") {
        u->clickDown();
      } else {
        error = name + " needs up or down";
        return false;
      }
      return true;
    }
    case platform::ControlKind::ComboBox: {
      auto* c = static_cast<platform::ComboBox*>(e.control);
      const auto& items = c->items();
      for (size_t i = 0; i < items.size(); ++i) {
        if (items[i] == arg) {
          c->pick(static_cast<int>(i));
          return true;
        }
      }
      error = "no data file named '" + arg + "' in the list";
      return false;
    }
    default:
      error = name + " takes no input";
      return false;
  }
}

/// addZone "<CarrierIdent>" [length_m width_m]: the identifier in double quotes (or one word),
/// then both sizes or neither.
bool AddZone(TFormMain& form, const std::string& arg, std::string& error, std::string* reply) {
  std::string ident, rest;
  if (!arg.empty() && arg.front() == '"') {
    const size_t close = arg.find('"', 1);
    if (close == std::string::npos) {
      error = "addZone: the carrier identifier has no closing quote";
      return false;
    }
    ident = arg.substr(1, close - 1);
    rest = arg.substr(close + 1);
  } else {
    const size_t space = arg.find_first_of(" \t");
    ident = arg.substr(0, space);
    if (space != std::string::npos) rest = arg.substr(space);
  }
  const std::vector<std::string> sizes = words(rest);
  double length = DefaultNewZoneLengthM, width = DefaultNewZoneWidthM;
  if (!sizes.empty()) {
    const auto l = sizes.size() == 2 ? platform::parseFloat(sizes[0]) : std::nullopt;
    const auto wd = sizes.size() == 2 ? platform::parseFloat(sizes[1]) : std::nullopt;
    if (!l || !wd) {
      error = "addZone needs \"<CarrierIdent>\" and, optionally, length and width in metres";
      return false;
    }
    length = *l;
    width = *wd;
  }
  const TCarrierData::TAddZoneResult result = form.carrierData.AddZoneHere(ident, length, width);
  if (!result.added) {
    error = result.message;
    return false;
  }
  if (reply) *reply = result.message;
  return true;
}

}  // namespace

bool RunCommandLine(TFormMain& form, const std::string& line, std::string& error,
                    std::string* reply) {
  const std::vector<std::string> w = words(line);
  if (w.empty()) return true;
  if (w[0] == "addZone") return AddZone(form, argument(line), error, reply);
  const std::string arg = argument(line);
  // "name" finds the first control of that name, "frmToolbar.name" the one in that window.
  std::string window, name = w[0];
  if (const size_t dot = name.find('.'); dot != std::string::npos) {
    window = name.substr(0, dot);
    name.erase(0, dot + 1);
  }
  for (const TControlEntry& e : form.controls()) {
    if (e.control->name() != name || (!window.empty() && window != e.window)) continue;
    const bool isInput = e.control->kind() != platform::ControlKind::Label &&
                         e.control->kind() != platform::ControlKind::Window &&
                         e.control->kind() != platform::ControlKind::FileList &&
                         e.control->kind() != platform::ControlKind::PageControl;
    if (!isInput) continue;
    if (!e.control->visible() && e.control->kind() != platform::ControlKind::Action) break;
    if (!Reachable(form, e) && e.control->kind() != platform::ControlKind::Action) {
      error = name + " is disabled";
      return false;
    }
    return Apply(e, arg, error);
  }
  error = "unknown command '" + w[0] + "' (type help)";
  return false;
}

std::string CommandHelp(TFormMain& form) {
  struct Group {
    platform::ControlKind kind;
    const char* title;
    std::string names;
  };
  Group groups[] = {
      {platform::ControlKind::Action, "actions", {}},
      {platform::ControlKind::Button, "buttons", {}},
      {platform::ControlKind::SpeedButton, "speed buttons (main window and toolbar)", {}},
      {platform::ControlKind::CheckBox, "check boxes (0/1)", {}},
      {platform::ControlKind::RadioGroup, "radio groups (item number)", {}},
      {platform::ControlKind::Edit, "edit fields (text)", {}},
      {platform::ControlKind::UpDown, "up-down arrows (up/down)", {}},
      {platform::ControlKind::ComboBox, "data file (name)", {}},
  };
  for (const TControlEntry& e : form.controls()) {
    if (!e.control->visible() && e.control->kind() != platform::ControlKind::Action) continue;
    for (Group& g : groups)
      if (g.kind == e.control->kind()) g.names += " " + e.control->name();
  }
  std::string help;
  for (const Group& g : groups) help += std::string(g.title) + ":" + g.names + "\n";
  return help +
         "A name in both windows means the main window's; frmToolbar.NAME the toolbar's.\n"
         "addZone \"<CarrierIdent>\" [length_m width_m]: add a carrier zone where the aircraft "
         "stands\n"
         "quit: close the window";
}
