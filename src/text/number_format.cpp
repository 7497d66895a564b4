#include "text/number_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace {

/// Up to 17 significant decimal digits of |value| and its decimal exponent (value = 0.d1d2... x
/// 10^(exp+1)), from a 15-digit rendering so that binary noise below the 15th digit is gone.
struct DecimalDigits {
  char digits[20] = {};
  int count = 0;
  int exponent = 0;  // power of ten of the first digit
};

DecimalDigits decompose(double value) {
  DecimalDigits d;
  char buf[40];
  auto res =
      std::to_chars(buf, buf + sizeof buf - 1, std::fabs(value), std::chars_format::scientific, 14);
  *res.ptr = '\0';  // to_chars does not terminate; the exponent is read up to here only
  const char* p = buf;
  for (; p < res.ptr && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') d.digits[d.count++] = *p;
  if (p < res.ptr) d.exponent = std::atoi(p + 1);
  return d;
}

}  // namespace

std::string FormatGeneral(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";
  char buf[40];
  auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
  std::string text(buf, res.ptr);
  // Exponent form as the program shows it: "1E-7", "1.5E20" (no "+", no leading zeros).
  const auto e = text.find('e');
  if (e != std::string::npos) {
    std::string mantissa = text.substr(0, e);
    int exp = std::atoi(text.c_str() + e + 1);
    text = mantissa + "E" + std::to_string(exp);
  }
  return text;
}

std::string FormatFixed(double value, int precision, int decimals) {
  if (!std::isfinite(value)) return FormatGeneral(value);
  if (precision < 1) precision = 1;
  if (decimals < 0) decimals = 0;
  DecimalDigits d = decompose(value);
  const bool negative = value < 0;
  // Number of digits kept from the first one: limited by the significant digits and by the
  // decimal places, whichever is coarser.
  int keep = std::min(precision, d.exponent + 1 + decimals);
  // Digits as an integer count of units of 10^(exponent - keep + 1), rounded half up.
  std::string kept;
  bool roundUp = false;
  if (keep < 0) {
    kept = "";
  } else {
    kept.assign(d.digits, d.digits + std::min(keep, d.count));
    while (static_cast<int>(kept.size()) < keep) kept.push_back('0');
    roundUp = keep < d.count && d.digits[keep] >= '5';
  }
  int unitExp = d.exponent - keep + 1;  // power of ten of the last kept digit
  if (roundUp) {
    int i = static_cast<int>(kept.size()) - 1;
    for (; i >= 0 && kept[static_cast<size_t>(i)] == '9'; --i) kept[static_cast<size_t>(i)] = '0';
    if (i >= 0)
      ++kept[static_cast<size_t>(i)];
    else
      kept.insert(kept.begin(), '1');
  }
  // kept x 10^unitExp, written with `decimals` places.
  std::string intPart, fracPart;
  if (unitExp >= 0) {
    intPart = kept.empty() ? "0" : kept + std::string(static_cast<size_t>(unitExp), '0');
  } else {
    const size_t frac = static_cast<size_t>(-unitExp);
    std::string padded = kept;
    if (padded.size() <= frac) padded.insert(0, frac - padded.size() + 1, '0');
    intPart = padded.substr(0, padded.size() - frac);
    fracPart = padded.substr(padded.size() - frac);
  }
  const size_t firstNonZero = intPart.find_first_not_of('0');
  intPart = firstNonZero == std::string::npos ? "0" : intPart.substr(firstNonZero);
  fracPart.resize(static_cast<size_t>(decimals), '0');
  const bool zero = intPart == "0" && fracPart.find_first_not_of('0') == std::string::npos;
  std::string out = (negative && !zero) ? "-" : "";
  out += intPart;
  if (decimals > 0) out += "." + fracPart;
  return out;
}
