#pragma once

#include <string>

/// Main-window line naming the nearest carrier: "Nearest cables: IDENT (rwy hdg 187.5)".
std::string NearestCarrierLabel(const std::string& ident, double runwayHeadingMag);

/// In-simulator announcement of a new nearest carrier, e.g. Nearest cables: (rwy hdg 90) "CV-63".
std::string NearestCarrierAnnouncement(const std::string& ident, double runwayHeadingMag);

/// Main-window magnetic-variation line: "Current Mag Var: -12.3 deg".
std::string MagVarLabel(double magVarDeg);
