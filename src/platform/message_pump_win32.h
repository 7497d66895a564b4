#pragma once

namespace platform {

/// Dispatches every window message queued for this thread. False when a WM_QUIT was among
/// them (it is taken off the queue like the others).
bool pumpMessages();

}  // namespace platform
