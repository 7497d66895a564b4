#pragma once

#include <cstdint>
#include <string>

/// Feet per second squared in one g.
inline constexpr double RunoutGFps2 = 32.174;
/// The arrest by run-out never asks for more than this total deceleration, g: under the 3 g the
/// gear must not exceed over any 0.1 s, by the margin the simulator's frame steps take.
inline constexpr double RunoutMaxG = 2.95;
/// An arrest by run-out ends below this speed, ft/s (about 0.3 kt): the aircraft is stopped.
inline constexpr double RunoutStoppedFps = 0.5;

/// The arrest by run-out: the deceleration to write each tick so that the aircraft stops
/// RunoutFeet from the catch point, whatever the simulator's frame rate and whether it applies a
/// written acceleration for one frame or until the next write.
///
/// Each tick it is given the distance travelled since the catch and the speed, both measured.
/// It wants the speed v0 * sqrt(1 - s/L) (a steady pull from the catch speed v0 to a stop at L)
/// and asks for the deceleration v^2 / (2 (L - s)) that stops the aircraft at L from where it
/// is, plus a share of the difference between the measured and the wanted speed. How much of a
/// written deceleration the aircraft feels (frames without a write, drag and wheel friction
/// helping) is learnt from the measured speed over windows of 0.1 s, and the written value is
/// scaled by it. The total asked never exceeds RunoutMaxG; when L cannot be met within it the
/// aircraft stops as short as the limit allows.
class TRunout {
 public:
  /// Starts an arrest at time ms, caught at speed (ft/s), to stop runoutFt from the catch point.
  void Start(int64_t ms, double runoutFt, double speedFps);
  /// One tick at time ms with the distance from the catch point and the speed, both measured.
  /// Returns the acceleration to write, ft/s^2: zero or negative (a deceleration, never a push).
  double Tick(int64_t ms, double distanceFt, double speedFps);
  /// True once the speed is down to RunoutStoppedFps (or is no number): the arrest is over.
  static bool Stopped(double speedFps) { return !(speedFps >= RunoutStoppedFps); }

  double RunoutFeet() const { return runoutFt_; }
  /// The distance from the catch point at the last tick, feet.
  double DistanceFeet() const { return distanceFt_; }
  /// True when the limit held the deceleration below what stopping at L needed and the aircraft
  /// went more than 5 % past L.
  bool Limited() const;
  /// The share of a written deceleration the aircraft is felt to take (1: all of it).
  double Effect() const { return effect_; }

 private:
  double runoutFt_ = 0;
  double startSpeedFps_ = 0;
  double distanceFt_ = 0;
  bool capped_ = false;  // the limit held the deceleration at some tick
  double effect_ = 1;
  bool learnt_ = false;  // effect_ has been measured at least once
  // The window over which the felt deceleration is measured.
  int64_t windowStartMs_ = 0;
  double windowStartSpeedFps_ = 0;
  int64_t lastMs_ = 0;
  double lastWrittenFps2_ = 0;  // as a positive deceleration
  double writtenSum_ = 0;       // written deceleration x ms over the window
};

/// Feet along the ground between two points (degrees) near each other, on the grid the
/// simulator's positions use: a degree of latitude is 10001750 / 90 metres, a degree of
/// longitude that times the cosine of the latitude.
double GroundDistanceFeet(double latA, double lonA, double latB, double lonB);

/// The log's note of an arrest the limit stopped past its run-out, e.g.
/// "3 g limit: runout 412 ft > 340 ft".
std::string RunoutLimitNote(double stopFt, double runoutFt);
