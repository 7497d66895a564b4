#include "platform/os.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include <sched.h>
#include <signal.h>
#include <sys/time.h>
#include <unistd.h>

#include "platform/timer_pace.h"

namespace platform {

namespace {
volatile int* gStopFlag = nullptr;
void onStopSignal(int) {
  if (gStopFlag) *gStopFlag = 1;
}

// The loop's thread takes the lowest real-time priority while a fast timer runs, where the
// system allows it (root, or a real-time limit given to the user): a time-shared thread, even
// at the highest nice value, waits for its turn behind programs that keep every core busy. The
// ticks take microseconds and the thread sleeps between them, so it holds no core. Without
// the right the thread stays as it is.
void setFastPace(bool fast) {
  thread_local bool raised = false;
  thread_local bool refused = false;
  if (fast == raised || (fast && refused)) return;
  sched_param param{};
  param.sched_priority = fast ? sched_get_priority_min(SCHED_FIFO) : 0;
  int policy = fast ? SCHED_FIFO : SCHED_OTHER;
#ifdef SCHED_RESET_ON_FORK
  policy |= SCHED_RESET_ON_FORK;  // a program started meanwhile gets the normal priority
#endif
  if (sched_setscheduler(0, policy, &param) == 0) {
    raised = fast;
  } else if (fast) {
    refused = true;
  }
}
}  // namespace

uint32_t currentProcessId() { return static_cast<uint32_t>(::getpid()); }

DateTime localDateTime() {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return DateTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

bool syncFile(std::FILE* f) { return std::fflush(f) == 0 && ::fsync(::fileno(f)) == 0; }

bool replaceFile(const std::string& source, const std::string& target) {
  return std::rename(source.c_str(), target.c_str()) == 0;
}

std::string executableFolder() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return "./";
  return exe.parent_path().string() + "/";
}

void setEnvironmentVariable(const std::string& name, const std::string& value) {
  ::setenv(name.c_str(), value.c_str(), 1);
}

void installStopHandler(volatile int* flag) {
  gStopFlag = flag;
  struct sigaction sa {};
  sa.sa_handler = onStopSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = 0;  // no restart: a blocked poll or sleep returns at once
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
}

bool waitUntilUs(const Clock& clock, int64_t untilUs, int64_t maxWaitUs) {
  thread_local TimerPace pace;
  const int64_t now = clock.nowUs();
  if (untilUs - now <= maxWaitUs) setFastPace(pace.note(untilUs));
  const int64_t wait = std::min(untilUs - now, maxWaitUs);
  if (wait <= 0) return true;
  // The due time becomes an absolute time of the monotonic clock, so being descheduled
  // between here and the sleep does not move the wake-up.
  timespec due{};
  clock_gettime(CLOCK_MONOTONIC, &due);
  const int64_t ns = due.tv_nsec + wait * 1000;
  due.tv_sec += static_cast<time_t>(ns / 1'000'000'000);
  due.tv_nsec = static_cast<long>(ns % 1'000'000'000);
  // A stop signal ends the wait early (EINTR), and the loop looks at the flag.
  clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &due, nullptr);
  return true;
}

}  // namespace platform
