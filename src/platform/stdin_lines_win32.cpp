#include "platform/stdin_lines.h"

#include <windows.h>

namespace platform {

// A pipe or a file is read as far as it has bytes; a console is read once it has input
// waiting, which then blocks until the user ends the line with Enter.
bool StdinLines::readAvailable() {
  const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  if (in == nullptr || in == INVALID_HANDLE_VALUE) return false;
  const DWORD type = GetFileType(in);
  char buf[512];
  DWORD got = 0;
  for (;;) {
    if (type == FILE_TYPE_PIPE) {
      DWORD available = 0;
      if (!PeekNamedPipe(in, nullptr, 0, nullptr, &available, nullptr)) return false;
      if (available == 0) return true;
    } else if (type == FILE_TYPE_CHAR) {
      if (WaitForSingleObject(in, 0) != WAIT_OBJECT_0) return true;
      DWORD events = 0;
      if (!GetNumberOfConsoleInputEvents(in, &events) || events == 0) return true;
    }
    if (!ReadFile(in, buf, sizeof buf, &got, nullptr) || got == 0) return false;
    pending_.append(buf, got);
    if (type == FILE_TYPE_CHAR) return true;
  }
}

}  // namespace platform
