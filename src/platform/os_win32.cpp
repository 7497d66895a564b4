#include "platform/message_pump_win32.h"
#include "platform/os.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include <windows.h>

#include <io.h>
#include <mmsystem.h>

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace platform {

namespace {
volatile int* gStopFlag = nullptr;
MessageFilter gMessageFilter;

// The waitable timer may end a wait a millisecond or more late (Wine runs its timers on its
// server's millisecond poll), so a wait to a due time sets it this much early and yields the
// processor for the rest, looking out for window messages meanwhile.
constexpr int64_t kYieldUs = 1500;
BOOL WINAPI onConsoleEvent(DWORD) {
  if (!gStopFlag) return FALSE;
  *gStopFlag = 1;
  return TRUE;
}
}  // namespace

uint32_t currentProcessId() { return GetCurrentProcessId(); }

DateTime localDateTime() {
  SYSTEMTIME st{};
  GetLocalTime(&st);
  return DateTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

bool syncFile(std::FILE* f) {
  if (std::fflush(f) != 0) return false;
  const HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f)));
  return h != INVALID_HANDLE_VALUE && FlushFileBuffers(h) != 0;
}

bool replaceFile(const std::string& source, const std::string& target) {
  return MoveFileExA(source.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

std::string executableFolder() {
  char path[MAX_PATH + 1] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return ".\\";
  std::string folder(path, n);
  const size_t cut = folder.find_last_of("\\/");
  return cut == std::string::npos ? ".\\" : folder.substr(0, cut + 1);
}

void setEnvironmentVariable(const std::string& name, const std::string& value) {
  SetEnvironmentVariableA(name.c_str(), value.c_str());
  _putenv_s(name.c_str(), value.c_str());  // the C library keeps its own copy
}

void installStopHandler(volatile int* flag) {
  gStopFlag = flag;
  SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

bool waitUntilUs(const Clock& clock, int64_t untilUs, int64_t maxWaitUs) {
  // A high-resolution waitable timer set to the due time: plain window-message timers and
  // Sleep tick only every 10-16 ms, too coarse for the 5 and 7 ms timers.
  static HANDLE timer = [] {
    HANDLE t = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                      TIMER_ALL_ACCESS);
    if (!t) {
      timeBeginPeriod(1);
      t = CreateWaitableTimerW(nullptr, TRUE, nullptr);
    }
    return t;
  }();
  const int64_t now = clock.nowUs();
  const bool toDueTime = untilUs - now <= maxWaitUs;
  const int64_t wait = std::min(untilUs - now, maxWaitUs);
  // Only the stretch before the last kYieldUs goes to the timer when the wait ends at a due
  // time; the rest is waited out below.
  const int64_t timerWait = toDueTime ? wait - kYieldUs : wait;
  bool input = false;
  if (timerWait > 0) {
    DWORD waitMs = static_cast<DWORD>((timerWait + 999) / 1000);
    DWORD count = 0;
    if (timer) {
      // Relative in 100 ns units, taken from the due time just now: the waitable timer's
      // absolute times follow the wall clock, which the user may set.
      LARGE_INTEGER due{};
      due.QuadPart = -timerWait * 10;
      if (SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) {
        count = 1;
        waitMs += 1;  // the timer ends the wait; this is a backstop
      }
    }
    input = MsgWaitForMultipleObjectsEx(count, count ? &timer : nullptr, waitMs, QS_ALLINPUT,
                                        MWMO_INPUTAVAILABLE) == WAIT_OBJECT_0 + count;
  }
  MSG msg;
  if (toDueTime && !input) {
    while (clock.nowUs() < untilUs && !PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
      SwitchToThread();
  }
  return pumpMessages();
}

void setMessageFilter(MessageFilter filter) { gMessageFilter = std::move(filter); }

bool pumpMessages() {
  bool quit = false;
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      quit = true;
      continue;
    }
    if (gMessageFilter && gMessageFilter(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return !quit;
}

}  // namespace platform
