#pragma once

// Constants the numeric options are computed with. The options themselves (section, key,
// default, range, step, caption and value) are declared once each, as rows of
// TOptions::NumberRows in options.cpp.

namespace options {

/// Knots to feet per second, as the launch has always used it.
inline constexpr double FpsPerKnot = 1.689;
/// Base intervals of the arrest and launch timers, multiplied by the timing resolution.
inline constexpr int DecelTimerBaseMs = 10;
inline constexpr int AccelTimerBaseMs = 5;

}  // namespace options
