#pragma once

#include <windows.h>

#include <functional>

namespace platform {

/// Dispatches every window message queued for this thread, each first offered to the message
/// filter. False when a WM_QUIT was among them (it is taken off the queue like the others).
bool pumpMessages();

/// Looks at a window message before pumpMessages dispatches it; true when it has handled the
/// message itself (a window's keyboard interface: Tab, Enter, arrows, mnemonics).
using MessageFilter = std::function<bool(MSG&)>;
/// Makes pumpMessages offer every message to filter first; an empty filter removes it.
void setMessageFilter(MessageFilter filter);

}  // namespace platform
