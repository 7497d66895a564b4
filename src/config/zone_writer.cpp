#include "config/zone_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

#include "config/zone_file.h"
#include "platform/ini_reader.h"
#include "platform/ini_syntax.h"
#include "simlink/offsets.h"

namespace {

namespace ini = platform::ini;

constexpr double kPi = 3.14159265358979323846;

double roundTo(double v, double step) { return std::round(v / step) * step; }

double wrapLongitude(double lon) {
  while (lon >= 180.0) lon -= 360.0;
  while (lon < -180.0) lon += 360.0;
  return lon;
}

std::string fixed(double v, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  std::string s = buf;
  if (s == "-0" || s.find_first_not_of("-0.") == std::string::npos) s = s.substr(s[0] == '-');
  return s;
}

/// The zone number of a section name that the loader reads as a zone ("Zone07"), else 0.
int zoneNumberOf(std::string_view name) {
  if (name.size() < 5 || !ini::equalIgnoringCase(name.substr(0, 4), "zone")) return 0;
  const std::string_view digits = name.substr(4);
  if (digits.size() > 6 || digits.find_first_not_of("0123456789") != std::string_view::npos)
    return 0;
  const int n = std::stoi(std::string(digits));
  return n > 0 && ini::equalIgnoringCase(name, ZoneSectionName(n)) ? n : 0;
}

/// What the new section copies from the highest zone of the file.
struct ZoneStyle {
  std::string eol;
  std::string separator = "=";
  /// Key spelling by lower-case name, and the order the keys come in.
  std::map<std::string, std::string> spelling;
  std::map<std::string, int> order;
};

}  // namespace

std::string NewZoneIdentProblem(std::string_view ident) {
  ident = ini::trim(ident);
  if (ident.empty()) return "The carrier identifier is empty.";
  if (ident.size() > MaxNewZoneIdentLength)
    return "The carrier identifier is longer than " + std::to_string(MaxNewZoneIdentLength) +
           " characters.";
  for (char c : ident) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) return "The carrier identifier contains a control character.";
    if (c == '[' || c == ']') return "The carrier identifier may not contain [ or ].";
  }
  if (ident.size() >= 2 && ini::isQuote(ident.front()) && ident.front() == ident.back())
    return "The carrier identifier may not be enclosed in quotes.";
  return {};
}

TCatchZoneData ZoneAroundSpot(const TZoneSpot& spot, std::string_view ident, double lengthM,
                              double widthM) {
  const double metresPerDegLat = 1.0 / simlink::DegreesPerLatUnit;
  const double h = spot.trueHeadingDeg * kPi / 180.0;
  const double cosLat = std::cos(spot.lat * kPi / 180.0);
  // Ahead and to the right of the aircraft, as (north, east) metres.
  const double aheadN = std::cos(h), aheadE = std::sin(h);
  const double rightN = -std::sin(h), rightE = std::cos(h);
  auto corner = [&](double along, double across, double& lat, double& lon) {
    const double n = along * aheadN + across * rightN;
    const double e = along * aheadE + across * rightE;
    lat = roundTo(spot.lat + n / metresPerDegLat, 1e-7);
    lon = roundTo(wrapLongitude(spot.lon + e / (metresPerDegLat * cosLat)), 1e-7);
  };
  const double l = lengthM / 2, w = widthM / 2;
  TCatchZoneData z;
  z.CarrierIdent = std::string(ini::trim(ident));
  corner(l, w, z.FrontRightCornerLat, z.FrontRightCornerLon);
  corner(l, -w, z.FrontLeftCornerLat, z.FrontLeftCornerLon);
  corner(-l, w, z.BackRightCornerLat, z.BackRightCornerLon);
  corner(-l, -w, z.BackLeftCornerLat, z.BackLeftCornerLon);
  // Rounded down, so the aircraft standing on the deck is inside the catch window.
  z.DeckAltM = std::floor(spot.altitudeM * FeetPerMetre * 10.0) / 10.0 / FeetPerMetre;
  z.ZoneHeightM = NewZoneCatchHeightFeet / FeetPerMetre;
  double heading = roundTo(simlink::magneticHeading(spot.trueHeadingDeg, spot.magVarDeg), 0.1);
  if (heading >= 360.0) heading -= 360.0;
  z.RunwayHeadingMag = heading;
  return z;
}

TZoneInsertion InsertZoneSection(std::string_view text, const TCatchZoneData& zone) {
  TZoneInsertion result;
  // Find the highest zone section, the end of its last key line and its style.
  int highest = 0;
  std::size_t insertAt = text.size();
  std::string firstEol;
  ZoneStyle style;
  int current = 0;
  bool firstOfName = false;
  for (std::size_t pos = 0; pos < text.size();) {
    const ini::RawLine raw = ini::lineAt(text, pos);
    if (firstEol.empty() && !raw.eol.empty()) firstEol = std::string(raw.eol);
    const ini::LineMeaning m = ini::classifyLine(raw.text, pos == 0);
    if (m.kind == ini::LineMeaning::Section) {
      current = zoneNumberOf(m.name);
      // The loader reads the first section of a name; later ones of the same name are ignored.
      firstOfName = current > highest;
      if (firstOfName) {
        highest = current;
        insertAt = raw.next;
        style = ZoneStyle{};
        style.eol = raw.eol.empty() ? "" : std::string(raw.eol);
      }
    } else if (m.kind == ini::LineMeaning::Key && current != 0 && current == highest &&
               firstOfName) {
      const std::string lower = ini::lowerCase(m.name);
      if (!style.spelling.count(lower)) {
        style.spelling[lower] = std::string(m.name);
        style.order[lower] = static_cast<int>(style.order.size());
      }
      if (style.order.size() == 1) {
        // The text from the end of the key name up to its value: "=", " = " ...
        const std::size_t keyEnd =
            static_cast<std::size_t>(m.name.data() - raw.text.data()) + m.name.size();
        const std::size_t eq = raw.text.find('=', keyEnd);
        std::size_t valueAt = eq + 1;
        while (valueAt < raw.text.size() && ini::isBlank(raw.text[valueAt])) ++valueAt;
        if (eq != std::string_view::npos)
          style.separator = std::string(raw.text.substr(keyEnd, valueAt - keyEnd));
      }
      insertAt = raw.next;
      if (!raw.eol.empty() && style.eol.empty()) style.eol = std::string(raw.eol);
    }
    pos = raw.next;
  }
  const std::string eol =
      !style.eol.empty() ? style.eol : (!firstEol.empty() ? firstEol : std::string("\r\n"));
  result.number = highest + 1;

  struct KeyLine {
    std::string_view key;
    std::string value;
  };
  std::vector<KeyLine> lines = {
      {"CarrierIdent", zone.CarrierIdent},
      {"FrontRightCornerLat", fixed(zone.FrontRightCornerLat, 7)},
      {"FrontRightCornerLon", fixed(zone.FrontRightCornerLon, 7)},
      {"FrontLeftCornerLat", fixed(zone.FrontLeftCornerLat, 7)},
      {"FrontLeftCornerLon", fixed(zone.FrontLeftCornerLon, 7)},
      {"BackLeftCornerLat", fixed(zone.BackLeftCornerLat, 7)},
      {"BackLeftCornerLon", fixed(zone.BackLeftCornerLon, 7)},
      {"BackRightCornerLat", fixed(zone.BackRightCornerLat, 7)},
      {"BackRightCornerLon", fixed(zone.BackRightCornerLon, 7)},
      {"DeckAltInFeet", fixed(zone.DeckAltM * FeetPerMetre, 1)},
      {"CableCatchZoneHeightInFeet", fixed(zone.ZoneHeightM * FeetPerMetre, 1)},
      {"RunwayHeadingInDegreesMag", fixed(zone.RunwayHeadingMag, 1)},
  };
  if (zone.GlideSlopeDeg != DefaultGlideSlopeDeg)
    lines.push_back({"GlideSlopeDeg", fixed(zone.GlideSlopeDeg, 2)});
  // The keys the highest zone has come in its order, the others after them in ours.
  std::stable_sort(lines.begin(), lines.end(), [&](const KeyLine& a, const KeyLine& b) {
    auto rank = [&](std::string_view k) {
      const auto it = style.order.find(ini::lowerCase(k));
      return it == style.order.end() ? 1000 : it->second;
    };
    return rank(a.key) < rank(b.key);
  });

  std::string section;
  // A last line without a line end gets one before the new lines.
  const bool lineOpen = insertAt > 0 && text[insertAt - 1] != '\n' && text[insertAt - 1] != '\r';
  if (lineOpen) section += eol;
  // A blank line between the old content and the new section.
  if (insertAt > 0) section += eol;
  section += "[" + ZoneSectionName(result.number) + "]" + eol;
  for (const KeyLine& l : lines) {
    const auto it = style.spelling.find(ini::lowerCase(l.key));
    section += (it != style.spelling.end() ? it->second : std::string(l.key)) + style.separator +
               l.value + eol;
  }
  std::string out(text.substr(0, insertAt));
  out += section;
  out += text.substr(insertAt);

  // The loader must read the new zone back, valid and as given.
  const platform::IniReader reader = platform::IniReader::fromText(out);
  const std::vector<TZoneCheck> checks = CheckCatchZones(reader, FeetPerMetre);
  const auto it = std::find_if(checks.begin(), checks.end(),
                               [&](const TZoneCheck& c) { return c.number == result.number; });
  if (it == checks.end()) {
    const int missing = static_cast<int>(checks.size()) + 1;
    result.error = "The zones of the file stop before " + ZoneSectionName(missing) +
                   " (missing or empty), so a new " + ZoneSectionName(result.number) +
                   " would not be read.";
    return result;
  }
  for (const TZoneKeyCheck& k : it->keys)
    if (k.fault != TZoneKeyFault::None) {
      result.error = "The new zone's " + std::string(k.rule->key) + " would be " +
                     k.text.value_or("missing") + ", outside " + ZoneKeyRangeText(*k.rule) + ".";
      return result;
    }
  if (it->zone.CarrierIdent != zone.CarrierIdent) {
    result.error = "The carrier identifier would not read back as written.";
    return result;
  }
  result.text = std::move(out);
  return result;
}
