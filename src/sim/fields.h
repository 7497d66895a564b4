#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "sim/aircraft.h"

namespace sim {

/// The aircraft fields a scenario can set and test, in user units.
enum class FieldId {
  Lat,
  Lon,
  Alt,
  Surface,
  Heading,
  Bank,
  Speed,
  Vs,
  Gear,
  Brake,
  Throttle,
  Hook,
  EngineType,
  Taildragger,
  Engines,
  Magvar,
  Slew,
  Crashed,
  Smoke,
  Sound,
  Liftoff,
  OnGround,
  Accel,
  TankCapacity,
  TankLevel,
  Flag,
  WindSpeed,
  WindFrom
};

/// A field with its index (tank number 0..5, or the failure byte's offset for Flag).
struct FieldRef {
  FieldId id = FieldId::Lat;
  int index = 0;
  bool operator==(const FieldRef&) const = default;
};

/// Looks up a field by its scenario name ("speed", "tank.leftmain.level", "flag.0x0B6F").
std::optional<FieldRef> parseField(std::string_view name);
/// The scenario name of a field.
std::string fieldName(FieldRef f);
/// False for fields that can only be tested (on_ground, accel).
bool fieldSettable(FieldRef f);
/// Empty when v is an acceptable value for the field, else the reason.
std::string checkFieldValue(FieldRef f, double v);
/// Value of a field in user units.
double getField(const AircraftState& s, FieldRef f);
/// Sets a field from a value in user units (already checked with checkFieldValue).
void setField(AircraftState& s, FieldRef f, double v);

/// Feet per second in one knot.
inline constexpr double kFpsPerKnot = 1.6878098570997;
/// Metres in one foot.
inline constexpr double kMetresPerFoot = 0.3048;

}  // namespace sim
