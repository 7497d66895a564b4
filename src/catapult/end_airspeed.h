#pragma once

#include <string>

// The catapult by end airspeed (realistic gear on): the stroke ends when the ground speed plus
// the headwind along the deck reaches the cut-off airspeed, and its push is set each tick so
// that this happens at the end of the stroke. Pure computation: no link, no clock.

/// One g, ft/s^2.
inline constexpr double kCatapultOneGFps2 = 32.174;
/// A stroke that would need more than this many g is refused.
inline constexpr double kMaxCatapultG = 4.0;
/// The push is never set above this many g, even to catch up with the wanted speed.
inline constexpr double kMaxCatapultPushG = 5.0;

/// Feet over the ground between two positions in degrees (north and east positive), on the
/// simulator's flat grid around the first.
double StrokeDistanceFt(double lat0, double lon0, double lat1, double lon1);

/// Why a stroke from startFps (ground speed) to the cut-off airspeed over strokeFt, with this
/// headwind, cannot be flown; empty when it can. Refused are a headwind at or above the
/// cut-off (the wind over the deck alone already exceeds the end speed) and a stroke needing
/// more than kMaxCatapultG.
std::string EndAirspeedRefusal(double cutoffFps, double headwindFps, double strokeFt,
                               double startFps = 0);

/// One stroke by end airspeed: from the ground speed at its start to the ground speed that
/// gives the cut-off airspeed, over the stroke's length.
class TStrokeByAirspeed {
 public:
  TStrokeByAirspeed(double startFps, double cutoffFps, double headwindFps, double strokeFt);

  /// Ground speed the stroke wants at distanceFt from its start: the speed of a steady push
  /// from the start speed to the end speed over the stroke, sqrt(v0^2 + (vEnd^2 - v0^2) s / L).
  double WantedSpeedFps(double distanceFt) const;
  /// True when the stroke is over: the airspeed (speedFps + headwind) has reached the cut-off,
  /// or the aircraft has run the whole stroke.
  bool Done(double distanceFt, double speedFps) const;
  /// The push to write after measuring speedFps at distanceFt, dtS seconds after the last
  /// measurement: the acceleration that takes the measured speed to the end speed over what is
  /// left of the stroke, corrected by the measured speed's difference from the wanted one and
  /// by that difference summed over the stroke. The sum learns what the push alone does not
  /// tell: the engines' thrust, the drag, and how long the simulator applies each push (one
  /// frame, or until the next write). Between 0 and kMaxCatapultPushG.
  double PushFps2(double distanceFt, double speedFps, double dtS);

  double EndGroundSpeedFps() const { return endFps_; }
  double HeadwindFps() const { return headwindFps_; }

 private:
  double startFps_;
  double endFps_;
  double headwindFps_;
  double strokeFt_;
  /// Sum of the speed differences over time, ft/s x s.
  double errorSum_ = 0;
};
