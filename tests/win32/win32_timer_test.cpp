// The loop's wait on Windows while a fast timer runs: under Wine on Linux the thread takes the
// real-time priority Linux grants and gives it back after, and window messages still arrive.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <thread>

#include "platform/clock.h"
#include "platform/message_pump_win32.h"
#include "platform/os.h"

namespace {

bool underWineOnLinux() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  if (!ntdll || !GetProcAddress(ntdll, "wine_get_version")) return false;
  using HostVersionFn = void(CDECL*)(const char**, const char**);
  const auto hostVersion = reinterpret_cast<HostVersionFn>(
      reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_host_version")));
  const char* sysname = nullptr;
  const char* release = nullptr;
  if (hostVersion) hostVersion(&sysname, &release);
  return sysname && std::string(sysname) == "Linux";
}

#if defined(__i386__)
// Linux system calls of the calling thread (i386 numbers): its scheduling policy (0 normal,
// 1 SCHED_FIFO), and whether it may take SCHED_FIFO 1.
long linuxPolicy() {
  long result = 0;
  asm volatile("int $0x80" : "=a"(result) : "a"(157L), "b"(0L) : "memory");
  return result & ~0x40000000L;  // without the reset-on-fork flag
}
bool linuxMayTakeRealTime() {
  bool granted = false;
  std::thread probe([&] {  // a thread of its own, which ends with the priority it took
    long param[1] = {1};
    long result = 0;
    asm volatile("int $0x80" : "=a"(result) : "a"(156L), "b"(0L), "c"(1L), "d"(param) : "memory");
    granted = result == 0;
  });
  probe.join();
  return granted;
}
#endif

TEST(Win32FastPace, UnderWineTheThreadTakesLinuxRealTimeOnlyWhileAFastTimerRunsAndMessagesGoOn) {
#if !defined(__i386__)
  GTEST_SKIP() << "a 32-bit build tells its Linux priority";
#else
  if (!underWineOnLinux()) GTEST_SKIP() << "not under Wine on Linux";
  if (!linuxMayTakeRealTime()) GTEST_SKIP() << "Linux grants this user no real-time priority";
  platform::RealClock clock;
  int seen = 0;
  platform::setMessageFilter([&](MSG& m) {
    if (m.message == WM_APP) ++seen;
    return m.message == WM_APP;
  });
  ASSERT_EQ(linuxPolicy(), 0);
  // A 5 ms timer's due times: from the fifth the pace is fast.
  int64_t due = clock.nowUs();
  for (int i = 0; i < 8; ++i) ASSERT_TRUE(platform::waitUntilUs(clock, due += 5'000, 50'000));
  EXPECT_EQ(linuxPolicy(), 1);

  // A message posted while the fast timer runs is handled within a few of its ticks.
  PostThreadMessageA(GetCurrentThreadId(), WM_APP, 0, 0);
  for (int i = 0; i < 8 && seen == 0; ++i)
    ASSERT_TRUE(platform::waitUntilUs(clock, due += 5'000, 50'000));
  EXPECT_EQ(seen, 1);
  EXPECT_EQ(linuxPolicy(), 1);

  // The fast timer stops (the next due time is far): the thread is a normal one again.
  ASSERT_TRUE(platform::waitUntilUs(clock, due += 40'000, 50'000));
  EXPECT_EQ(linuxPolicy(), 0);
  platform::setMessageFilter({});
#endif
}

}  // namespace
