#include "arrest/arrest.h"

#include "activity/activity.h"
#include "arrest/geometry.h"
#include "cues/cues.h"
#include "edition/edition.h"
#include "fuel/fuel_transfer_unit.h"
#include "logbook/trap_log.h"
#include "lso/trap_sheet.h"
#include "simlink/batch.h"

namespace {
using namespace simlink;
/// Nearer than this (flat degrees) to the nearest zone, catch checking may be needed.
constexpr double kCatchGateDistance = 0.05;
}  // namespace

void TArrest::tmrIsCatchCheckNeededTimer() {
  // Fuel transfers advance once per gate tick, and pause while the program is disabled.
  if (!ManuallyDisabled()) view_.fuelTransfer.TransferTick();
  // The trap sheets of passes that have ended are written here, away from the catch check.
  view_.trapLog.WriteTrapSheets();
  if (view_.afterTrapSheets) view_.afterTrapSheets();
  const bool wasChecking = view_.activity.Checking();

  // Decides the catch timer and the flight status; returns early where the tick keeps them.
  // A lost simulator is reconnected through the reset action. An arrest or a stroke under way
  // was cut short by the link, not by the reset.
  const auto reconnect = [this] {
    view_.trapLog.TrapLogArrestEnd("link");
    view_.trapLog.TrapLogLaunchEnd("link");
    view_.resetProgram();
  };
  [&] {
    if (ManuallyDisabled()) {
      view_.activity.SetChecking(false);
      return;
    }
    if constexpr (edition::HasTailhookOption) {
      if (view_.chkbxDetectTailhook.checked()) {
        double hook = 0;
        Batch hookRead(view_.link);
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
    if (view_.activity.programStopped) return;
    view_.activity.SetChecking(distance < kCatchGateDistance);

    TGateReadings r;
    Batch batch(view_.link);
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
      view_.trapLog.TrapLogArrestEnd("crash");
      view_.trapLog.TrapLogLaunchEnd("crash");
      if (view_.activity.Arresting()) EndArrest();
      if (view_.activity.OnCatapult()) view_.endLaunch(false);
      view_.activity.StopAll();
      view_.tmrFindNearest.setEnabled(true);
      view_.lblFlightStatus.setText("CRASHED");
      view_.lblCableCatchStatus.setText("");
      view_.cues.catapultSoundPlayed = false;
      return;
    }
    const TGateDecision g = GateDecision(r, distance, previous);
    view_.activity.SetChecking(g.need);
    view_.lblFlightStatus.setText(g.landed ? "LANDED" : "Flying");
  }();
  if (view_.activity.programStopped) return;
  // From arming to the end of the stroke the aircraft on the catapult is no trap: a launch
  // accelerating along the deck must not count as an approach.
  if (view_.activity.OnCatapult()) view_.activity.SetChecking(false);

  if (view_.activity.Checking()) {
    view_.lblActivelyCheckingStatus.setText("ACTIVE");
    if (!wasChecking) {
      view_.lblCableCatchStatus.setText("");
      if (view_.chkbxShowCablesActiveMsg.checked()) view_.cues.ShowSimMessage("TRAPPING ACTIVE", 3);
    }
  } else {
    view_.lblActivelyCheckingStatus.setText("NOT NEEDED");
    // A pass whose exit from the catch area was not seen is no bolter: forget it, so that it is
    // not logged at the next approach.
    view_.trapLog.ForgetPass();
  }
  view_.tmrFindNearest.setEnabled(true);
}
