#include "config/zone_file.h"

#include <utility>

#include "app/edition.h"
#include "platform/ini_file.h"

namespace {

// Defaults of the zone keys: each lies outside the accepted range, so a zone with a missing
// value is rejected.
constexpr double MissingCoordinate = 666.0;
constexpr double MissingDeckAltFeet = 100000.0;
constexpr double MissingZoneHeightFeet = 666.0;
constexpr double MissingHeading = 666.0;

constexpr const char* LogLineEnd = "\r\n";

}  // namespace

std::string ZoneNumberText(int n) {
  std::string digits = std::to_string(n);
  return n >= 0 && n < 10 ? "0" + digits : digits;
}

std::string ZoneSectionName(int n) { return "Zone" + ZoneNumberText(n); }

TCatchZoneData ReadCatchZone(const platform::IniFile& file, std::string_view section,
                             double feetPerMetre) {
  auto real = [&](std::string_view key, double def) { return file.readFloat(section, key, def); };
  TCatchZoneData z;
  z.CarrierIdent = file.readString(section, "CarrierIdent", "");
  z.FrontRightCornerLat = real("FrontRightCornerLat", MissingCoordinate);
  z.FrontRightCornerLon = real("FrontRightCornerLon", MissingCoordinate);
  z.FrontLeftCornerLat = real("FrontLeftCornerLat", MissingCoordinate);
  z.FrontLeftCornerLon = real("FrontLeftCornerLon", MissingCoordinate);
  z.BackRightCornerLat = real("BackRightCornerLat", MissingCoordinate);
  z.BackRightCornerLon = real("BackRightCornerLon", MissingCoordinate);
  z.BackLeftCornerLat = real("BackLeftCornerLat", MissingCoordinate);
  z.BackLeftCornerLon = real("BackLeftCornerLon", MissingCoordinate);
  z.DeckAltM = real("DeckAltInFeet", MissingDeckAltFeet) / feetPerMetre;
  z.ZoneHeightM = real("CableCatchZoneHeightInFeet", MissingZoneHeightFeet) / feetPerMetre;
  z.RunwayHeadingMag = real("RunwayHeadingInDegreesMag", MissingHeading);
  return z;
}

int ReadCatchZones(const platform::IniFile& file, double feetPerMetre, TCatchZoneList& zones,
                   std::vector<int>& rejected) {
  int read = 0;
  for (int n = 1;; ++n) {
    const std::string section = ZoneSectionName(n);
    if (!file.sectionHasKeys(section)) break;
    ++read;
    auto zone = std::make_unique<TCatchZoneData>(ReadCatchZone(file, section, feetPerMetre));
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
