#pragma once

#include <array>
#include <cmath>
#include <cstdint>

// Every simulator variable the program exchanges, by offset and request size, and the
// conversions of their encodings. All values are little-endian.

namespace simlink {

/// One simulator variable: its offset and the size of every request for it.
struct Offset {
  uint32_t offset;
  uint32_t size;
};

// Position and attitude. 64-bit positions are two requests: the low half at the offset, the
// high half at offset + 4; queue the low half first.
/// Latitude, low half (fraction of a metre).
inline constexpr Offset kLatitudeLow{0x0560, 4};
/// Latitude, high half: metres north of the equator, signed.
inline constexpr Offset kLatitudeHigh{0x0564, 4};
/// Longitude, low half.
inline constexpr Offset kLongitudeLow{0x0568, 4};
/// Longitude, high half: angle units east, signed.
inline constexpr Offset kLongitudeHigh{0x056C, 4};
/// Altitude, low half (fraction of a metre).
inline constexpr Offset kAltitudeLow{0x0570, 4};
/// Altitude, high half: metres, signed.
inline constexpr Offset kAltitudeHigh{0x0574, 4};
/// Bank, signed 32-bit angle units.
inline constexpr Offset kBank{0x057C, 4};
/// True heading, 32-bit angle units.
inline constexpr Offset kHeadingTrue{0x0580, 4};
/// Magnetic variation, signed 16-bit, 65536 = 360 degrees.
inline constexpr Offset kMagVar{0x02A0, 2};
/// Ground altitude, signed 16-bit metres.
inline constexpr Offset kGroundAltitude{0x0B4C, 2};

// Motion.
/// Forward speed along the aircraft's axis, double, feet per second.
inline constexpr Offset kForwardSpeed{0x3090, 8};
/// Longitudinal acceleration imposed on the aircraft, double, feet per second squared (write).
inline constexpr Offset kLongitudinalAccel{0x3070, 8};

// Aircraft state.
/// 1 = on the ground (signed 16-bit).
inline constexpr Offset kOnGround{0x0366, 2};
/// Greater than 0 = crashed (signed 16-bit).
inline constexpr Offset kCrashed{0x0840, 2};
/// Not 0 = slew mode (signed 16-bit).
inline constexpr Offset kSlewMode{0x05DC, 2};
/// Gear lever, signed 32-bit: 0 up, greater than 0 down.
inline constexpr Offset kGearLever{0x0BE8, 4};
/// Parking brake, signed 16-bit: 0x7FFF = set.
inline constexpr Offset kParkingBrake{0x0BC8, 2};
/// Engine 1 throttle lever, signed 16-bit.
inline constexpr Offset kThrottle1{0x088C, 2};
/// Engine type, unsigned 8-bit: 3 = helicopter.
inline constexpr Offset kEngineType{0x0609, 1};
/// 1 = tail-wheel aircraft (signed 32-bit).
inline constexpr Offset kTailWheel{0x0790, 4};
/// Number of engines (signed 16-bit).
inline constexpr Offset kEngineCount{0x0AEC, 2};
/// Tail hook position, double: more than 0.5 = extended.
inline constexpr Offset kTailHook{0x3BA0, 8};
/// Smoke system, 16-bit: 1 on, 0 off (write).
inline constexpr Offset kSmoke{0x05D8, 2};

// Fuel: levels unsigned 32-bit with kFuelFull = full, capacities 32-bit US gallons.
inline constexpr Offset kFuelCentreLevel{0x0B74, 4};
inline constexpr Offset kFuelCentreCapacity{0x0B78, 4};
inline constexpr Offset kFuelCentre2Level{0x1244, 4};
inline constexpr Offset kFuelCentre2Capacity{0x1248, 4};
inline constexpr Offset kFuelLeftMainLevel{0x0B7C, 4};
inline constexpr Offset kFuelLeftMainCapacity{0x0B80, 4};
inline constexpr Offset kFuelRightMainLevel{0x0B94, 4};
inline constexpr Offset kFuelRightMainCapacity{0x0B98, 4};
inline constexpr Offset kFuelLeftAuxLevel{0x0B84, 4};
inline constexpr Offset kFuelLeftAuxCapacity{0x0B88, 4};
inline constexpr Offset kFuelRightAuxLevel{0x0B9C, 4};
inline constexpr Offset kFuelRightAuxCapacity{0x0BA0, 4};

/// One tank: its level and capacity variables.
struct FuelTank {
  Offset level;
  Offset capacity;
};
/// The six tanks in the program's fixed order: centre, centre 2, left main, right main,
/// left auxiliary, right auxiliary.
inline constexpr std::array<FuelTank, 6> kFuelTanks{{
    {kFuelCentreLevel, kFuelCentreCapacity},
    {kFuelCentre2Level, kFuelCentre2Capacity},
    {kFuelLeftMainLevel, kFuelLeftMainCapacity},
    {kFuelRightMainLevel, kFuelRightMainCapacity},
    {kFuelLeftAuxLevel, kFuelLeftAuxCapacity},
    {kFuelRightAuxLevel, kFuelRightAuxCapacity},
}};

// Battle damage: one byte each, read then written back with chosen entries set to 1.
/// Failure bytes of damage level 1.
inline constexpr std::array<uint32_t, 7> kDamageLevel1Offsets{0x0B64, 0x0B6D, 0x0B6F, 0x0B70,
                                                              0x0B71, 0x0B72, 0x0B73};
/// Failure bytes of damage level 2.
inline constexpr std::array<uint32_t, 5> kDamageLevel2Offsets{0x0B65, 0x0B66, 0x0B67, 0x0B68,
                                                              0x0B6E};
/// Failure bytes of damage level 3.
inline constexpr std::array<uint32_t, 4> kDamageLevel3Offsets{0x0B69, 0x0B6A, 0x0B6B, 0x0B6C};
/// Size of each failure byte request.
inline constexpr uint32_t kDamageFlagSize = 1;

// Operator interface, messages and sounds.
/// Number of hot-key slots the server offers (unsigned 32-bit).
inline constexpr Offset kHotKeySlotCount{0x320C, 4};
/// Hot-key slot 0; slot i is at kHotKeySlot0.offset + 4 * i, 4 bytes each.
inline constexpr Offset kHotKeySlot0{0x3210, 4};
/// Offset of hot-key slot i.
constexpr Offset hotKeySlot(uint32_t i) { return {kHotKeySlot0.offset + 4 * i, 4}; }
/// Hot-key change counter: only its low byte counts.
inline constexpr Offset kHotKeyCounter{0x32FE, 4};
/// Text shown inside the simulator, zero-terminated (write).
inline constexpr Offset kMessageText{0x3380, 128};
/// Most characters of a message ever shown.
inline constexpr uint32_t kMessageMaxChars = 100;
/// Display time of that message, signed 16-bit seconds; written after the text.
inline constexpr Offset kMessageTime{0x32FA, 2};
/// Sound control word, 16-bit: 1 or 0 (write).
inline constexpr Offset kSoundControl{0x0B20, 2};

// Link handshake.
/// Server version word.
inline constexpr Offset kServerVersion{0x3304, 4};
/// Simulator check word: high 16 bits 0xFADE, low 16 bits the simulator index.
inline constexpr Offset kSimCheck{0x3308, 4};
/// Client library version (write, first handshake pass only).
inline constexpr Offset kLibraryVersion{0x330A, 2};

// Conversions.
/// One unit of a 64-bit position's high half in units of its low half (2^32).
inline constexpr double FractionScale = 4294967296.0;
/// Degrees per angle unit (360 / 2^32).
inline constexpr double DegreesPerAngleUnit = 360.0 / 4294967296.0;
/// Degrees of latitude per metre (90 / 10001750).
inline constexpr double DegreesPerLatUnit = 90.0 / 10001750.0;
/// Fuel level meaning a full tank (2^23).
inline constexpr uint32_t kFuelFull = 8388608;

/// Joins the halves of a 64-bit position: high (signed) + low (unsigned) / 2^32.
constexpr double joinPosition(uint32_t low, uint32_t high) {
  return static_cast<double>(static_cast<int32_t>(high)) + static_cast<double>(low) / FractionScale;
}
/// Latitude in degrees from the two halves; north positive.
constexpr double latitudeDegrees(uint32_t low, uint32_t high) {
  return joinPosition(low, high) * DegreesPerLatUnit;
}
/// Longitude in degrees from the two halves; east positive.
constexpr double longitudeDegrees(uint32_t low, uint32_t high) {
  return joinPosition(low, high) * DegreesPerAngleUnit;
}
/// Altitude in metres from the two halves.
constexpr double altitudeMetres(uint32_t low, uint32_t high) { return joinPosition(low, high); }
/// Degrees of an unsigned 32-bit angle (0 up to 360).
constexpr double angleDegrees(uint32_t value) { return value * DegreesPerAngleUnit; }
/// Degrees of a signed 32-bit angle (-180 up to 180).
constexpr double angleDegreesSigned(int32_t value) { return value * DegreesPerAngleUnit; }
/// Magnetic variation in degrees from the signed 16-bit value.
constexpr double magVarDegrees(int16_t value) { return value * 360.0 / 65536.0; }
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
