#pragma once

#include <cstdint>

#include "sim/aircraft.h"
#include "sim/offset_space.h"

namespace sim {

/// What happened in one integration step that observers may want to report.
struct StepEvents {
  bool touchdown = false;  // airborne -> on the surface this step
  bool crashed = false;    // crashed this step
  bool liftoff = false;    // left the surface this step
  double touchdownVsFpm = 0.0;
};

/// Tuning of the natural dynamics (feet, seconds).
struct ModelTuning {
  double thrustFps2 = 25.0;  // full throttle, all engines working
  double dragPerFps2 =
      1.953e-4;              // aerodynamic drag = this * speed^2 (settles 150 kt at half throttle)
  double rollingFps2 = 1.0;  // wheel friction while rolling on the surface
  double brakeFps2 = 30.0;   // parking brake fully set
  double crashVsFpm = -1500.0;  // touching down faster than this is a crash
  double maxSpeedFps = 3400.0;
  double maxClientAccel = 10000.0;  // larger client accelerations are clipped to this
  // A client acceleration acts until the client writes another (true), or in the next step
  // only (false), as simulators differ.
  bool holdClientAccel = false;
};

/// A small flight model: forward speed along the heading, vertical speed, ground contact with
/// the surface, coordinated turns from bank, and the acceleration a client writes to 0x3070.
class FlightModel {
 public:
  explicit FlightModel(ModelTuning tuning = {}) : tuning_(tuning) {}

  AircraftState& state() { return state_; }
  const AircraftState& state() const { return state_; }
  const ModelTuning& tuning() const { return tuning_; }

  /// Integrates one step of dt seconds; applies a pending client acceleration, then clears it
  /// unless the tuning holds it until the next write.
  StepEvents step(double dt);
  /// An acceleration (ft/s^2) written by the client: it acts in the next step only, or in
  /// every step until the next write when the tuning holds it.
  /// Non-finite values are refused (returns false).
  bool setPendingAccel(double fps2);
  double pendingAccel() const { return pendingAccel_; }
  bool hasPendingAccel() const { return hasPending_; }

  /// Writes the whole state into the offset space in the wire encodings.
  void publish(OffsetSpace& space) const;

 private:
  ModelTuning tuning_;
  AircraftState state_;
  double pendingAccel_ = 0.0;
  bool hasPending_ = false;
};

/// Airspeed along the heading, ft/s: the forward speed plus the wind's headwind component.
double airspeedFps(const AircraftState& s);

/// Metres per degree of latitude, as the program converts positions.
inline constexpr double kMetresPerDegLat = 10001750.0 / 90.0;

/// Encodes a value as the 64-bit fixed point of the wire (high signed, low fraction).
void encodeFixed64(double value, int32_t& high, uint32_t& low);

}  // namespace sim
