#include "config/catch_zone.h"

#include <cstdio>

namespace {

// Values taken by a key that is missing or not a number: each lies outside the accepted range,
// so a zone with a missing value is rejected.
constexpr double MissingCoordinate = 666.0;
constexpr double MissingDeckAltFeet = 100000.0;
constexpr double MissingZoneHeightFeet = 666.0;
constexpr double MissingHeading = 666.0;
// The glide slope is optional: absent, the zone keeps the default slope; present but not a
// number (or empty), it takes this value, which validation rejects like any other bad key.
constexpr double BadGlideSlope = 666.0;
// The run-out and the stroke are optional in the same way.
constexpr double BadLength = 66666.0;

using Z = TCatchZoneData;

constexpr TZoneKeyRule latitude(std::string_view key, double Z::*field) {
  return {key, field, -90.0, 90.0, false, false, 1.0, "", MissingCoordinate, false};
}
constexpr TZoneKeyRule longitude(std::string_view key, double Z::*field) {
  return {key, field, -180.0, 180.0, false, false, 1.0, "", MissingCoordinate, false};
}

// The order of this table is the order the loader looks the keys up in.
constexpr std::array<TZoneKeyRule, ZoneKeyCount> Rules = {{
    {"CarrierIdent", nullptr, 0, 0, true, true, 1.0, "", 0, false},
    latitude("FrontRightCornerLat", &Z::FrontRightCornerLat),
    longitude("FrontRightCornerLon", &Z::FrontRightCornerLon),
    latitude("FrontLeftCornerLat", &Z::FrontLeftCornerLat),
    longitude("FrontLeftCornerLon", &Z::FrontLeftCornerLon),
    latitude("BackRightCornerLat", &Z::BackRightCornerLat),
    longitude("BackRightCornerLon", &Z::BackRightCornerLon),
    latitude("BackLeftCornerLat", &Z::BackLeftCornerLat),
    longitude("BackLeftCornerLon", &Z::BackLeftCornerLon),
    {"DeckAltInFeet", &Z::DeckAltM, 0.0, 9144.0, true, true, FeetPerMetre, " ft",
     MissingDeckAltFeet, false},
    {"CableCatchZoneHeightInFeet", &Z::ZoneHeightM, 0.0, 1.52, false, false, FeetPerMetre, " ft",
     MissingZoneHeightFeet, false},
    {"RunwayHeadingInDegreesMag", &Z::RunwayHeadingMag, 0.0, 360.0, true, false, 1.0, " degrees",
     MissingHeading, false},
    {"GlideSlopeDeg", &Z::GlideSlopeDeg, MinGlideSlopeDeg, MaxGlideSlopeDeg, true, true, 1.0,
     " degrees", BadGlideSlope, true},
    {"RunoutFeet", &Z::RunoutFeet, MinRunoutFeet, MaxRunoutFeet, true, true, 1.0, " ft", BadLength,
     true},
    {"CatapultStrokeFeet", &Z::CatapultStrokeFeet, MinCatapultStrokeFeet, MaxCatapultStrokeFeet,
     true, true, 1.0, " ft", BadLength, true},
}};

std::string shortNumber(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.6g", v);
  return buf;
}

}  // namespace

const std::array<TZoneKeyRule, ZoneKeyCount>& ZoneKeyRules() { return Rules; }

bool ZoneKeyAccepts(const TZoneKeyRule& rule, const TCatchZoneData& zone) {
  if (!rule.field) return !zone.CarrierIdent.empty();
  // NaN fails every comparison.
  const double v = zone.*rule.field;
  const bool lowOk = rule.lowIncluded ? v >= rule.low : v > rule.low;
  const bool highOk = rule.highIncluded ? v <= rule.high : v < rule.high;
  return lowOk && highOk;
}

std::string ZoneKeyRangeText(const TZoneKeyRule& rule) {
  if (!rule.field) return "not empty";
  const std::string low = shortNumber(rule.low * rule.fileScale);
  const std::string high = shortNumber(rule.high * rule.fileScale);
  std::string text;
  if (rule.lowIncluded && rule.highIncluded)
    text = low + " to " + high;
  else
    text = (rule.lowIncluded ? low + " or more" : "more than " + low) + " and " +
           (rule.highIncluded ? "at most " + high : "less than " + high);
  return text + std::string(rule.unit);
}

bool TCatchZoneData::IsValid() const {
  for (const TZoneKeyRule& rule : Rules)
    if (!ZoneKeyAccepts(rule, *this)) return false;
  return true;
}
