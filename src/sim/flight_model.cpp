#include "sim/flight_model.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "sim/fields.h"
#include "sim/sim_offsets.h"

namespace sim {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kGravityFps2 = 32.174;
constexpr double kTwo32 = 4294967296.0;

uint32_t angleUnits(double deg) {
  double turns = deg / 360.0;
  turns -= std::floor(turns);
  return static_cast<uint32_t>(static_cast<uint64_t>(std::llround(turns * kTwo32)) & 0xFFFFFFFFu);
}

int workingEngines(const AircraftState& s) {
  int failed = 0;
  uint8_t bits = s.flags[off::kEngineFailures - off::kFirstFailureFlag];
  for (int e = 0; e < s.engines && e < 8; ++e)
    if (bits & (1u << e)) ++failed;
  return s.engines - failed;
}

}  // namespace

void encodeFixed64(double value, int32_t& high, uint32_t& low) {
  double whole = std::floor(value);
  double frac = value - whole;
  whole = std::clamp(whole, -2147483648.0, 2147483647.0);
  high = static_cast<int32_t>(whole);
  double f = std::floor(frac * kTwo32);
  low = static_cast<uint32_t>(std::clamp(f, 0.0, kTwo32 - 1));
}

double airspeedFps(const AircraftState& s) {
  return s.speedFps +
         s.windKt * kFpsPerKnot * std::cos((s.windFromDeg - s.headingDeg) * kPi / 180.0);
}

bool FlightModel::setPendingAccel(double fps2) {
  if (!std::isfinite(fps2)) return false;
  pendingAccel_ = std::clamp(fps2, -tuning_.maxClientAccel, tuning_.maxClientAccel);
  hasPending_ = true;
  return true;
}

StepEvents FlightModel::step(double dt) {
  StepEvents ev;
  AircraftState& s = state_;
  double client = hasPending_ ? pendingAccel_ : 0.0;
  if (!tuning_.holdClientAccel) {
    hasPending_ = false;
    pendingAccel_ = 0.0;
  }
  s.lastAccelFps2 = client;
  if (s.crashed || s.slew) return ev;

  // Forward motion: thrust less drag, wheel friction and brakes on the surface, plus whatever
  // the client imposes. Nothing here drives the aircraft backwards.
  double throttle = std::clamp(s.throttle / 16384.0, 0.0, 1.0);
  double thrust =
      s.engines > 0 ? tuning_.thrustFps2 * throttle * workingEngines(s) / s.engines : 0.0;
  double a = thrust - tuning_.dragPerFps2 * s.speedFps * s.speedFps + client;
  if (s.onGround) {
    double resist =
        tuning_.rollingFps2 + tuning_.brakeFps2 * std::clamp(s.brake / 32767.0, 0.0, 1.0);
    if (s.speedFps > 0.0 || a > resist)
      a -= resist;
    else
      a = std::min(a, 0.0);
  }
  s.speedFps = std::clamp(s.speedFps + a * dt, 0.0, tuning_.maxSpeedFps);

  // Turning: a coordinated turn from the bank while airborne.
  if (!s.onGround && s.speedFps > 10.0 && std::fabs(s.bankDeg) > 0.01) {
    double rate = kGravityFps2 * std::tan(s.bankDeg * kPi / 180.0) / s.speedFps;
    s.headingDeg = std::fmod(s.headingDeg + rate * 180.0 / kPi * dt + 360.0, 360.0);
  }

  // Position along the heading on a flat grid around the aircraft.
  double dist = s.speedFps * dt * kMetresPerFoot;
  double h = s.headingDeg * kPi / 180.0;
  s.latDeg += dist * std::cos(h) / kMetresPerDegLat;
  double cosLat = std::max(std::cos(s.latDeg * kPi / 180.0), 1e-6);
  s.lonDeg += dist * std::sin(h) / (kMetresPerDegLat * cosLat);
  s.latDeg = std::clamp(s.latDeg, -90.0, 90.0);
  if (s.lonDeg >= 180.0) s.lonDeg -= 360.0;
  if (s.lonDeg < -180.0) s.lonDeg += 360.0;

  // Vertical motion and contact with the surface.
  if (s.onGround) {
    s.vsFps = 0.0;
    s.altFt = s.surfaceFt;
    if (s.liftoffKt > 0.0 && airspeedFps(s) >= s.liftoffKt * kFpsPerKnot) {
      s.onGround = false;
      s.vsFps = 1000.0 / 60.0;
      ev.liftoff = true;
    }
  } else {
    s.lastAirborneVsFps = s.vsFps;
    s.altFt += s.vsFps * dt;
    if (s.altFt <= s.surfaceFt) {
      ev.touchdown = true;
      ev.touchdownVsFpm = s.vsFps * 60.0;
      s.altFt = s.surfaceFt;
      s.onGround = true;
      if (ev.touchdownVsFpm < tuning_.crashVsFpm || !s.gearDown) {
        s.crashed = true;
        s.speedFps = 0.0;
        ev.crashed = true;
      }
      s.vsFps = 0.0;
    }
  }
  return ev;
}

void FlightModel::publish(OffsetSpace& sp) const {
  const AircraftState& s = state_;
  int32_t hi;
  uint32_t lo;
  encodeFixed64(s.latDeg * kMetresPerDegLat, hi, lo);
  sp.set<uint32_t>(off::kLatLow, lo);
  sp.set<int32_t>(off::kLatHigh, hi);
  encodeFixed64(s.lonDeg / 360.0 * kTwo32, hi, lo);
  sp.set<uint32_t>(off::kLonLow, lo);
  sp.set<int32_t>(off::kLonHigh, hi);
  encodeFixed64(s.altFt * kMetresPerFoot, hi, lo);
  sp.set<uint32_t>(off::kAltLow, lo);
  sp.set<int32_t>(off::kAltHigh, hi);
  sp.set<uint32_t>(off::kBank, angleUnits(s.bankDeg));
  sp.set<uint32_t>(off::kHeading, angleUnits(s.headingDeg));
  sp.set<int16_t>(off::kMagVar, static_cast<int16_t>(std::lround(s.magvarDeg * 65536.0 / 360.0)));
  sp.set<int16_t>(
      off::kGroundAlt,
      static_cast<int16_t>(std::clamp(std::lround(s.surfaceFt * kMetresPerFoot), -32768L, 32767L)));
  sp.set<uint16_t>(off::kWindSpeed,
                   static_cast<uint16_t>(std::clamp(std::lround(s.windKt), 0L, 65535L)));
  sp.set<uint16_t>(off::kWindFrom, angleUnits(s.windFromDeg) >> 16);
  sp.set<int16_t>(off::kOnGround, s.onGround ? 1 : 0);
  sp.set<int16_t>(off::kCrashed, s.crashed ? 1 : 0);
  sp.set<int16_t>(off::kSlew, s.slew ? 1 : 0);
  sp.set<double>(off::kForwardSpeed, s.speedFps);
  // The aircraft moves along its heading in still air: the ground speed is the forward speed.
  sp.set<uint32_t>(off::kGroundSpeed,
                   static_cast<uint32_t>(std::lround(s.speedFps * kMetresPerFoot * 65536.0)));
  sp.set<int32_t>(off::kVerticalSpeed,
                  static_cast<int32_t>(std::lround(s.vsFps * kMetresPerFoot * 256.0)));
  sp.set<int32_t>(off::kLastAirborneVs,
                  static_cast<int32_t>(std::lround((s.onGround ? s.lastAirborneVsFps : s.vsFps) *
                                                   kMetresPerFoot * 256.0)));
  sp.set<int32_t>(off::kGearLever, s.gearDown ? 16383 : 0);
  sp.set<int16_t>(off::kParkingBrake, static_cast<int16_t>(s.brake));
  sp.set<int16_t>(off::kThrottle1, static_cast<int16_t>(s.throttle));
  sp.set<uint8_t>(off::kEngineType, static_cast<uint8_t>(s.engineType));
  sp.set<int32_t>(off::kTaildragger, s.taildragger ? 1 : 0);
  sp.set<int16_t>(off::kEngineCount, static_cast<int16_t>(s.engines));
  sp.set<double>(off::kTailhook, s.hook);
  sp.set<uint16_t>(off::kSmoke, s.smoke);
  sp.set<uint16_t>(off::kSoundControl, s.soundControl);
  for (int i = 0; i < 6; ++i) {
    sp.set<uint32_t>(off::kTankLevel[i], s.tanks[i].level);
    sp.set<uint32_t>(off::kTankCapacity[i], s.tanks[i].capacityGal);
  }
  sp.write(off::kFirstFailureFlag, s.flags.data(), static_cast<uint32_t>(s.flags.size()));
  sp.set<double>(off::kAccel, hasPending_ ? pendingAccel_ : 0.0);
}

}  // namespace sim
