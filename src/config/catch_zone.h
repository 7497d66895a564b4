#pragma once

#include <memory>
#include <string>
#include <vector>

/// One carrier catch zone as read from a carrier data file: four deck corners in degrees, the
/// deck altitude and catch-window height in metres, the landing heading in degrees magnetic.
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
  /// Number of the zone's section in its data file (2 for [Zone02]), whichever zones before it
  /// were rejected; 0 for a zone that came from no file.
  int SectionNumber = 0;

  /// True when every field lies in its accepted range; NaN fails every comparison.
  bool IsValid() const;
};

/// The owning, ordered list of loaded zones; other parts keep indexes into it.
using TCatchZoneList = std::vector<std::unique_ptr<TCatchZoneData>>;
