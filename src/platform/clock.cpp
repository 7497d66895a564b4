#include "platform/clock.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/os.h"

namespace platform {

namespace {
int64_t steadyNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
}  // namespace

std::string formatShortDate(const DateTime& dt) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", dt.year, dt.month, dt.day);
  return buf;
}

std::string formatLongTime(const DateTime& dt) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", dt.hour, dt.minute, dt.second);
  return buf;
}

RealClock::RealClock() : originNs_(steadyNs()) {}

int64_t RealClock::nowMs() const { return (steadyNs() - originNs_) / 1'000'000; }

int64_t RealClock::nowUs() const { return (steadyNs() - originNs_) / 1'000; }

void RealClock::sleepMs(int64_t ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

DateTime RealClock::wallClock() const {
  return localDateTime();
}

int64_t RealClock::wallClockUs() const {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

VirtualClock::VirtualClock(int64_t startMs) : now_(startMs) {}

void VirtualClock::sleepMs(int64_t ms) {
  if (ms > 0) now_ += ms;
  if (onSleep) onSleep(now_);
}

void VirtualClock::advanceTo(int64_t t) {
  if (t > now_) now_ = t;
}

}  // namespace platform
