#pragma once

#include <string>

#include "config/config_names.h"
#include "platform/controls.h"

// The numeric options of the Options page, one row each: where the settings file keeps them,
// the default (also the start value and the reset value), the range and step of the up-down
// control, and the factor from the value the user sets to the value the program works with.
// Loading, saving, the setters, the up-down controls and the resets all read these rows.

namespace options {

/// One numeric option; T is the type the settings file and the edit field hold.
template <typename T>
struct Option {
  const char* section;
  const char* key;
  T defaultValue;
  int minimum;
  int maximum;
  int increment;
  /// The program's working value is the option's value times this factor.
  double factor;
};

/// Knots to feet per second, as the launch has always used it.
inline constexpr double FpsPerKnot = 1.689;
/// Base intervals of the arrest and launch timers, multiplied by the timing resolution.
inline constexpr int DecelTimerBaseMs = 10;
inline constexpr int AccelTimerBaseMs = 5;

/// Push of the arresting cable, ft/s^2 (the up-down runs from -100 down to -1500).
inline constexpr Option<double> CableCatchAccel{
    SectionCableOps, KeyCableCatchAccelFactor, -700.0, -100, -1500, 50, 1.0};
/// Push of the catapult, ft/s^2.
inline constexpr Option<double> CatapultAccel{
    SectionCatapultOps, KeyCatapultAccelFactor, 700.0, 350, 1500, 50, 1.0};
/// Speed at which the catapult lets go, in knots; the launch compares feet per second.
inline constexpr Option<int> CatapultCutoff{
    SectionCatapultOps, KeyCatapultSpeedCutoffKnots, 120, 60, 180, 10, FpsPerKnot};
/// Hold-back of the catapult before release; the program keeps it negated.
inline constexpr Option<int> CatapultHold{
    SectionCatapultOps, KeyCatapultHoldFactor, 50, 50, 200, 5, -1.0};
/// Multiplier of the arrest and launch timer intervals.
inline constexpr Option<int> TimingResolution{
    SectionGeneral, KeyTimingResolutionFactor, 1, 1, 20, 1, 1.0};

/// The up-down control of an option, at its default.
template <typename T>
platform::UpDown MakeUpDown(std::string name, const Option<T>& option) {
  return platform::UpDown(std::move(name), option.minimum, option.maximum, option.increment,
                          static_cast<int>(option.defaultValue));
}
/// The edit field's text of an option's default.
template <typename T>
std::string DefaultText(const Option<T>& option) {
  return std::to_string(static_cast<int>(option.defaultValue));
}

}  // namespace options
