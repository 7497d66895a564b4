#include "arrest/formatting.h"

#include "edition/edition.h"
#include "text/number_format.h"

std::string NearestCarrierLabel(const std::string& ident, double runwayHeadingMag) {
  return "Nearest cables: " + ident + " (rwy hdg " + FormatGeneral(runwayHeadingMag) + ")";
}

std::string NearestCarrierAnnouncement(const std::string& ident, double runwayHeadingMag) {
  return std::string(edition::NearestCablesAnnouncement) + FormatGeneral(runwayHeadingMag) +
         ") \"" + ident + "\"";
}

std::string MagVarLabel(double magVarDeg) {
  // Three significant digits or one decimal, whichever is coarser, always one decimal shown.
  return "Current Mag Var: " + FormatFixed(magVarDeg, 3, 1) + " deg";
}
