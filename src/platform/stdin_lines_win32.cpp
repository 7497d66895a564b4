#include "platform/stdin_lines.h"

#include <mutex>

#include <windows.h>

namespace platform {

// A console is read on a thread of its own: a console read returns only once the user ends
// the line with Enter (the console edits and echoes the line meanwhile), and any key, focus or
// mouse event makes the console look readable. The reading thread hands the text over here;
// the loop's thread only takes it, so its timers never wait for the user.
struct StdinLines::Reader {
  std::mutex mutex;
  std::string text;
  bool ended = false;
};

namespace {

struct ReaderStart {
  HANDLE in;
  std::shared_ptr<StdinLines::Reader> reader;
};

DWORD WINAPI readConsole(void* param) {
  const std::unique_ptr<ReaderStart> start(static_cast<ReaderStart*>(param));
  StdinLines::Reader& reader = *start->reader;
  char buf[512];
  for (;;) {
    DWORD got = 0;
    SetLastError(ERROR_SUCCESS);
    const BOOL ok = ReadFile(start->in, buf, sizeof buf, &got, nullptr);
    // Ctrl-C ends a console read with nothing read; the stop handler deals with it.
    if (got == 0 && GetLastError() == ERROR_OPERATION_ABORTED) continue;
    const std::lock_guard<std::mutex> lock(reader.mutex);
    if (!ok || got == 0) {
      reader.ended = true;
      return 0;
    }
    reader.text.append(buf, got);
  }
}

}  // namespace

// A pipe or a file is read as far as it has bytes; a console (or another character device)
// through the reading thread.
bool StdinLines::readAvailable() {
  if (reader_) {
    const std::lock_guard<std::mutex> lock(reader_->mutex);
    pending_ += reader_->text;
    reader_->text.clear();
    return !reader_->ended;
  }
  const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  if (in == nullptr || in == INVALID_HANDLE_VALUE) return false;
  const DWORD type = GetFileType(in);
  if (type == FILE_TYPE_CHAR) {
    auto reader = std::make_shared<Reader>();
    auto* start = new ReaderStart{in, reader};
    const HANDLE thread = CreateThread(nullptr, 0, readConsole, start, 0, nullptr);
    if (!thread) {
      delete start;
      return false;
    }
    CloseHandle(thread);  // it ends by itself at the end of the input, or with the program
    reader_ = std::move(reader);
    return true;
  }
  char buf[512];
  DWORD got = 0;
  for (;;) {
    if (type == FILE_TYPE_PIPE) {
      DWORD available = 0;
      if (!PeekNamedPipe(in, nullptr, 0, nullptr, &available, nullptr)) return false;
      if (available == 0) return true;
    }
    if (!ReadFile(in, buf, sizeof buf, &got, nullptr) || got == 0) return false;
    pending_.append(buf, got);
  }
}

}  // namespace platform
