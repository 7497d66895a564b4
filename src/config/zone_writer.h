#pragma once

#include <string>
#include <string_view>

#include "config/catch_zone.h"

/// Length of a zone added where the aircraft stands when none is given, metres: about the
/// landing area of the sample carrier (106 m along the deck).
inline constexpr double DefaultNewZoneLengthM = 106.0;
/// Width of such a zone, metres (the sample carrier's landing area is 14 m wide).
inline constexpr double DefaultNewZoneWidthM = 14.0;
/// Largest length or width taken for a new zone, metres.
inline constexpr double MaxNewZoneSideM = 1000.0;
/// Longest carrier identifier taken for a new zone: the nearest-carrier message inside the
/// simulator has to hold it.
inline constexpr std::size_t MaxNewZoneIdentLength = 60;
/// Catch height of a new zone, feet.
inline constexpr double NewZoneCatchHeightFeet = 4.5;

/// Where the aircraft stands when a zone is added around it.
struct TZoneSpot {
  double lat = 0;
  double lon = 0;
  double trueHeadingDeg = 0;
  /// Magnetic variation, degrees, east positive.
  double magVarDeg = 0;
  /// Altitude of the aircraft's reference point, metres.
  double altitudeM = 0;
};

/// Why an identifier cannot be a new zone's CarrierIdent ("" when it can). The identifier is
/// taken without blanks at either end.
std::string NewZoneIdentProblem(std::string_view ident);

/// The zone of lengthM x widthM centred on the spot along its heading: front is ahead of the
/// aircraft, right is its right; the deck at the aircraft's altitude (rounded down to a tenth of
/// a foot), the catch height NewZoneCatchHeightFeet, the landing heading the aircraft's magnetic
/// heading. Numbers are rounded as they are written to the file.
TCatchZoneData ZoneAroundSpot(const TZoneSpot& spot, std::string_view ident, double lengthM,
                              double widthM);

/// A data file with a zone section added.
struct TZoneInsertion {
  /// Empty when the zone was added; else why not (and text is empty).
  std::string error;
  /// The whole new file.
  std::string text;
  /// Number of the new section.
  int number = 0;
};

/// Adds zone to the data file text as [ZoneNN], NN one past the highest zone number, just after
/// the last key line of that highest zone (at the end of a file without zones). Every other byte
/// of the file is kept; the new lines take the file's line ending and the key spelling, order
/// and "=" spacing of that zone. Refused when the loader would not read the new zone back as
/// given (a gap in the zone numbers before it, a value it rejects).
TZoneInsertion InsertZoneSection(std::string_view fileText, const TCatchZoneData& zone);
