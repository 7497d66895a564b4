#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "activity/activity.h"
#include "catapult/end_airspeed.h"
#include "config/catch_zone.h"
#include "config/options.h"
#include "platform/clock.h"
#include "platform/controls.h"
#include "platform/event_loop.h"
#include "simlink/sim_link.h"

class TCues;
class TTrapLog;

/// What the catapult sees of the window and of the rest of the program.
struct TCatapultView {
  /// The window's link to the simulator.
  simlink::Link& link;
  /// Down while the program is manually disabled: arming is refused, an armed catapult ends.
  const platform::SpeedButton& btnManualDisable;
  /// Checked: smoke on at release.
  const platform::CheckBox& chkbxCatSmoke;
  /// The slow timers an arming stops and the end of a launch starts again: the catch gate, the
  /// nearest-carrier search and the hot-key poll (stopped at release).
  platform::Timer& tmrIsCatchCheckNeeded;
  platform::Timer& tmrFindNearest;
  platform::Timer& tmrKeystroke;
  /// Switches the launch check (Armed) and the stroke (Launching).
  TActivity& activity;
  TCues& cues;
  TTrapLog& trapLog;
  /// Time of the end of a stroke.
  platform::Clock& clock;
  /// The nearest zone, or null when none is known or the nearest index names no loaded zone.
  std::function<const TCatchZoneData*()> NearestZone;
  /// The option values, read at each tick: the push of the stroke (CatapultAccelFactor), the
  /// forward speed that ends it (CatapultCutoffFps) and the hold-back factor against the
  /// engines while the brake is set (CatapultHoldFactor).
  const TOptionValues& options;
  /// Checked: realistic gear. The cut-off is an airspeed (ground speed plus the headwind along
  /// the deck) reached at the end of the zone's stroke, and a launch that cannot be flown so is
  /// refused. Read at arming and at release; the wind is read only while it is checked.
  const platform::CheckBox& chkbxRealisticGear;
  /// The status line a refused launch is also shown on.
  platform::Label& lblOtherStatus;
  /// The program's magnetic variation, degrees east, which turns the zone's heading true.
  std::function<double()> MagVarDeg;
};

/// The catapult: arming on the nearest carrier's catapult point, the hold while the brake is
/// set, the stroke after release and its end. Reads and writes the simulator through the
/// process's link (simlink::Batch).
class TCatapult {
 public:
  explicit TCatapult(TCatapultView view) : view_(std::move(view)) {}

  /// Arms the catapult, or disarms an armed one; refusals and announcements go to the
  /// simulator's message line.
  void actCatapultArmExecute();
  /// One tick of the armed catapult: ends it when out of reach or no longer launchable, holds
  /// the aircraft while the brake is set, starts the stroke on release.
  void tmrLaunchCheckTimer();
  /// One tick of the stroke: pushes the aircraft until it passes the cutoff speed.
  void tmrAccelTimer();
  /// Ends an armed or running launch; announce shows "Catapult disarmed".
  void EndLaunch(bool announce);
  /// Switches the aircraft's smoke; the result is whether the exchange succeeded.
  bool SetSmoke(bool on);
  /// The zone whose front-left corner is the catapult point: the nearest zone, or null when
  /// none is known.
  const TCatchZoneData* CatapultZone() const;

  /// Monotonic milliseconds at which the last catapult stroke ended; 0 = none since the last
  /// reset. The launched aircraft gets the same lock-out from catches as an arrested one.
  int64_t LastLaunchEnd = 0;

 private:
  bool ManuallyDisabled() const { return view_.btnManualDisable.down(); }
  /// The headwind along the zone's deck, ft/s, from a wind read as the simulator gives it.
  double HeadwindFps(const TCatchZoneData& zone, uint16_t windKt, uint16_t windFrom) const;
  /// Shows why a launch is refused in the simulator and on the status line.
  void RefuseLaunch(const std::string& text);
  /// One tick of a stroke by end airspeed.
  void StrokeByAirspeedTick();

  /// The stroke by end airspeed under way and the position it started from; empty when none
  /// is (realistic gear off, or no stroke).
  std::optional<TStrokeByAirspeed> strokeByAirspeed;
  double strokeStartLat = 0;
  double strokeStartLon = 0;
  int64_t strokeLastTickMs = 0;

  TCatapultView view_;
};
