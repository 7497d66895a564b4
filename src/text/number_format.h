#pragma once

#include <cstddef>
#include <string>

/// Writes value in the shortest general form with at most 15 significant digits and "." as
/// decimal separator, whatever the locale (90 -> "90", 187.5 -> "187.5", 1e-7 -> "1E-7").
std::string FormatGeneral(double value);

/// Writes value in fixed form with exactly `decimals` digits after the point, rounded half away
/// from zero on its decimal digits to whichever is coarser of `precision` significant digits and
/// `decimals` decimal places (precision 3, decimals 1: 12.34 -> "12.3", 123.4 -> "123.0").
/// A result that rounds to zero carries no minus sign.
std::string FormatFixed(double value, int precision, int decimals);
