#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "arrest/catch_point.h"
#include "arrest/runout.h"
#include "config/catch_zone.h"
#include "config/options.h"
#include "platform/clock.h"
#include "platform/controls.h"
#include "platform/event_loop.h"
#include "simlink/sim_link.h"

class TActivity;
class TCues;
class TTrapLog;
namespace fuel {
class FuelTransferUnit;
}

/// What the arrest sees of the window and of its neighbours: the status lines it writes, the
/// options it obeys, the three slow timers it switches, the activity (the only switch of the
/// fast timers), the cues, the trap log, the fuel transfer it steps, the clock, and small
/// callbacks for what other parts own.
struct TArrestView {
  /// The window's link to the simulator.
  simlink::Link& link;
  platform::Label& lblFlightStatus;
  platform::Label& lblCableCatchStatus;
  platform::Label& lblActivelyCheckingStatus;
  platform::Label& lblNearestCarrier;
  platform::Label& lblCurrentMagVar;
  const platform::CheckBox& chkbxShowCablesActiveMsg;
  const platform::CheckBox& chkbxShowDisableReminders;
  /// Read by the FS2004 edition only (the FS2002 edition has no tailhook option).
  const platform::CheckBox& chkbxDetectTailhook;
  /// The log's figures of a pass are read from the simulator only while it is checked.
  const platform::CheckBox& chkbxTrapLog;
  /// Checked: realistic arresting gear and catapult. The catch point is where the path entered
  /// the window; at the catch the arrest takes on stopping the aircraft at the zone's run-out
  /// (TRunout); with the log kept, the catch check also reads the wind for the log.
  const platform::CheckBox& chkbxRealisticGear;
  /// Down: the program is manually disabled.
  const platform::SpeedButton& btnManualDisable;
  platform::Timer& tmrIsCatchCheckNeeded;
  platform::Timer& tmrFindNearest;
  platform::Timer& tmrKeystroke;
  TActivity& activity;
  TCues& cues;
  TTrapLog& trapLog;
  fuel::FuelTransferUnit& fuelTransfer;
  platform::Clock& clock;
  /// The loaded carrier zones; null when there is no list.
  std::function<const TCatchZoneList*()> catchZones;
  /// The option values; the arrest writes CableCatchAccelFactor on every deceleration tick.
  const TOptionValues& options;
  /// Monotonic milliseconds at which the last catapult stroke ended; 0 = none.
  std::function<int64_t()> lastLaunchEnd;
  /// Ends an armed or running launch as the catapult does (announce: "Catapult disarmed").
  std::function<void(bool announce)> endLaunch;
  /// The reset action ("Reset Program and Connection"): reconnects a lost simulator.
  std::function<void()> resetProgram;
  /// Stops the program and puts its state back (StopProgram, then ResetState without
  /// defaults), when the search finds no zone at all.
  std::function<void()> haltProgram;
  /// Says one call of the landing signal officer (while the trap log is kept).
  std::function<void(const std::string&)> onLsoCall;
  /// Rewrites the pages made from the log (the greenie board); run on the gate's 1 s tick right
  /// after the trap sheets are written, never on the fast timers' path. May be empty.
  std::function<void()> afterTrapSheets;
};

/// The arrest: the search for the nearest carrier (tmrFindNearest), the catch gate that
/// decides when catch checking is needed (tmrIsCatchCheckNeeded), the cable catch
/// (tmrCheckForCatch) and the deceleration that follows it (tmrDecel).
class TArrest {
 public:
  explicit TArrest(TArrestView view) : view_(std::move(view)) {}

  /// One nearest-carrier search; returns and stores the distance in flat degrees. A search
  /// that finds no zone at all halts the program. Blocks on the link.
  double FindNearestCarrier();
  void tmrFindNearestTimer();
  void tmrIsCatchCheckNeededTimer();
  void tmrCheckForCatchTimer();
  void tmrDecelTimer();
  /// Ends an arrest: deceleration off, search and hot-key poll back, lock-out from now, the
  /// simulator's sound back.
  void EndArrest();
  /// Puts the search and lock-out state back to its start values (the reset); the announced
  /// carrier and the label caches are kept.
  void Reset();

  int32_t NearestZoneIndex = -1;
  std::string NearestCarrierIdent;
  double MagVarDeg = 0;
  double NearestDistance = 0;
  /// Monotonic milliseconds at which the last arrest ended; 0 = none since the last reset.
  int64_t LastArrestEnd = 0;
  /// Where the cables caught the aircraft (degrees), set at the catch: the arrest by run-out
  /// counts its distance from here.
  double CatchPointLat = 0;
  double CatchPointLon = 0;
  /// The arrest under way is by run-out (realistic gear was checked at its catch), and its
  /// control; the run-out is the caught zone's RunoutFeet.
  bool RunoutArrest = false;
  double RunoutArrestFeet = 0;
  bool runoutStarted = false;
  TRunout Runout;
  /// What the nearest-carrier and mag-var labels were last built from, so a search that finds
  /// the same carrier and variation writes no new text.
  std::string nearestLabelIdent;
  double nearestLabelHeading = 0;
  std::string nearestLabelText;
  int16_t magVarLabelRaw = 0;
  std::string magVarLabelText;
  /// With realistic gear, the catch point of the last catch: where the aircraft's path entered
  /// the catch window. Its band is the wire taken, and the run-out counts from it. Set at the
  /// catch, before the first deceleration; empty when realistic gear was off at the catch.
  std::optional<TCatchPoint> catchPoint;

 private:
  bool ManuallyDisabled() const { return view_.btnManualDisable.down(); }
  /// One deceleration tick of an arrest by run-out.
  void RunoutDecelTick();

  /// Where the last catch check outside an arrest saw the aircraft, in which zone and when: the
  /// start of the segment the catch point is interpolated on.
  struct TLastCheck {
    TCheckPosition position;
    int64_t timeMs = 0;
    int32_t zoneIndex = -1;
  };
  std::optional<TLastCheck> lastCheck;

  TArrestView view_;
};
