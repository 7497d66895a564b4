#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

/// Feet per metre used for the heights of the data files.
inline constexpr double FeetPerMetre = 3.2808;

/// Glide slope of a zone whose data file gives none, degrees.
inline constexpr double DefaultGlideSlopeDeg = 3.5;
/// Accepted range of a zone's glide slope, degrees (both ends included).
inline constexpr double MinGlideSlopeDeg = 2.5;
inline constexpr double MaxGlideSlopeDeg = 4.5;

/// Run-out of the arresting gear with realistic gear on, feet from the catch point to the stop,
/// when the data file gives none; and its accepted range.
inline constexpr double DefaultRunoutFeet = 340;
inline constexpr double MinRunoutFeet = 150;
inline constexpr double MaxRunoutFeet = 600;
/// Length of the catapult stroke with realistic gear on, feet, when the data file gives none;
/// and its accepted range.
inline constexpr double DefaultCatapultStrokeFeet = 310;
inline constexpr double MinCatapultStrokeFeet = 150;
inline constexpr double MaxCatapultStrokeFeet = 400;

/// One carrier catch zone as read from a carrier data file: four deck corners in degrees, the
/// deck altitude and catch-window height in metres, the landing heading in degrees magnetic and
/// the glide slope of the approach in degrees.
class TCatchZoneData {
 public:
  double DeckAltM = 0;
  double ZoneHeightM = 0;
  double RunwayHeadingMag = 0;
  std::string CarrierIdent;
  double BackRightCornerLat = 0;
  double FrontLeftCornerLon = 0;
  double FrontLeftCornerLat = 0;
  double BackRightCornerLon = 0;
  double FrontRightCornerLat = 0;
  double FrontRightCornerLon = 0;
  double BackLeftCornerLon = 0;
  double BackLeftCornerLat = 0;
  double GlideSlopeDeg = DefaultGlideSlopeDeg;
  /// Run-out of the arresting gear and length of the catapult stroke, feet; used only with
  /// realistic gear on.
  double RunoutFeet = DefaultRunoutFeet;
  double CatapultStrokeFeet = DefaultCatapultStrokeFeet;
  /// Number of the zone's section in its data file (2 for [Zone02]), whichever zones before it
  /// were rejected; 0 for a zone that came from no file.
  int SectionNumber = 0;

  /// True when every field lies in its accepted range; NaN fails every comparison.
  bool IsValid() const;
};

/// The owning, ordered list of loaded zones; other parts keep indexes into it.
using TCatchZoneList = std::vector<std::unique_ptr<TCatchZoneData>>;

/// One key of a zone section: where its value goes and the range the loader accepts. The
/// loader, the zone check and the zone writer all work from ZoneKeyRules(), so a key or a range
/// is written once.
struct TZoneKeyRule {
  /// The key as the data files spell it.
  std::string_view key;
  /// The field its number goes to; null for CarrierIdent, the one text key (not empty).
  double TCatchZoneData::*field = nullptr;
  /// Accepted range of the field, in the field's unit (metres for the heights).
  double low = 0;
  double high = 0;
  bool lowIncluded = true;
  bool highIncluded = true;
  /// File units per field unit: feet per metre for the heights, 1 for the others.
  double fileScale = 1;
  /// Unit shown after a range (" ft", " degrees" ...).
  std::string_view unit;
  /// Value (in file units) taken when the key is missing, or present but not a number; each
  /// lies outside the range, so such a zone is rejected.
  double missingValue = 0;
  /// An optional key left out keeps the field's default instead of missingValue.
  bool optional = false;
};

/// Number of keys of a zone section.
inline constexpr std::size_t ZoneKeyCount = 15;
/// Every key of a zone section, in the order the loader reads them.
const std::array<TZoneKeyRule, ZoneKeyCount>& ZoneKeyRules();
/// Whether zone's value for the key lies in the accepted range (for CarrierIdent: not empty).
bool ZoneKeyAccepts(const TZoneKeyRule& rule, const TCatchZoneData& zone);
/// The accepted range in file units, as a user reads it: "0 to 29999.6 ft",
/// "more than -90 and less than 90", "not empty".
std::string ZoneKeyRangeText(const TZoneKeyRule& rule);
