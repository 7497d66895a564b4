#include "cli/check_dat.h"

#include <filesystem>
#include <ostream>
#include <vector>

#include "config/zone_file.h"
#include "platform/ini_reader.h"

namespace {

const char* faultText(TZoneKeyFault fault) {
  switch (fault) {
    case TZoneKeyFault::Missing:
      return "missing";
    case TZoneKeyFault::NotANumber:
      return "not a number";
    case TZoneKeyFault::OutOfRange:
      return "out of range";
    case TZoneKeyFault::None:
      break;
  }
  return "";
}

}  // namespace

int CheckDatFile(const std::string& path, std::ostream& out) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    out << "Cannot read " << path << ": no such file.\n";
    return 2;
  }
  const platform::IniReader file(path);
  if (!file.readable()) {
    out << "Cannot read " << path << ".\n";
    return 2;
  }
  const std::vector<TZoneCheck> checks = CheckCatchZones(file, FeetPerMetre);
  int rejected = 0;
  for (const TZoneCheck& c : checks) {
    const bool valid = c.zone.IsValid();
    if (!valid) ++rejected;
    out << ZoneSectionName(c.number) << ": " << (valid ? "valid" : "REJECTED") << "\n";
    for (const TZoneKeyCheck& k : c.keys) {
      out << "  " << k.rule->key;
      if (k.text)
        out << "=" << *k.text;
      else if (k.rule->optional && k.fault == TZoneKeyFault::None)
        out << " not given (" << c.zone.*k.rule->field << ")";
      if (k.fault != TZoneKeyFault::None)
        out << "   <-- " << faultText(k.fault) << "; accepted: " << ZoneKeyRangeText(*k.rule);
      out << "\n";
    }
  }
  const std::size_t read = checks.size();
  out << read << (read == 1 ? " zone" : " zones") << " read (" << ZoneSectionName(1)
      << " on, up to the first missing or empty section): " << read - rejected << " valid, "
      << rejected << " rejected.\n";
  if (read == 0) out << "No zone is read from this file; the program would stop with it.\n";
  return read > 0 && rejected == 0 ? 0 : 1;
}
