#pragma once

#include <optional>
#include <string>

#include "platform/controls.h"

/// Rounds to the nearest whole number, a half going to the even neighbour (-712.5 to -712,
/// 2.5 to 2, 3.5 to 4); values beyond the int range are clamped.
int RoundHalfEven(double value);

/// Whether value lies in the up-down control's range, whichever way round its ends are given.
bool InUpDownRange(const platform::UpDown& updown, double value);

/// The real typed in an option edit field (blanks around it allowed), or nothing.
std::optional<double> EditTextToFloat(const std::string& text);
/// The integer typed in an option edit field (decimal or "0x" hexadecimal), or nothing.
std::optional<int> EditTextToInteger(const std::string& text);
