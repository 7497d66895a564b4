#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <type_traits>

// Every simulator variable the program exchanges, by offset and request size, and the
// conversions of their encodings. All values are little-endian.

namespace simlink {

/// One simulator variable: its offset and the C++ type it holds. Every request for it is
/// sizeof(T) bytes, so the size is written once, in the type.
template <typename T>
struct Var {
  static_assert(std::is_trivially_copyable_v<T>, "a variable is copied byte for byte");
  /// Bytes of every request for this variable.
  static constexpr uint32_t size = sizeof(T);
  uint32_t offset;
};

/// A 64-bit fixed-point value as the simulator holds it: the fraction in the low half, the
/// signed whole units in the high half.
struct FixedPoint {
  uint32_t low = 0;
  int32_t high = 0;
};
/// A 64-bit position variable, exchanged as two 4-byte requests: the low half at the offset,
/// the high half at offset + 4, the low half queued first.
struct PositionVar {
  Var<uint32_t> low;
  Var<int32_t> high;
};
/// The position variable whose low half is at offset.
constexpr PositionVar positionAt(uint32_t offset) { return {{offset}, {offset + 4}}; }

// Position and attitude.
/// Latitude: metres north of the equator (high half) and their fraction (low half).
inline constexpr PositionVar kLatitude = positionAt(0x0560);
/// Longitude: angle units east.
inline constexpr PositionVar kLongitude = positionAt(0x0568);
/// Altitude: metres.
inline constexpr PositionVar kAltitude = positionAt(0x0570);
/// Bank, signed 32-bit angle units.
inline constexpr Var<int32_t> kBank{0x057C};
/// True heading, 32-bit angle units.
inline constexpr Var<uint32_t> kHeadingTrue{0x0580};
/// Magnetic variation, signed 16-bit, 65536 = 360 degrees.
inline constexpr Var<int16_t> kMagVar{0x02A0};
/// Ground altitude, signed 16-bit metres.
inline constexpr Var<int16_t> kGroundAltitude{0x0B4C};

// Weather at the aircraft (read only with realistic gear on).
/// Wind speed, knots.
inline constexpr Var<uint16_t> kWindSpeed{0x0E90};
/// Direction the wind blows from, true, 65536 = 360 degrees.
inline constexpr Var<uint16_t> kWindDirection{0x0E92};

// Motion.
/// Forward speed along the aircraft's axis, feet per second.
inline constexpr Var<double> kForwardSpeed{0x3090};
/// Longitudinal acceleration imposed on the aircraft, feet per second squared (write).
inline constexpr Var<double> kLongitudinalAccel{0x3070};
/// Ground speed, metres per second times 65536.
inline constexpr Var<uint32_t> kGroundSpeed{0x02B4};
/// Vertical speed, metres per second times 256, positive up; on the ground it keeps the last
/// airborne value, so after a touchdown it holds the rate of descent at the touchdown.
inline constexpr Var<int32_t> kLastAirborneVerticalSpeed{0x030C};

// Aircraft state.
/// 1 = on the ground.
inline constexpr Var<int16_t> kOnGround{0x0366};
/// Greater than 0 = crashed.
inline constexpr Var<int16_t> kCrashed{0x0840};
/// Not 0 = slew mode.
inline constexpr Var<int16_t> kSlewMode{0x05DC};
/// Gear lever: 0 up, greater than 0 down.
inline constexpr Var<int32_t> kGearLever{0x0BE8};
/// Parking brake: 0x7FFF = set.
inline constexpr Var<int16_t> kParkingBrake{0x0BC8};
/// Engine 1 throttle lever.
inline constexpr Var<int16_t> kThrottle1{0x088C};
/// Engine type: 3 = helicopter.
inline constexpr Var<uint8_t> kEngineType{0x0609};
/// 1 = tail-wheel aircraft.
inline constexpr Var<int32_t> kTailWheel{0x0790};
/// Number of engines.
inline constexpr Var<int16_t> kEngineCount{0x0AEC};
/// Tail hook position: more than 0.5 = extended.
inline constexpr Var<double> kTailHook{0x3BA0};
/// Smoke system: 1 on, 0 off (write).
inline constexpr Var<uint16_t> kSmoke{0x05D8};

/// One tank: its level (kFuelFull = full) and its capacity in US gallons.
struct FuelTank {
  Var<uint32_t> level;
  Var<uint32_t> capacity;
};
/// The six tanks in the program's fixed order: centre, centre 2, left main, right main,
/// left auxiliary, right auxiliary.
inline constexpr std::array<FuelTank, 6> kFuelTanks{{
    {{0x0B74}, {0x0B78}},
    {{0x1244}, {0x1248}},
    {{0x0B7C}, {0x0B80}},
    {{0x0B94}, {0x0B98}},
    {{0x0B84}, {0x0B88}},
    {{0x0B9C}, {0x0BA0}},
}};

// Battle damage: one failure byte each, read then written back with chosen entries set to 1.
/// Failure bytes of damage level 1 in list order; the transponder is the third.
inline constexpr std::array<Var<uint8_t>, 7> kDamageLevel1{
    {{0x0B64}, {0x0B6D}, {0x0B6F}, {0x0B70}, {0x0B71}, {0x0B72}, {0x0B73}}};
/// Failure bytes of damage level 2 in list order; the COM radio is the fourth.
inline constexpr std::array<Var<uint8_t>, 5> kDamageLevel2{
    {{0x0B65}, {0x0B66}, {0x0B67}, {0x0B68}, {0x0B6E}}};
/// Failure bytes of damage level 3 in drawing order: magnetic compass, electrical system, one
/// more.
inline constexpr std::array<Var<uint8_t>, 3> kDamageLevel3{{{0x0B69}, {0x0B6A}, {0x0B6C}}};
/// Engine failure byte: bit j-1 set = engine j failed.
inline constexpr Var<uint8_t> kEngineFailures{0x0B6B};

// Operator interface, messages and sounds.
/// Number of hot-key slots the server offers.
inline constexpr Var<uint32_t> kHotKeySlotCount{0x320C};
/// Hot-key slot 0; slot i is 4 bytes further on per slot.
inline constexpr Var<uint32_t> kHotKeySlot0{0x3210};
/// Hot-key slot i.
constexpr Var<uint32_t> hotKeySlot(uint32_t i) {
  return {kHotKeySlot0.offset + kHotKeySlot0.size * i};
}
/// The hot-key slot at offset, as returned by hotKeySlot(i).offset.
constexpr Var<uint32_t> hotKeySlotAt(uint32_t offset) { return {offset}; }
/// Hot-key change counter: only its low byte counts.
inline constexpr Var<uint32_t> kHotKeyCounter{0x32FE};
/// Text shown inside the simulator, zero-terminated (write).
inline constexpr Var<std::array<uint8_t, 128>> kMessageText{0x3380};
/// Display time of that message, signed 16-bit seconds; written after the text.
inline constexpr Var<int16_t> kMessageTime{0x32FA};
/// Sound control word: 1 or 0 (write).
inline constexpr Var<uint16_t> kSoundControl{0x0B20};

// Link handshake.
/// Server version word.
inline constexpr Var<uint32_t> kServerVersion{0x3304};
/// Simulator check word: high 16 bits 0xFADE, low 16 bits the simulator index.
inline constexpr Var<uint32_t> kSimCheck{0x3308};
/// Client library version (write, first handshake pass only).
inline constexpr Var<uint16_t> kLibraryVersion{0x330A};

// Conversions.
/// One unit of a 64-bit position's high half in units of its low half (2^32).
inline constexpr double FractionScale = 4294967296.0;
/// Degrees per angle unit (360 / 2^32).
inline constexpr double DegreesPerAngleUnit = 360.0 / 4294967296.0;
/// Degrees of latitude per metre (90 / 10001750).
inline constexpr double DegreesPerLatUnit = 90.0 / 10001750.0;
/// Fuel level meaning a full tank (2^23).
inline constexpr uint32_t kFuelFull = 8388608;

/// The value of a 64-bit fixed-point position: high (signed) + low / 2^32.
constexpr double joinPosition(FixedPoint v) {
  return static_cast<double>(v.high) + static_cast<double>(v.low) / FractionScale;
}
/// Latitude in degrees; north positive.
constexpr double latitudeDegrees(FixedPoint v) { return joinPosition(v) * DegreesPerLatUnit; }
/// Longitude in degrees; east positive.
constexpr double longitudeDegrees(FixedPoint v) { return joinPosition(v) * DegreesPerAngleUnit; }
/// Altitude in metres.
constexpr double altitudeMetres(FixedPoint v) { return joinPosition(v); }
/// Degrees of a 32-bit angle: unsigned 0 up to 360, signed -180 up to 180.
constexpr double angleDegrees(uint32_t value) { return value * DegreesPerAngleUnit; }
constexpr double angleDegrees(int32_t value) { return value * DegreesPerAngleUnit; }
/// Knots of a ground speed value.
constexpr double groundSpeedKnots(uint32_t value) { return value / 65536.0 * 3600.0 / 1852.0; }
/// Feet per minute of a vertical speed value (positive up).
constexpr double verticalSpeedFpm(int32_t value) { return value / 256.0 * 60.0 / 0.3048; }
/// Magnetic variation in degrees from the signed 16-bit value.
constexpr double magVarDegrees(int16_t value) { return value * 360.0 / 65536.0; }
/// Degrees true of a wind direction value.
constexpr double windDirectionDegrees(uint16_t value) { return value * 360.0 / 65536.0; }
/// Magnetic heading in [0, 360) from a true heading and the variation (east positive): true -
/// variation, brought back into one turn. A west variation can push it past 360 just as an east
/// one pushes it below 0, and both are folded back so a heading comparison never sees a value
/// outside one turn.
inline double magneticHeading(double trueHeading, double magVarDeg) {
  double h = std::fmod(trueHeading - magVarDeg, 360.0);
  if (h < 0) h += 360.0;
  if (h >= 360.0) h -= 360.0;
  return h;
}

}  // namespace simlink
