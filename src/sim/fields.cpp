#include "sim/fields.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "sim/sim_offsets.h"

namespace sim {
namespace {

struct Simple {
  const char* name;
  FieldId id;
  double min, max;
  bool integer;
};

constexpr Simple kSimple[] = {
    {"lat", FieldId::Lat, -90, 90, false},
    {"lon", FieldId::Lon, -180, 180, false},
    {"alt", FieldId::Alt, -1500, 100000, false},
    {"surface", FieldId::Surface, -1500, 30000, false},
    {"heading", FieldId::Heading, 0, 360, false},
    {"bank", FieldId::Bank, -90, 90, false},
    {"speed", FieldId::Speed, 0, 2000, false},
    {"vs", FieldId::Vs, -30000, 30000, false},
    {"gear", FieldId::Gear, 0, 1, true},
    {"brake", FieldId::Brake, 0, 32767, true},
    {"throttle", FieldId::Throttle, 0, 16384, true},
    {"hook", FieldId::Hook, 0, 1, false},
    {"engine_type", FieldId::EngineType, 0, 255, true},
    {"taildragger", FieldId::Taildragger, 0, 1, true},
    {"engines", FieldId::Engines, 0, 8, true},
    {"magvar", FieldId::Magvar, -180, 180, false},
    {"slew", FieldId::Slew, 0, 1, true},
    {"crashed", FieldId::Crashed, 0, 1, true},
    {"smoke", FieldId::Smoke, 0, 65535, true},
    {"sound", FieldId::Sound, 0, 65535, true},
    {"liftoff", FieldId::Liftoff, 0, 2000, false},
    {"on_ground", FieldId::OnGround, 0, 1, true},
    {"accel", FieldId::Accel, -1e9, 1e9, false},
    {"wind_speed", FieldId::WindSpeed, 0, 200, false},
    {"wind_dir", FieldId::WindFrom, 0, 360, false},
};

const Simple* findSimple(FieldId id) {
  for (const Simple& s : kSimple)
    if (s.id == id) return &s;
  return nullptr;
}

}  // namespace

std::optional<FieldRef> parseField(std::string_view name) {
  for (const Simple& s : kSimple)
    if (name == s.name) return FieldRef{s.id, 0};
  if (name.starts_with("tank.")) {
    std::string_view rest = name.substr(5);
    for (int i = 0; i < 6; ++i) {
      std::string_view t = kTankNames[i];
      if (rest.starts_with(t) && rest.size() > t.size() && rest[t.size()] == '.') {
        std::string_view what = rest.substr(t.size() + 1);
        if (what == "capacity") return FieldRef{FieldId::TankCapacity, i};
        if (what == "level") return FieldRef{FieldId::TankLevel, i};
        return std::nullopt;
      }
    }
    return std::nullopt;
  }
  if (name.starts_with("flag.")) {
    std::string digits(name.substr(5));
    if (digits.size() < 3 || digits.size() > 10 || digits[0] != '0' ||
        (digits[1] != 'x' && digits[1] != 'X'))
      return std::nullopt;
    char* end = nullptr;
    unsigned long v = std::strtoul(digits.c_str() + 2, &end, 16);
    if (*end != '\0' || end == digits.c_str() + 2) return std::nullopt;
    if (v < off::kFirstFailureFlag || v > off::kLastFailureFlag) return std::nullopt;
    return FieldRef{FieldId::Flag, static_cast<int>(v)};
  }
  return std::nullopt;
}

std::string fieldName(FieldRef f) {
  if (f.id == FieldId::TankCapacity)
    return std::string("tank.") + kTankNames[f.index] + ".capacity";
  if (f.id == FieldId::TankLevel) return std::string("tank.") + kTankNames[f.index] + ".level";
  if (f.id == FieldId::Flag) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "flag.0x%04X", static_cast<unsigned>(f.index));
    return buf;
  }
  const Simple* s = findSimple(f.id);
  return s ? s->name : "?";
}

bool fieldSettable(FieldRef f) { return f.id != FieldId::OnGround && f.id != FieldId::Accel; }

std::string checkFieldValue(FieldRef f, double v) {
  double min = 0, max = 0;
  bool integer = false;
  switch (f.id) {
    case FieldId::TankCapacity:
      min = 0;
      max = 100000;
      integer = true;
      break;
    case FieldId::TankLevel:
      min = 0;
      max = 1;
      break;
    case FieldId::Flag:
      min = 0;
      max = 255;
      integer = true;
      break;
    default: {
      const Simple* s = findSimple(f.id);
      min = s->min;
      max = s->max;
      integer = s->integer;
    }
  }
  char buf[160];
  if (!std::isfinite(v)) return "value is not a finite number";
  if (v < min || v > max) {
    std::snprintf(buf, sizeof buf, "%s must lie between %g and %g", fieldName(f).c_str(), min, max);
    return buf;
  }
  if (integer && v != std::floor(v)) {
    std::snprintf(buf, sizeof buf, "%s takes a whole number", fieldName(f).c_str());
    return buf;
  }
  return {};
}

double getField(const AircraftState& s, FieldRef f) {
  switch (f.id) {
    case FieldId::Lat:
      return s.latDeg;
    case FieldId::Lon:
      return s.lonDeg;
    case FieldId::Alt:
      return s.altFt;
    case FieldId::Surface:
      return s.surfaceFt;
    case FieldId::Heading:
      return s.headingDeg;
    case FieldId::Bank:
      return s.bankDeg;
    case FieldId::Speed:
      return s.speedFps / kFpsPerKnot;
    case FieldId::Vs:
      return s.vsFps * 60.0;
    case FieldId::Gear:
      return s.gearDown ? 1 : 0;
    case FieldId::Brake:
      return s.brake;
    case FieldId::Throttle:
      return s.throttle;
    case FieldId::Hook:
      return s.hook;
    case FieldId::EngineType:
      return s.engineType;
    case FieldId::Taildragger:
      return s.taildragger ? 1 : 0;
    case FieldId::Engines:
      return s.engines;
    case FieldId::Magvar:
      return s.magvarDeg;
    case FieldId::Slew:
      return s.slew ? 1 : 0;
    case FieldId::Crashed:
      return s.crashed ? 1 : 0;
    case FieldId::Smoke:
      return s.smoke;
    case FieldId::Sound:
      return s.soundControl;
    case FieldId::Liftoff:
      return s.liftoffKt;
    case FieldId::OnGround:
      return s.onGround ? 1 : 0;
    case FieldId::Accel:
      return s.lastAccelFps2;
    case FieldId::TankCapacity:
      return s.tanks[f.index].capacityGal;
    case FieldId::TankLevel:
      return double(s.tanks[f.index].level) / off::kTankFull;
    case FieldId::Flag:
      return s.flags[f.index - off::kFirstFailureFlag];
    case FieldId::WindSpeed:
      return s.windKt;
    case FieldId::WindFrom:
      return s.windFromDeg;
  }
  return 0;
}

void setField(AircraftState& s, FieldRef f, double v) {
  switch (f.id) {
    case FieldId::Lat:
      s.latDeg = v;
      break;
    case FieldId::Lon:
      s.lonDeg = v;
      break;
    case FieldId::Alt:
      s.altFt = v;
      s.onGround = s.altFt <= s.surfaceFt;
      if (s.onGround) s.altFt = s.surfaceFt;
      break;
    case FieldId::Surface:
      s.surfaceFt = v;
      if (s.altFt <= s.surfaceFt) {
        s.altFt = s.surfaceFt;
        s.onGround = true;
      } else {
        s.onGround = false;
      }
      break;
    case FieldId::Heading:
      s.headingDeg = v == 360 ? 0 : v;
      break;
    case FieldId::Bank:
      s.bankDeg = v;
      break;
    case FieldId::Speed:
      s.speedFps = v * kFpsPerKnot;
      break;
    case FieldId::Vs:
      s.vsFps = v / 60.0;
      break;
    case FieldId::Gear:
      s.gearDown = v != 0;
      break;
    case FieldId::Brake:
      s.brake = static_cast<int>(v);
      break;
    case FieldId::Throttle:
      s.throttle = static_cast<int>(v);
      break;
    case FieldId::Hook:
      s.hook = v;
      break;
    case FieldId::EngineType:
      s.engineType = static_cast<int>(v);
      break;
    case FieldId::Taildragger:
      s.taildragger = v != 0;
      break;
    case FieldId::Engines:
      s.engines = static_cast<int>(v);
      break;
    case FieldId::Magvar:
      s.magvarDeg = v;
      break;
    case FieldId::Slew:
      s.slew = v != 0;
      break;
    case FieldId::Crashed:
      s.crashed = v != 0;
      break;
    case FieldId::Smoke:
      s.smoke = static_cast<uint16_t>(v);
      break;
    case FieldId::Sound:
      s.soundControl = static_cast<uint16_t>(v);
      break;
    case FieldId::Liftoff:
      s.liftoffKt = v;
      break;
    case FieldId::OnGround:
    case FieldId::Accel:
      break;
    case FieldId::TankCapacity:
      s.tanks[f.index].capacityGal = static_cast<uint32_t>(v);
      break;
    case FieldId::TankLevel:
      s.tanks[f.index].level = static_cast<uint32_t>(std::lround(v * off::kTankFull));
      break;
    case FieldId::Flag:
      s.flags[f.index - off::kFirstFailureFlag] = static_cast<uint8_t>(v);
      break;
    case FieldId::WindSpeed:
      s.windKt = v;
      break;
    case FieldId::WindFrom:
      s.windFromDeg = v == 360 ? 0 : v;
      break;
  }
}

}  // namespace sim
