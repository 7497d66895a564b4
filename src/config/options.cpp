#include "config/options.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>

#include "app/form_main.h"
#include "platform/ini_file.h"

using namespace options;

namespace {

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

}  // namespace

int RoundHalfEven(double value) {
  if (std::isnan(value)) return 0;
  constexpr double lo = std::numeric_limits<int>::min();
  constexpr double hi = std::numeric_limits<int>::max();
  value = std::clamp(value, lo, hi);
  const double down = std::floor(value);
  const double fraction = value - down;
  double r = down;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(down, 2.0) != 0.0)) r = down + 1.0;
  return static_cast<int>(std::min(r, hi));
}

bool InUpDownRange(const platform::UpDown& updown, double value) {
  const double lo = std::min(updown.minimum(), updown.maximum());
  const double hi = std::max(updown.minimum(), updown.maximum());
  return value >= lo && value <= hi;
}

std::optional<double> EditTextToFloat(const std::string& text) {
  return platform::parseFloat(trimBlanks(text));
}

std::optional<int> EditTextToInteger(const std::string& text) {
  return platform::parseInteger(trimBlanks(text));
}

void TFormMain::SetCableCatchAccelFactor(double value) {
  CableCatchAccelFactor =
      (InUpDownRange(updwnDecelFactor, value) ? value : CableCatchAccel.defaultValue) *
      CableCatchAccel.factor;
  updwnDecelFactor.setPosition(RoundHalfEven(CableCatchAccelFactor));
}

void TFormMain::SetCatapultAccelFactor(double value) {
  CatapultAccelFactor =
      (InUpDownRange(updwnAccelFactor, value) ? value : CatapultAccel.defaultValue) *
      CatapultAccel.factor;
  updwnAccelFactor.setPosition(RoundHalfEven(CatapultAccelFactor));
}

void TFormMain::SetCatapultCutoffKnots(int value) {
  CatapultCutoffKnots =
      InUpDownRange(updwnCatapultCutoff, value) ? value : CatapultCutoff.defaultValue;
  CatapultCutoffFps = CatapultCutoffKnots * CatapultCutoff.factor;
  updwnCatapultCutoff.setPosition(CatapultCutoffKnots);
}

void TFormMain::SetCatapultHoldFactor(int value) {
  const int hold =
      InUpDownRange(updwnCatapultHoldFactor, value) ? value : CatapultHold.defaultValue;
  CatapultHoldFactor = static_cast<int>(hold * CatapultHold.factor);
  updwnCatapultHoldFactor.setPosition(hold);
}

void TFormMain::SetTimingResolution(int value) {
  TimingResolutionFactor =
      InUpDownRange(updwnTimingResolution, value) ? value : TimingResolution.defaultValue;
  tmrDecel.setInterval(DecelTimerBaseMs * TimingResolutionFactor);
  tmrAccel.setInterval(AccelTimerBaseMs * TimingResolutionFactor);
  updwnTimingResolution.setPosition(TimingResolutionFactor);
}

namespace {

template <typename Setter>
void applyReal(TFormMain& form, const platform::Edit& edit, Setter set) {
  const std::optional<double> v = EditTextToFloat(edit.text());
  if (!v) {
    form.showErrorBox("'" + edit.text() + "' is not a valid floating point value");
    return;
  }
  set(*v);
}

template <typename Setter>
void applyInteger(TFormMain& form, const platform::Edit& edit, Setter set) {
  const std::optional<int> v = EditTextToInteger(edit.text());
  if (!v) {
    form.showErrorBox("'" + edit.text() + "' is not a valid integer value");
    return;
  }
  set(*v);
}

}  // namespace

void TFormMain::edtDecelFactorChange() {
  applyReal(*this, edtDecelFactor, [this](double v) { SetCableCatchAccelFactor(v); });
}

void TFormMain::edtAccelFactorChange() {
  applyReal(*this, edtAccelFactor, [this](double v) { SetCatapultAccelFactor(v); });
}

void TFormMain::edtCatapultCutoffChange() {
  applyInteger(*this, edtCatapultCutoff, [this](int v) { SetCatapultCutoffKnots(v); });
}

void TFormMain::edtCatapultHoldFactorChange() {
  applyInteger(*this, edtCatapultHoldFactor, [this](int v) { SetCatapultHoldFactor(v); });
}

void TFormMain::edtTimingResolutionChange() {
  applyInteger(*this, edtTimingResolution, [this](int v) { SetTimingResolution(v); });
}
