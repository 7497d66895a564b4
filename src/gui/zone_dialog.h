#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace gui {

/// What the pilot typed in the "Add carrier zone here" dialog, as typed.
struct ZoneDialogEntry {
  std::string ident;
  std::string length;
  std::string width;
};

/// Shows the modal dialog that asks for a new zone's carrier identifier, length and width
/// (filled in with entry's values) over owner; blocks until closed. The entry on OK, nothing on
/// Cancel. The dialog decides nothing: the program checks and uses the three values.
std::optional<ZoneDialogEntry> askNewZone(HWND owner, const ZoneDialogEntry& entry);

}  // namespace gui
