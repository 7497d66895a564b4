#pragma once

#include <array>
#include <cstdint>

namespace sim {

/// One fuel tank: capacity in US gallons and level in the wire scale (8388608 = full).
struct Tank {
  uint32_t capacityGal = 0;
  uint32_t level = 0;
};

/// Names of the six tanks as scenarios write them, in the wire order.
inline constexpr const char* kTankNames[6] = {"centre",    "centre2", "leftmain",
                                              "rightmain", "leftaux", "rightaux"};

/// Everything the flight model knows about the aircraft, in working units.
struct AircraftState {
  double latDeg = 36.95;
  double lonDeg = -76.30;
  double altFt = 60.0;
  double surfaceFt = 60.0;   // ground or deck under the aircraft
  double headingDeg = 90.0;  // true
  double bankDeg = 0.0;      // positive = right wing down
  double speedFps = 0.0;     // forward, along the heading
  double vsFps = 0.0;        // vertical, positive up
  /// vsFps of the last airborne step: after a touchdown, its rate of descent.
  double lastAirborneVsFps = 0.0;
  bool onGround = true;
  bool crashed = false;
  bool slew = false;
  bool gearDown = true;
  int brake = 32767;   // 0..32767
  int throttle = 0;    // 0..16384
  double hook = 0.0;   // 0..1
  int engineType = 1;  // 1 = jet, 3 = helicopter
  bool taildragger = false;
  int engines = 2;
  double magvarDeg = 0.0;    // east positive
  double liftoffKt = 140.0;  // airspeed; 0 = never lifts off the surface by itself
  double windKt = 0.0;       // wind at the aircraft
  double windFromDeg = 0.0;  // direction the wind blows from, true
  std::array<Tank, 6> tanks{
      {{2000, 4194304}, {0, 0}, {500, 4194304}, {500, 4194304}, {0, 0}, {0, 0}}};
  std::array<uint8_t, 16> flags{};  // failure bytes 0x0B64..0x0B73
  uint16_t smoke = 0;
  uint16_t soundControl = 1;
  double lastAccelFps2 = 0.0;  // client acceleration applied in the last step
};

}  // namespace sim
