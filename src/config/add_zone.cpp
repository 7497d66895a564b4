#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "config/carrier_data.h"
#include "config/zone_file.h"
#include "config/zone_writer.h"
#include "platform/ini_file.h"
#include "simlink/batch.h"

namespace {

/// Fastest ground speed at which the aircraft counts as standing still, knots.
constexpr double kStandingStillKnots = 1.0;

std::string oneDecimal(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", v);
  return buf;
}

std::string sizeProblem(const char* what, double metres) {
  if (std::isfinite(metres) && metres > 0 && metres <= MaxNewZoneSideM) return {};
  return std::string("The zone ") + what + " must be more than 0 and at most " +
         std::to_string(static_cast<int>(MaxNewZoneSideM)) + " m.";
}

}  // namespace

TCarrierData::TAddZoneResult TCarrierData::AddZoneHere(const std::string& ident, double lengthM,
                                                       double widthM) {
  using namespace simlink;
  auto refused = [](std::string why) { return TAddZoneResult{false, "No zone added: " + why}; };
  if (std::string why = NewZoneIdentProblem(ident); !why.empty()) return refused(why);
  if (std::string why = sizeProblem("length", lengthM); !why.empty()) return refused(why);
  if (std::string why = sizeProblem("width", widthM); !why.empty()) return refused(why);
  if (view_.activity.programStopped || !CatchZones || view_.cmbDatFile.text().empty())
    return refused(
        "Corvane is not connected to the simulator, or stopped; connect or reset it first.");
  if (view_.activity.Arresting() || view_.activity.OnCatapult())
    return refused("an arrest or a catapult launch is under way.");

  int16_t onGround = 0;
  uint32_t groundSpeed = 0;
  FixedPoint lat, lon, alt;
  uint32_t heading = 0;
  int16_t magVar = 0;
  if (!Batch(view_.link)
           .read(kOnGround, onGround)
           .read(kGroundSpeed, groundSpeed)
           .read(kLatitude, lat)
           .read(kLongitude, lon)
           .read(kAltitude, alt)
           .read(kHeadingTrue, heading)
           .read(kMagVar, magVar)
           .process())
    return refused("the aircraft's position could not be read from the simulator.");
  if (onGround != 1) return refused("the aircraft is airborne; stop it on the deck first.");
  const double knots = groundSpeedKnots(groundSpeed);
  if (!(knots < kStandingStillKnots))
    return refused("the aircraft is moving (" + oneDecimal(knots) +
                   " kt); stop it on the deck first.");

  const std::string fileName = view_.cmbDatFile.text();
  const std::string datPath = view_.ProgramFolder + fileName;
  // Read and closed before the file is replaced: Windows does not replace a file held open.
  std::string text;
  {
    std::ifstream in(datPath, std::ios::binary);
    if (!in.is_open()) return refused(fileName + " cannot be read.");
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) return refused(fileName + " cannot be read.");
    text = content.str();
  }

  TZoneSpot spot;
  spot.lat = latitudeDegrees(lat);
  spot.lon = longitudeDegrees(lon);
  spot.altitudeM = altitudeMetres(alt);
  spot.trueHeadingDeg = angleDegrees(heading);
  spot.magVarDeg = magVarDegrees(magVar);
  const TCatchZoneData zone = ZoneAroundSpot(spot, ident, lengthM, widthM);
  const TZoneInsertion added = InsertZoneSection(text, zone);
  if (!added.error.empty()) return refused(added.error);
  if (!platform::writeFileAtomically(datPath, added.text))
    return refused(fileName + " cannot be written.");

  // The new zone is read last, so the indexes into the zones held elsewhere stay right.
  if (!LoadCatchZones()) return {true, "Zone added to " + fileName + ", but reading it failed."};
  if (view_.tmrFindNearestTimer) view_.tmrFindNearestTimer();
  char heading3[8];
  std::snprintf(heading3, sizeof heading3, "%03d",
                static_cast<int>(std::lround(zone.RunwayHeadingMag)) % 360);
  return {true, "Added [" + ZoneSectionName(added.number) + "] \"" + zone.CarrierIdent + "\" to " +
                    fileName + ": " + oneDecimal(lengthM) + " x " + oneDecimal(widthM) +
                    " m, deck " + oneDecimal(zone.DeckAltM * FeetPerMetre) +
                    " ft, landing heading " + heading3 + " magnetic."};
}
