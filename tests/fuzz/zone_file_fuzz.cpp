// The carrier data loader: any bytes give a list of zones that all pass the validation ranges,
// and a rejection for every zone section read that did not; never a crash.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "config/zone_file.h"
#include "edition/edition.h"
#include "fuzz/fuzz_check.h"
#include "platform/clock.h"
#include "platform/ini_reader.h"

namespace {

// The accepted ranges, written out again so that the loader's own check is checked too.
bool inRanges(const TCatchZoneData& z) {
  auto lat = [](double v) { return v > -90 && v < 90; };
  auto lon = [](double v) { return v > -180 && v < 180; };
  return !z.CarrierIdent.empty() && z.DeckAltM >= 0 && z.DeckAltM <= 9144 && z.ZoneHeightM > 0 &&
         z.ZoneHeightM < 1.52 && z.RunwayHeadingMag >= 0 && z.RunwayHeadingMag < 360 &&
         lat(z.FrontRightCornerLat) && lon(z.FrontRightCornerLon) && lat(z.FrontLeftCornerLat) &&
         lon(z.FrontLeftCornerLon) && lat(z.BackRightCornerLat) && lon(z.BackRightCornerLon) &&
         lat(z.BackLeftCornerLat) && lon(z.BackLeftCornerLon);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const platform::IniReader file = platform::IniReader::fromText(text);
  TCatchZoneList zones;
  std::vector<int> rejected;
  const int read = ReadCatchZones(file, FeetPerMetre, zones, rejected);
  FUZZ_CHECK(read >= 0);
  FUZZ_CHECK(static_cast<size_t>(read) == zones.size() + rejected.size());
  for (const auto& zone : zones) {
    FUZZ_CHECK(zone != nullptr);
    FUZZ_CHECK(inRanges(*zone));
  }
  int last = 0;
  for (int n : rejected) {
    FUZZ_CHECK(n > last && n <= read);
    last = n;
  }
  if (!rejected.empty()) {
    const std::string log =
        DatLoadFailureLogText("Fuzz.dat", platform::DateTime{}, rejected, !zones.empty());
    FUZZ_CHECK(log.find(edition::ZoneFailedLogPrefix + ZoneNumberText(rejected.front()) + ".") !=
               std::string::npos);
  }
  return 0;
}
