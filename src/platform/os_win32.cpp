#include "platform/os.h"

#include "platform/message_pump_win32.h"
#include "platform/timer_pace.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
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

// The waitable timer may end a wait late: Wine runs its timers on its server's millisecond
// poll, and on a busy machine the thread waits for a processor once woken. A wait to a due time
// therefore sets the timer early by the largest lateness seen lately and spins for the rest
// without giving the processor away: a yield there hands the core to whatever else is running
// (a simulator running flat out) and comes back milliseconds late.
constexpr int64_t kMinEarlyUs = 300;
constexpr int64_t kMaxEarlyUs = 2500;
constexpr int64_t kEarlyMarginUs = 200;    // on top of the lateness seen
constexpr int64_t kLateDecayUs = 10;       // per wait, so one bad wake-up is forgotten in a second
thread_local int64_t gTimerLateUs = 1000;  // largest recent lateness of the timer, decaying

// Wine runs this program as a Linux process; it is told by ntdll's wine_get_version, which
// Windows does not have. Two things differ there. Wine takes a thread's Windows priority but
// never passes it on to Linux, so the loop asks Linux itself for the priority it takes on
// Linux (see linuxRealTime). And a wait on an object, a message wait or a look at the message
// queue is a request to the Wine server, a separate program of normal priority that must get
// a processor first; a plain non-alertable sleep (NtDelayExecution) is done inside the
// process, so the loop sleeps that way while a fast timer runs (see waitUntilUs).
struct WineHost {
  bool wine = false;
  bool onLinux = false;  // the host system is Linux (Wine also runs on macOS and FreeBSD)
  using DelayFn = LONG(WINAPI*)(BOOLEAN alertable, const LARGE_INTEGER* interval);
  DelayFn delay = nullptr;
};

// A function of a system library by name, as the type it has (GetProcAddress gives every
// function one type; the cast goes through void* so the compiler accepts it).
template <typename Fn>
Fn systemFunction(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const WineHost& wineHost() {
  static const WineHost host = [] {
    WineHost h;
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    if (!ntdll || !GetProcAddress(ntdll, "wine_get_version")) return h;
    h.wine = true;
    using HostVersionFn = void(CDECL*)(const char** sysname, const char** release);
    if (const auto hostVersion = systemFunction<HostVersionFn>(ntdll, "wine_get_host_version")) {
      const char* sysname = nullptr;
      const char* release = nullptr;
      hostVersion(&sysname, &release);
      h.onLinux = sysname && std::strcmp(sysname, "Linux") == 0;
    }
    h.delay = systemFunction<WineHost::DelayFn>(ntdll, "NtDelayExecution");
    return h;
  }();
  return host;
}

// Under Wine on Linux, sets the calling thread's Linux scheduling: the lowest real-time
// priority (SCHED_FIFO 1) when fast, the normal time-shared one otherwise; what the Linux
// build does while a fast timer runs. A 32-bit program under Wine runs in a Linux process
// whose threads are Linux threads, so the system call (int 0x80, the i386 call numbers) acts
// on this thread. Linux grants it only to a user with the right (root, or a real-time limit
// from `ulimit -r`); refused, the thread stays as it was. True when Linux accepted it.
bool linuxRealTime(bool fast) {
#if defined(__i386__)
  if (!wineHost().onLinux) return false;
  constexpr long kSysSchedSetScheduler = 156;  // i386 call number
  constexpr long kSchedOther = 0, kSchedFifo = 1;
  constexpr long kSchedResetOnFork = 0x40000000;  // a program started meanwhile gets normal
  long param[1] = {fast ? 1 : 0};                 // struct sched_param: the priority
  long policy = (fast ? kSchedFifo : kSchedOther) | kSchedResetOnFork;
  long result = 0;
  asm volatile("int $0x80"
               : "=a"(result)
               : "a"(kSysSchedSetScheduler), "b"(0L), "c"(policy), "d"(param)
               : "memory");
  return result == 0;  // -errno on failure
#else
  (void)fast;
  return false;
#endif
}

// The loop's thread runs at the highest priority of its class while a fast timer runs: a
// normal-priority program that keeps every core busy (the simulator) then cannot hold a tick
// back. The process's class stays as it is: time-critical in the normal class is already above
// every thread of normal programs. Under Wine the Linux priority is asked for as well; once
// Linux has refused it, it is not asked again. Returns whether the thread has Linux's
// real-time priority now (only ever under Wine).
bool setFastPace(bool fast) {
  thread_local bool raised = false;
  thread_local bool linuxRaised = false;
  thread_local bool linuxRefused = false;
  if (fast == raised) return linuxRaised;
  raised = fast;
  SetThreadPriority(GetCurrentThread(),
                    fast ? THREAD_PRIORITY_TIME_CRITICAL : THREAD_PRIORITY_NORMAL);
  if (wineHost().wine && !linuxRefused) {
    const bool done = linuxRealTime(fast);
    if (fast) {
      linuxRaised = done;
      linuxRefused = !done;
    } else if (done) {
      linuxRaised = false;
    }
  }
  return linuxRaised;
}

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
  thread_local HANDLE timer = [] {
    HANDLE t = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                      TIMER_ALL_ACCESS);
    if (!t) {
      timeBeginPeriod(1);
      t = CreateWaitableTimerW(nullptr, TRUE, nullptr);
    }
    return t;
  }();
  thread_local TimerPace pace;
  // Messages that came in meanwhile are handled now, right after the tick, instead of between
  // the wake-up and the due time (under Wine every look at the queue asks its server).
  if (!pumpMessages()) return false;
  const int64_t now = clock.nowUs();
  const bool toDueTime = untilUs - now <= maxWaitUs;
  const bool linuxRealTimeNow = toDueTime && setFastPace(pace.note(untilUs));
  const int64_t wait = std::min(untilUs - now, maxWaitUs);
  const int64_t early = std::clamp(gTimerLateUs + kEarlyMarginUs, kMinEarlyUs, kMaxEarlyUs);
  const int64_t timerWait = toDueTime ? wait - early : wait;
  if (timerWait > 0 && linuxRealTimeNow && wineHost().delay) {
    // Under Wine while a fast timer runs with Linux's real-time priority: a sleep that never
    // asks the Wine server, so the wake-up does not wait for that server to get a processor.
    // Messages arriving meanwhile are handled after the tick, at most one fast period (25 ms)
    // later. Without the priority this sleep alone brings nothing: the woken thread still
    // waits behind the busy programs, so the message wait stays.
    LARGE_INTEGER interval{};
    interval.QuadPart = -timerWait * 10;  // relative, in 100 ns units
    wineHost().delay(FALSE, &interval);
    const int64_t late = std::min(clock.nowUs() - (now + timerWait), kMaxEarlyUs);
    gTimerLateUs = std::max(late, gTimerLateUs - kLateDecayUs);
  } else if (timerWait > 0) {
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
    const DWORD woke = MsgWaitForMultipleObjectsEx(count, count ? &timer : nullptr, waitMs,
                                                   QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woke == WAIT_OBJECT_0 + count) return pumpMessages();
    if (count && woke == WAIT_OBJECT_0) {
      const int64_t late = std::min(clock.nowUs() - (now + timerWait), kMaxEarlyUs);
      gTimerLateUs = std::max(late, gTimerLateUs - kLateDecayUs);
    }
  }
  // The last stretch: a message arriving now waits for the next call, at most this long.
  if (toDueTime) {
    while (clock.nowUs() < untilUs) YieldProcessor();
  }
  return true;
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
