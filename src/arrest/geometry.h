#pragma once

#include <cstdint>

#include "config/catch_zone.h"

/// Radians under which a point inside the catch area sees both deck diagonals (a right angle).
inline constexpr double CatchAngleThreshold = 1.5707963267948966;

/// An offset from a point to the aircraft on the latitude/longitude grid, in degrees.
struct TOffsetVector {
  double dLat = 0;
  double dLon = 0;
};

/// Distance in degrees on the flat latitude/longitude grid: longitude wraps at the date line,
/// latitude is not scaled by the convergence of meridians.
double FlatDistance(double latA, double lonA, double latB, double lonB);

/// Angle in radians (0..pi) between the directions of u and w; a zero vector points along
/// increasing longitude.
double SubtendedAngle(const TOffsetVector& u, const TOffsetVector& w);

/// True when the point sees both deck diagonals of the zone under more than threshold radians,
/// i.e. lies strictly inside both circles drawn on the diagonals.
bool IsInCatchZone(const TCatchZoneData& zone, double lat, double lon,
                   double threshold = CatchAngleThreshold);

/// Difference between two headings in degrees, 0..180.
double HeadingDifference(double a, double b);

/// One set of the catch tick's readings, already converted to degrees and metres.
struct TCatchReadings {
  double trueHeadingDeg = 0;
  double bankDeg = 0;
  bool onGround = false;
  double altitudeM = 0;
  double lat = 0;
  double lon = 0;
  double tailhook = 0;
};

/// Why a catch tick did not catch (or that it did).
enum class TCatchVerdict { Caught, HookUp, Altitude, Bank, Heading, OutsideArea };

/// The catch test of one tick against zone: tailhook (when required), altitude window unless
/// on the ground, bank under 10 degrees, magnetic heading within 30 degrees of the runway, and
/// the catch area.
TCatchVerdict CatchVerdict(const TCatchZoneData& zone, const TCatchReadings& r, double magVarDeg,
                           bool hookRequired, double threshold = CatchAngleThreshold);

/// One gate tick's readings of the aircraft state.
struct TGateReadings {
  int16_t crashed = 0;
  int16_t onGround = 0;
  int32_t gearLever = 0;
  double forwardSpeedFps = 0;
  int16_t slew = 0;
};

/// Result of the gate's decision for one tick.
struct TGateDecision {
  bool landed = false;
  bool approaching = false;
  bool need = false;
};

/// Landed: gear down, on the ground and slower than 50 ft/s. Approaching: within 0.05 degree
/// and closer than on the previous search. Catch checking is needed when not slewing, not
/// landed, gear down and approaching.
TGateDecision GateDecision(const TGateReadings& r, double distance, double previousDistance);

/// The headwind along the zone's deck (negative: a tailwind), in the wind's unit: the wind's
/// component along the landing heading, turned true with magVarDeg (east positive). windFromDeg
/// is the direction the wind blows from, true.
double HeadwindAlongDeck(const TCatchZoneData& zone, double magVarDeg, double windSpeed,
                         double windFromDeg);
