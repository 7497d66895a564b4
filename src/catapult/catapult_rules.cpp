#include "catapult/catapult_rules.h"

#include <cmath>

const char* CatapultTypeRefusal(uint8_t engineType, int32_t tailWheel) {
  if (engineType == kEngineTypeHelicopter) return "won't work with helicopters";
  if (tailWheel == 1) return "won't work with taildraggers";
  if (tailWheel != 0) return "";
  return nullptr;
}

bool WithinCatapultArmingReach(double dLatDeg, double dLonDeg) {
  return std::fabs(dLatDeg) < kCatapultArmReachDeg && std::fabs(dLonDeg) < kCatapultArmReachDeg;
}

bool WithinCatapultKeepReach(double dLatDeg, double dLonDeg) {
  return std::fabs(dLatDeg) <= kCatapultKeepReachDeg || std::fabs(dLonDeg) <= kCatapultKeepReachDeg;
}

bool CatapultStateReady(int16_t onGround, int32_t gearLever, int16_t parkingBrake) {
  return gearLever > 0 && onGround == 1 && parkingBrake == kParkingBrakeSet;
}

const char* CatapultStateRefusal(int16_t onGround, int32_t gearLever, int16_t parkingBrake) {
  if (onGround == 0) return "aircraft not in a landed state";
  if (gearLever == 0) return "check landing gear and lever";
  if (parkingBrake != kParkingBrakeSet) return "parking brake is not set";
  return "";
}

bool CatapultReleased(int16_t parkingBrake, int16_t throttle) {
  return parkingBrake == 0 && throttle > kCatapultReleaseThrottle;
}

bool CatapultHolds(int16_t parkingBrake, double forwardSpeedFps) {
  return parkingBrake == kParkingBrakeSet && forwardSpeedFps > 0;
}
