#pragma once

#include <cstdint>

// The catapult's rules on the values read from the simulator: who may be launched, how close
// to the catapult point, and when the aircraft is held or released.

/// Parking-brake value of a fully set brake.
inline constexpr int16_t kParkingBrakeSet = 32767;
/// Engine type of a helicopter.
inline constexpr uint8_t kEngineTypeHelicopter = 3;
/// Arming needs the catapult point closer than this in both latitude and longitude (degrees).
inline constexpr double kCatapultArmReachDeg = 0.003;
/// An armed catapult stays armed while within this in latitude or longitude (degrees).
inline constexpr double kCatapultKeepReachDeg = 0.03;
/// Throttle lever above which a released brake launches (95 % of 16384 is 15566).
inline constexpr int16_t kCatapultReleaseThrottle = 15565;

/// Start of every arming refusal; a reason may follow.
inline constexpr const char* kCatapultNotArmed = "Catapult NOT armed -- ";

/// Reason for refusing this aircraft type, or null when the type may be launched. A tail-wheel
/// value other than 0 and 1 is refused without a reason (empty text).
const char* CatapultTypeRefusal(uint8_t engineType, int32_t tailWheel);

/// True when the catapult point lies strictly within the arming reach in both directions.
bool WithinCatapultArmingReach(double dLatDeg, double dLonDeg);

/// True when an armed aircraft is still near enough: either direction within the keep reach.
bool WithinCatapultKeepReach(double dLatDeg, double dLonDeg);

/// True when the aircraft state allows arming: on the ground, gear down, brake fully set.
bool CatapultStateReady(int16_t onGround, int32_t gearLever, int16_t parkingBrake);

/// The first reason the state is not ready (ground before gear before brake), empty when none
/// of them applies.
const char* CatapultStateRefusal(int16_t onGround, int32_t gearLever, int16_t parkingBrake);

/// True when the pilot has launched: brake released and throttle above the release value.
bool CatapultReleased(int16_t parkingBrake, int16_t throttle);

/// True when the armed aircraft is to be held: brake fully set and rolling forward.
bool CatapultHolds(int16_t parkingBrake, double forwardSpeedFps);

/// Holding acceleration: the hold field (which stores the negated factor) times the speed.
constexpr double CatapultHoldAccel(int holdFactorField, double forwardSpeedFps) {
  return holdFactorField * forwardSpeedFps;
}
