#include "platform/event_loop.h"

#include <algorithm>
#include <exception>

#include "platform/os.h"

namespace platform {

namespace {
// The longest real wait between two looks at onIdle (a front end's input and stop flag).
constexpr int64_t kMaxWaitUs = 50'000;
}  // namespace

void EventLoop::add(Timer* t) {
  t->serial_ = nextSerial_++;
  timers_.push_back(t);
}

void EventLoop::remove(Timer* t) { std::erase(timers_, t); }

int64_t EventLoop::nextDueMs() const {
  const int64_t us = nextDueUs();
  return us < 0 ? -1 : (us + 999) / 1000;
}

int64_t EventLoop::nextDueUs() const {
  int64_t best = -1;
  for (const Timer* t : timers_) {
    if (t->enabled_ && (best < 0 || t->due_ < best)) best = t->due_;
  }
  return best;
}

int EventLoop::runDue() {
  int fired = 0;
  // Each pass picks the earliest due timer; a timer fires at most once per call, so a handler
  // that blocks past other timers' due times delivers each of them once.
  std::vector<uint64_t> done;
  for (;;) {
    const int64_t now = clock_.nowUs();
    Timer* pick = nullptr;
    for (Timer* t : timers_) {
      if (!t->enabled_ || t->due_ > now) continue;
      if (std::find(done.begin(), done.end(), t->serial_) != done.end()) continue;
      if (!pick || t->due_ < pick->due_ || (t->due_ == pick->due_ && t->serial_ < pick->serial_))
        pick = t;
    }
    if (!pick) break;
    done.push_back(pick->serial_);
    // The next tick is counted from this one's due time, so the period does not drift by how
    // late ticks are handled; a tick more than a period late fires once and the count goes on
    // from the next due time after now (no burst of catch-up ticks).
    const int64_t period = int64_t{pick->interval_} * 1000;
    pick->due_ += period;
    if (pick->due_ <= now && period > 0)
      pick->due_ += ((now - pick->due_) / period + 1) * period;
    else if (pick->due_ <= now)
      pick->due_ = now;
    ++fired;
    if (pick->onTimer) guard(pick->onTimer);
    if (quit_) break;
  }
  return fired;
}

void EventLoop::runUntil(int64_t endMs) {
  quit_ = false;
  const int64_t endUs = endMs * 1000;
  while (!quit_) {
    runDue();
    if (quit_) break;
    if (clock_.nowUs() >= endUs) break;
    int64_t next = nextDueUs();
    if (next < 0 || next > endUs) next = endUs;
    if (onIdle) onIdle();
    if (auto* v = dynamic_cast<VirtualClock*>(&clock_)) {
      v->advanceTo((next + 999) / 1000);
    } else if (!waitUntilUs(clock_, next, kMaxWaitUs)) {
      quit_ = true;
    }
  }
}

void EventLoop::run() {
  quit_ = false;
  while (!quit_) {
    runDue();
    if (quit_) break;
    if (onIdle) onIdle();
    if (quit_) break;
    const int64_t next = nextDueUs();
    if (auto* v = dynamic_cast<VirtualClock*>(&clock_)) {
      if (next < 0) break;  // nothing would ever happen
      v->advanceTo((next + 999) / 1000);
    } else if (!waitUntilUs(clock_, next < 0 ? clock_.nowUs() + kMaxWaitUs : next, kMaxWaitUs)) {
      quit_ = true;
    }
  }
}

bool EventLoop::guard(const std::function<void()>& handler) {
  struct Depth {
    int& depth;
    explicit Depth(int& d) : depth(d) { ++depth; }
    ~Depth() { --depth; }
  } inside(handlerDepth_);
  try {
    handler();
    return true;
  } catch (const std::exception& e) {
    if (onError) onError(e.what());
  } catch (...) {
    if (onError) onError("unknown error");
  }
  return false;
}

Timer::Timer(EventLoop& loop, std::string name, int intervalMs, bool enabled,
             std::function<void()> handler)
    : onTimer(std::move(handler)), loop_(loop), name_(std::move(name)), interval_(intervalMs) {
  loop_.add(this);
  setEnabled(enabled);
}

Timer::~Timer() { loop_.remove(this); }

void Timer::setEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  if (on) due_ = loop_.clock().nowUs() + int64_t{interval_} * 1000;
  if (loop_.onScheduleChanged) loop_.onScheduleChanged();
}

void Timer::setInterval(int ms) {
  if (ms == interval_) return;
  interval_ = ms;
  if (enabled_) due_ = loop_.clock().nowUs() + int64_t{interval_} * 1000;
  if (enabled_ && loop_.onScheduleChanged) loop_.onScheduleChanged();
}

}  // namespace platform
