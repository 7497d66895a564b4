#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace platform {

class Timer;

/// The single-threaded loop that delivers timer ticks, in order of due time and, for equal
/// due times, in order of the timers' creation.
class EventLoop {
 public:
  explicit EventLoop(Clock& clock) : clock_(clock) {}
  EventLoop(const EventLoop&) = delete;
  EventLoop& operator=(const EventLoop&) = delete;

  Clock& clock() { return clock_; }

  /// Fires every timer due at the current time, once each, in order; does not block.
  /// Returns the number of ticks delivered.
  int runDue();
  /// Due time of the earliest enabled timer, rounded up to whole milliseconds, or -1 when
  /// none is enabled.
  int64_t nextDueMs() const;
  /// Due time of the earliest enabled timer in microseconds, or -1 when none is enabled.
  int64_t nextDueUs() const;
  /// Runs ticks until the clock reaches endMs: a virtual clock is moved from due time to due
  /// time; a real clock is slept on. Blocks until then or until quit().
  void runUntil(int64_t endMs);
  /// Runs until quit() is called (real clock); blocks.
  void run();
  /// Makes run()/runUntil() return after the current tick.
  void quit() { quit_ = true; }
  bool quitRequested() const { return quit_; }
  /// Called between ticks when nothing is due (a front end may poll its input here).
  std::function<void()> onIdle;
  /// Called when the earliest due time may have changed (a timer enabled, disabled or given
  /// a new interval), so a front end's own wait can be set again at once.
  std::function<void()> onScheduleChanged;

  /// The one exception boundary of the program: runs a tick or a user's action and reports an
  /// exception it throws through onError instead of letting it escape into the caller's loop.
  /// Returns false when the handler threw.
  bool guard(const std::function<void()>& handler);
  /// True while a tick or an action runs (inside guard()): a front end that is handed control
  /// meanwhile (a window's modal loop) must not start another handler.
  bool inHandler() const { return handlerDepth_ > 0; }
  /// Hears of every exception caught by guard(), with its text.
  std::function<void(const std::string&)> onError;

 private:
  friend class Timer;
  void add(Timer* t);
  void remove(Timer* t);

  Clock& clock_;
  std::vector<Timer*> timers_;  // creation order
  uint64_t nextSerial_ = 0;
  bool quit_ = false;
  int handlerDepth_ = 0;
};

/// A millisecond timer with the window toolkit's semantics: enabling an enabled timer keeps
/// its count; disabling and enabling restarts it; changing the interval of an enabled timer
/// restarts it; a late tick fires once, with no burst of catch-up ticks. Due times are kept in
/// microseconds of the loop's clock, so the count of a running timer does not drift by the
/// fraction of a millisecond at which it was started or handled.
class Timer {
 public:
  Timer(EventLoop& loop, std::string name, int intervalMs, bool enabled,
        std::function<void()> onTimer = {});
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  const std::string& name() const { return name_; }
  bool enabled() const { return enabled_; }
  /// Starts or stops the timer; a start counts the interval from now.
  void setEnabled(bool on);
  int interval() const { return interval_; }
  /// Sets the interval; an enabled timer restarts its count from now.
  void setInterval(int ms);
  /// Next due time, rounded up to whole milliseconds.
  int64_t dueMs() const { return (due_ + 999) / 1000; }
  /// The tick handler.
  std::function<void()> onTimer;

 private:
  friend class EventLoop;
  EventLoop& loop_;
  std::string name_;
  int interval_;
  bool enabled_ = false;
  int64_t due_ = 0;  // microseconds of the clock
  uint64_t serial_ = 0;
};

}  // namespace platform
