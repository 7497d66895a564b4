#pragma once

#include <memory>
#include <string>
#include <vector>

/// Glide slope of a zone whose data file gives none, degrees.
inline constexpr double DefaultGlideSlopeDeg = 3.5;
/// Accepted range of a zone's glide slope, degrees (both ends included).
inline constexpr double MinGlideSlopeDeg = 2.5;
inline constexpr double MaxGlideSlopeDeg = 4.5;

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
  /// Number of the zone's section in its data file (2 for [Zone02]), whichever zones before it
  /// were rejected; 0 for a zone that came from no file.
  int SectionNumber = 0;

  /// True when every field lies in its accepted range; NaN fails every comparison.
  bool IsValid() const;
};

/// The owning, ordered list of loaded zones; other parts keep indexes into it.
using TCatchZoneList = std::vector<std::unique_ptr<TCatchZoneData>>;
