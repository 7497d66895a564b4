#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/catch_zone.h"
#include "platform/clock.h"

namespace platform {
class IniReader;
}

/// File name of the zone-load failure log in the program folder.
inline constexpr const char* DatLoadErrorLogName = "CorvaneDatLoadErrorLog.txt";

/// Zone number as written in its section name: "01".."09", then "10", "100", ...
std::string ZoneNumberText(int n);
/// Section name of zone n: "Zone01", "Zone10", "Zone100".
std::string ZoneSectionName(int n);

/// Reads one zone section; a missing, empty or non-numeric value takes its default, which
/// validation rejects. Both heights are divided by feetPerMetre. False (zone untouched) when
/// the section is missing or holds no key.
bool ReadCatchZone(const platform::IniReader& file, std::string_view section, double feetPerMetre,
                   TCatchZoneData& zone);
/// Reads Zone01, Zone02, ... up to the first section that is missing or holds no key. Valid
/// zones are appended to zones in file order, the numbers of rejected ones to rejected, as
/// they are read. Returns the number of zone sections read.
int ReadCatchZones(const platform::IniReader& file, double feetPerMetre, TCatchZoneList& zones,
                   std::vector<int>& rejected);

/// What is wrong with one key of a zone section.
enum class TZoneKeyFault { None, Missing, NotANumber, OutOfRange };

/// One key of a checked zone section.
struct TZoneKeyCheck {
  const TZoneKeyRule* rule = nullptr;
  /// The value as the file writes it; none when the key is missing.
  std::optional<std::string> text;
  TZoneKeyFault fault = TZoneKeyFault::None;
};

/// One zone section as the loader reads it, with every key's value and fault.
struct TZoneCheck {
  int number = 0;
  TCatchZoneData zone;
  /// Every key of ZoneKeyRules(), in that order.
  std::vector<TZoneKeyCheck> keys;
};

/// Checks the zone sections the loader would read (Zone01 on, up to the first section that is
/// missing or holds no key): a key has a fault exactly when it makes the loader reject the zone.
std::vector<TZoneCheck> CheckCatchZones(const platform::IniReader& file, double feetPerMetre);

/// Text of the failure log for the rejected zones of the data file at datPath: header with
/// the run time, one line per zone, and the closing note when withClosingNote. CRLF line ends.
std::string DatLoadFailureLogText(const std::string& datPath, const platform::DateTime& when,
                                  const std::vector<int>& rejected, bool withClosingNote);
