#pragma once

#include "platform/event_loop.h"

/// What the program is doing with the aircraft. Each value but Idle and Stopped has a fast
/// timer of its own: Checking the catch check (tmrCheckForCatch, 50 ms), Arresting the
/// deceleration (tmrDecel), Armed the launch check (tmrLaunchCheck), Launching the
/// acceleration (tmrAccel). A fuel transfer runs beside any of them, on the gate's tick.
enum class Activity { Stopped, Idle, Checking, Arresting, Armed, Launching };

/// The four fast timers, created and named by the window.
struct TFastTimers {
  platform::Timer& tmrCheckForCatch;
  platform::Timer& tmrDecel;
  platform::Timer& tmrAccel;
  platform::Timer& tmrLaunchCheck;
};

/// The one place that switches the fast timers. Arresting, Armed and Launching exclude one
/// another; the catch check is switched on its own (SetChecking), because its ticks go on
/// during an arrest (they stop early while tmrDecel runs) and the catch gate decides it.
class TActivity {
 public:
  explicit TActivity(TFastTimers timers) : t_(timers) {}

  /// What the program is doing now, from the timers that run and the stopped flag.
  Activity Current() const {
    if (programStopped) return Activity::Stopped;
    if (t_.tmrAccel.enabled()) return Activity::Launching;
    if (t_.tmrLaunchCheck.enabled()) return Activity::Armed;
    if (t_.tmrDecel.enabled()) return Activity::Arresting;
    if (t_.tmrCheckForCatch.enabled()) return Activity::Checking;
    return Activity::Idle;
  }
  bool Arresting() const { return t_.tmrDecel.enabled(); }
  bool Armed() const { return t_.tmrLaunchCheck.enabled(); }
  bool Launching() const { return t_.tmrAccel.enabled(); }
  /// Armed or launching: the aircraft on the catapult is no trap.
  bool OnCatapult() const { return Armed() || Launching(); }
  bool Checking() const { return t_.tmrCheckForCatch.enabled(); }

  /// Starts an arrest, an arming or a stroke, or (Idle) ends the one under way. Arresting and
  /// Armed also stop the catch check; Idle and Launching leave it as it is. Checking and
  /// Stopped are not entered here (SetChecking, programStopped).
  void Enter(Activity a) {
    const bool check = t_.tmrCheckForCatch.enabled();
    t_.tmrDecel.setEnabled(a == Activity::Arresting);
    t_.tmrLaunchCheck.setEnabled(a == Activity::Armed);
    t_.tmrAccel.setEnabled(a == Activity::Launching);
    t_.tmrCheckForCatch.setEnabled(check && a != Activity::Arresting && a != Activity::Armed);
  }
  /// Ends a (Arresting, Armed or Launching) if it is under way and leaves every other fast
  /// timer as it is, where Enter(Activity::Idle) would stop all three.
  void Leave(Activity a) {
    if (a == Activity::Arresting) t_.tmrDecel.setEnabled(false);
    if (a == Activity::Armed) t_.tmrLaunchCheck.setEnabled(false);
    if (a == Activity::Launching) t_.tmrAccel.setEnabled(false);
  }
  /// Switches the catch check alone.
  void SetChecking(bool on) { t_.tmrCheckForCatch.setEnabled(on); }
  /// Stops every fast timer.
  void StopAll() {
    Enter(Activity::Idle);
    SetChecking(false);
  }

  /// The program stopped or halted by itself (no nearest zone, no usable data file): no tick
  /// starts the timers again; only the reset action clears it.
  bool programStopped = false;

 private:
  TFastTimers t_;
};
