#include "platform/os.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include <signal.h>
#include <sys/time.h>
#include <unistd.h>

namespace platform {

namespace {
volatile int* gStopFlag = nullptr;
void onStopSignal(int) {
  if (gStopFlag) *gStopFlag = 1;
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
  const int64_t wait = std::min(untilUs - clock.nowUs(), maxWaitUs);
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
