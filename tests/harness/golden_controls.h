#pragma once

#include <string>

#include "platform/controls.h"

// How a golden record writes the controls: one property as its change shows it, and a whole
// control on one line.

namespace golden {

/// Name of a property in a record ("text", "itemIndex").
const char* ChangeName(platform::Change what);
/// Name of a cursor shape in a record.
const char* CursorName(platform::Cursor c);
/// The value of one property of a control, as its change shows it.
std::string ValueOf(platform::Control& c, platform::Change what);
/// Every property of a control, and what no change reports (label geometry, up-down range,
/// pages, file mask), as " name=value" pairs.
std::string StateOf(platform::Control& c);

}  // namespace golden
