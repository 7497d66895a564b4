#pragma once

#include <cstdint>

// Offsets the substitute simulator serves, with their encodings noted where they are not
// obvious. The client's catalogue lives in simlink/; the server keeps its own list because
// the two sides share only the wire format.
namespace sim::off {

inline constexpr uint32_t kMagVar = 0x02A0;        // i16, 65536 = 360 degrees
inline constexpr uint32_t kOnGround = 0x0366;      // i16, 1 = on the ground
inline constexpr uint32_t kLatLow = 0x0560;        // u32 fraction of a metre
inline constexpr uint32_t kLatHigh = 0x0564;       // i32 metres north
inline constexpr uint32_t kLonLow = 0x0568;        // u32 fraction of an angle unit
inline constexpr uint32_t kLonHigh = 0x056C;       // i32 angle units (2^32 = 360 degrees)
inline constexpr uint32_t kAltLow = 0x0570;        // u32 fraction of a metre
inline constexpr uint32_t kAltHigh = 0x0574;       // i32 metres
inline constexpr uint32_t kBank = 0x057C;          // i32 angle units
inline constexpr uint32_t kHeading = 0x0580;       // u32 angle units, true
inline constexpr uint32_t kSmoke = 0x05D8;         // u16
inline constexpr uint32_t kSlew = 0x05DC;          // i16
inline constexpr uint32_t kEngineType = 0x0609;    // u8, 3 = helicopter
inline constexpr uint32_t kTaildragger = 0x0790;   // i32, 1 = tail wheel
inline constexpr uint32_t kCrashed = 0x0840;       // i16
inline constexpr uint32_t kThrottle1 = 0x088C;     // i16, 16384 = full
inline constexpr uint32_t kEngineCount = 0x0AEC;   // i16
inline constexpr uint32_t kSoundControl = 0x0B20;  // u16
inline constexpr uint32_t kGroundAlt = 0x0B4C;     // i16 metres
inline constexpr uint32_t kWindSpeed = 0x0E90;     // u16 knots, at the aircraft
inline constexpr uint32_t kWindFrom = 0x0E92;      // u16, 65536 = 360 degrees true
inline constexpr uint32_t kFirstFailureFlag = 0x0B64;
inline constexpr uint32_t kLastFailureFlag = 0x0B73;
inline constexpr uint32_t kEngineFailures = 0x0B6B;  // bit n-1 = engine n failed
inline constexpr uint32_t kParkingBrake = 0x0BC8;    // i16, 32767 = set
inline constexpr uint32_t kGearLever = 0x0BE8;       // i32, 16383 = down
inline constexpr uint32_t kAccel = 0x3070;           // double, ft/s^2, written by the client
inline constexpr uint32_t kForwardSpeed = 0x3090;    // double, ft/s
inline constexpr uint32_t kTailhook = 0x3BA0;        // double, 0..1
inline constexpr uint32_t kHotKeyCount = 0x320C;     // u32
inline constexpr uint32_t kHotKeySlots = 0x3210;     // u32 each
inline constexpr uint32_t kHotKeyCounter = 0x32FE;   // u32, low byte counts presses
inline constexpr uint32_t kMessageSeconds = 0x32FA;  // i16
inline constexpr uint32_t kMessageText = 0x3380;     // 128 bytes
inline constexpr uint32_t kMessageSize = 128;
inline constexpr uint32_t kServerVersion = 0x3304;   // u32
inline constexpr uint32_t kSimId = 0x3308;           // u32, 0xFADE0000 | simulator index
inline constexpr uint32_t kLibraryVersion = 0x330A;  // u16, written by the client

// Speeds over the ground and in the vertical, in metres per second: ground speed x 65536 (u32);
// vertical speed x 256, positive up (i32); the same held at its last airborne value while on
// the ground (i32), which gives the rate of descent at the touchdown.
inline constexpr uint32_t kGroundSpeed = 0x02B4;
inline constexpr uint32_t kVerticalSpeed = 0x02C8;
inline constexpr uint32_t kLastAirborneVs = 0x030C;

/// Level and capacity offsets of the six tanks, in the order centre, centre 2, left main,
/// right main, left aux, right aux.
inline constexpr uint32_t kTankLevel[6] = {0x0B74, 0x1244, 0x0B7C, 0x0B94, 0x0B84, 0x0B9C};
inline constexpr uint32_t kTankCapacity[6] = {0x0B78, 0x1248, 0x0B80, 0x0B98, 0x0B88, 0x0BA0};

/// Tank level meaning full.
inline constexpr uint32_t kTankFull = 8388608;

}  // namespace sim::off
