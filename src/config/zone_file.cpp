#include "config/zone_file.h"

#include <array>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "edition/edition.h"
#include "platform/ini_file.h"
#include "platform/ini_reader.h"

namespace {

constexpr const char* LogLineEnd = "\r\n";

}  // namespace

std::string ZoneNumberText(int n) {
  std::string digits = std::to_string(n);
  return n >= 0 && n < 10 ? "0" + digits : digits;
}

std::string ZoneSectionName(int n) { return "Zone" + ZoneNumberText(n); }

namespace {

using ZoneValues = std::array<std::optional<std::string_view>, ZoneKeyCount>;

// One pass over the section finds every key of ZoneKeyRules(); values[i] is the value of rule i.
bool readZoneValues(const platform::IniReader& file, std::string_view section, ZoneValues& values) {
  static const std::array<std::string_view, ZoneKeyCount> keys = [] {
    std::array<std::string_view, ZoneKeyCount> k{};
    for (std::size_t i = 0; i < ZoneKeyCount; ++i) k[i] = ZoneKeyRules()[i].key;
    return k;
  }();
  return file.readValues(section, keys, values);
}

void storeZoneValues(const ZoneValues& values, double feetPerMetre, TCatchZoneData& zone) {
  for (std::size_t i = 0; i < ZoneKeyCount; ++i) {
    const TZoneKeyRule& rule = ZoneKeyRules()[i];
    if (!rule.field) {
      zone.CarrierIdent = values[i].value_or("");
      continue;
    }
    if (!values[i] && rule.optional) continue;
    const double fileValue = values[i]
                                 ? platform::parseFloat(*values[i]).value_or(rule.missingValue)
                                 : rule.missingValue;
    // The heights are written in feet; the file's own feet per metre turns them into metres.
    zone.*rule.field = rule.fileScale != 1.0 ? fileValue / feetPerMetre : fileValue;
  }
}

}  // namespace

bool ReadCatchZone(const platform::IniReader& file, std::string_view section, double feetPerMetre,
                   TCatchZoneData& zone) {
  ZoneValues values;
  if (!readZoneValues(file, section, values)) return false;
  storeZoneValues(values, feetPerMetre, zone);
  return true;
}

std::vector<TZoneCheck> CheckCatchZones(const platform::IniReader& file, double feetPerMetre) {
  std::vector<TZoneCheck> checks;
  const auto& rules = ZoneKeyRules();
  for (int n = 1;; ++n) {
    ZoneValues values;
    if (!readZoneValues(file, ZoneSectionName(n), values)) break;
    TZoneCheck c;
    c.number = n;
    c.zone.SectionNumber = n;
    storeZoneValues(values, feetPerMetre, c.zone);
    for (std::size_t i = 0; i < ZoneKeyCount; ++i) {
      TZoneKeyCheck k;
      k.rule = &rules[i];
      if (values[i]) k.text = std::string(*values[i]);
      if (!ZoneKeyAccepts(rules[i], c.zone)) {
        if (!values[i])
          k.fault = TZoneKeyFault::Missing;
        else if (rules[i].field && !platform::parseFloat(*values[i]))
          k.fault = TZoneKeyFault::NotANumber;
        else
          k.fault = TZoneKeyFault::OutOfRange;
      }
      c.keys.push_back(std::move(k));
    }
    checks.push_back(std::move(c));
  }
  return checks;
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
