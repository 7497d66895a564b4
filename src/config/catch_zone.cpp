#include "config/catch_zone.h"

namespace {
bool latitudeOk(double v) { return v > -90.0 && v < 90.0; }
bool longitudeOk(double v) { return v > -180.0 && v < 180.0; }
}  // namespace

bool TCatchZoneData::IsValid() const {
  return !CarrierIdent.empty() && DeckAltM >= 0.0 && DeckAltM <= 9144.0 && ZoneHeightM > 0.0 &&
         ZoneHeightM < 1.52 && RunwayHeadingMag >= 0.0 && RunwayHeadingMag < 360.0 &&
         latitudeOk(FrontRightCornerLat) && latitudeOk(FrontLeftCornerLat) &&
         latitudeOk(BackRightCornerLat) && latitudeOk(BackLeftCornerLat) &&
         longitudeOk(FrontRightCornerLon) && longitudeOk(FrontLeftCornerLon) &&
         longitudeOk(BackRightCornerLon) && longitudeOk(BackLeftCornerLon) &&
         GlideSlopeDeg >= MinGlideSlopeDeg && GlideSlopeDeg <= MaxGlideSlopeDeg;
}
