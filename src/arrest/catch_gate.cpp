#include "app/form_main.h"
#include "arrest/geometry.h"
#include "simlink/batch.h"

namespace {
using namespace simlink;
/// Nearer than this (flat degrees) to the nearest zone, catch checking may be needed.
constexpr double kCatchGateDistance = 0.05;
}  // namespace

void TFormMain::tmrIsCatchCheckNeededTimer() {
  // Fuel transfers advance once per gate tick, and pause while the program is disabled.
  if (!ManuallyDisabled()) fuelTransfer.TransferTick();
  const bool wasChecking = tmrCheckForCatch.enabled();

  // Decides the catch timer and the flight status; returns early where the tick keeps them.
  // A lost simulator is reconnected through the reset action. An arrest or a stroke under way
  // was cut short by the link, not by the reset.
  const auto reconnect = [this] {
    trapLog.TrapLogArrestEnd("link");
    trapLog.TrapLogLaunchEnd("link");
    actResetProgram.execute();
  };
  [&] {
    if (ManuallyDisabled()) {
      tmrCheckForCatch.setEnabled(false);
      return;
    }
    if constexpr (edition::HasTailhookOption) {
      if (chkbxDetectTailhook.checked()) {
        double hook = 0;
        Batch hookRead;
        if (!(hookRead.read(kTailHook, hook).process() && hook > 0.5)) {
          if (hookRead.result() != 0) reconnect();  // whatever the hook
          return;
        }
      }
    }

    const double previous = NearestDistance;
    const double distance = FindNearestCarrier();
    // The search may have stopped the program: the link is closed on purpose then, which is
    // no reason to reconnect.
    if (activity.programStopped) return;
    tmrCheckForCatch.setEnabled(distance < kCatchGateDistance);

    TGateReadings r;
    Batch batch;
    batch.read(kCrashed, r.crashed)
        .read(kOnGround, r.onGround)
        .read(kGearLever, r.gearLever)
        .read(kForwardSpeed, r.forwardSpeedFps)
        .read(kSlewMode, r.slew);
    if (!batch.process()) {
      if (batch.result() != 0) reconnect();
      return;
    }

    if (r.crashed > 0) {
      // A crash ends an arrest or a launch as their own ends do, so the simulator's sound, the
      // hot keys and the smoke come back; then it is reported.
      trapLog.TrapLogArrestEnd("crash");
      trapLog.TrapLogLaunchEnd("crash");
      if (tmrDecel.enabled()) EndArrest();
      if (tmrLaunchCheck.enabled() || tmrAccel.enabled()) catapult.EndLaunch(false);
      tmrDecel.setEnabled(false);
      tmrFindNearest.setEnabled(true);
      tmrCheckForCatch.setEnabled(false);
      lblFlightStatus.setText("CRASHED");
      lblCableCatchStatus.setText("");
      cues.catapultSoundPlayed = false;
      tmrLaunchCheck.setEnabled(false);
      tmrAccel.setEnabled(false);
      return;
    }
    const TGateDecision g = GateDecision(r, distance, previous);
    tmrCheckForCatch.setEnabled(g.need);
    lblFlightStatus.setText(g.landed ? "LANDED" : "Flying");
  }();
  if (activity.programStopped) return;
  // From arming to the end of the stroke the aircraft on the catapult is no trap: a launch
  // accelerating along the deck must not count as an approach.
  if (tmrLaunchCheck.enabled() || tmrAccel.enabled()) tmrCheckForCatch.setEnabled(false);

  if (tmrCheckForCatch.enabled()) {
    lblActivelyCheckingStatus.setText("ACTIVE");
    if (!wasChecking) {
      lblCableCatchStatus.setText("");
      if (chkbxShowCablesActiveMsg.checked()) cues.ShowSimMessage("TRAPPING ACTIVE", 3);
    }
  } else {
    lblActivelyCheckingStatus.setText("NOT NEEDED");
    // A pass whose exit from the catch area was not seen is no bolter: forget it, so that it is
    // not logged at the next approach.
    trapLog.ForgetPass();
  }
  tmrFindNearest.setEnabled(true);
}
