#include "config/zone_file.h"

#include <array>
#include <optional>
#include <string_view>
#include <utility>

#include "edition/edition.h"
#include "platform/ini_file.h"
#include "platform/ini_reader.h"

namespace {

// Defaults of the zone keys: each lies outside the accepted range, so a zone with a missing
// value is rejected.
constexpr double MissingCoordinate = 666.0;
constexpr double MissingDeckAltFeet = 100000.0;
constexpr double MissingZoneHeightFeet = 666.0;
constexpr double MissingHeading = 666.0;
// The glide slope is optional: absent, the zone keeps the default slope; present but not a
// number (or empty), it takes this value, which validation rejects like any other bad key.
constexpr double BadGlideSlope = 666.0;

constexpr const char* LogLineEnd = "\r\n";

}  // namespace

std::string ZoneNumberText(int n) {
  std::string digits = std::to_string(n);
  return n >= 0 && n < 10 ? "0" + digits : digits;
}

std::string ZoneSectionName(int n) { return "Zone" + ZoneNumberText(n); }

bool ReadCatchZone(const platform::IniReader& file, std::string_view section, double feetPerMetre,
                   TCatchZoneData& zone) {
  // One pass over the section finds every key; the order of this table is the order of the
  // values below, and of the keys in the files users write.
  static constexpr std::array<std::string_view, 13> keys = {
      "CarrierIdent",       "FrontRightCornerLat",        "FrontRightCornerLon",
      "FrontLeftCornerLat", "FrontLeftCornerLon",         "BackRightCornerLat",
      "BackRightCornerLon", "BackLeftCornerLat",          "BackLeftCornerLon",
      "DeckAltInFeet",      "CableCatchZoneHeightInFeet", "RunwayHeadingInDegreesMag",
      "GlideSlopeDeg"};
  std::array<std::optional<std::string_view>, keys.size()> values;
  if (!file.readValues(section, keys, values)) return false;
  auto real = [&](std::size_t i, double def) {
    return values[i] ? platform::parseFloat(*values[i]).value_or(def) : def;
  };
  TCatchZoneData& z = zone;
  z.CarrierIdent = values[0].value_or("");
  z.FrontRightCornerLat = real(1, MissingCoordinate);
  z.FrontRightCornerLon = real(2, MissingCoordinate);
  z.FrontLeftCornerLat = real(3, MissingCoordinate);
  z.FrontLeftCornerLon = real(4, MissingCoordinate);
  z.BackRightCornerLat = real(5, MissingCoordinate);
  z.BackRightCornerLon = real(6, MissingCoordinate);
  z.BackLeftCornerLat = real(7, MissingCoordinate);
  z.BackLeftCornerLon = real(8, MissingCoordinate);
  z.DeckAltM = real(9, MissingDeckAltFeet) / feetPerMetre;
  z.ZoneHeightM = real(10, MissingZoneHeightFeet) / feetPerMetre;
  z.RunwayHeadingMag = real(11, MissingHeading);
  z.GlideSlopeDeg = values[12] ? real(12, BadGlideSlope) : DefaultGlideSlopeDeg;
  return true;
}

int ReadCatchZones(const platform::IniReader& file, double feetPerMetre, TCatchZoneList& zones,
                   std::vector<int>& rejected) {
  int read = 0;
  for (int n = 1;; ++n) {
    auto zone = std::make_unique<TCatchZoneData>();
    if (!ReadCatchZone(file, ZoneSectionName(n), feetPerMetre, *zone)) break;
    ++read;
    zone->SectionNumber = n;
    if (zone->IsValid())
      zones.push_back(std::move(zone));
    else
      rejected.push_back(n);
  }
  return read;
}

std::string DatLoadFailureLogText(const std::string& datPath, const platform::DateTime& when,
                                  const std::vector<int>& rejected, bool withClosingNote) {
  std::string text;
  text += "Corvane .dat load failure log for file : ";
  text += LogLineEnd;
  text += "  " + datPath + LogLineEnd;
  text += "Run/Reset time: " + platform::formatShortDate(when) + "  " +
          platform::formatLongTime(when) + LogLineEnd;
  text += LogLineEnd;
  for (int n : rejected)
    text += edition::ZoneFailedLogPrefix + ZoneNumberText(n) + "." + LogLineEnd;
  if (withClosingNote) {
    text += LogLineEnd;
    text += "Verify that the failed zones contain all the required data fields";
    text += LogLineEnd;
    text += "and that the values fall within acceptable ranges.  See Corvane*.txt.";
    text += LogLineEnd;
  }
  return text;
}
