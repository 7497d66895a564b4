#include "config/options.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <stdexcept>
#include <string_view>
#include <type_traits>
#include <utility>

#include "config/config_names.h"
#include "platform/ini_file.h"

using namespace options;

namespace {

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// Places of the numbers among the rows: the order of the options page.
constexpr std::size_t CutoffRow = 0;
constexpr std::size_t HoldRow = 1;
constexpr std::size_t AccelRow = 2;
constexpr std::size_t DecelRow = 3;
constexpr std::size_t TimingRow = 4;

TOptionRow numberRow(const TNumberOption& o, TNumberControls& controls, TOptions& options) {
  TOptionRow r;
  r.kind = o.kind;
  r.section = o.section;
  r.key = o.key;
  r.defaultValue = o.defaultValue;
  r.loadStep = o.loadStep;
  r.saveStep = o.saveStep;
  r.resetStep = o.resetStep;
  r.caption = &controls.caption;
  r.edit = &controls.edit;
  r.updown = &controls.updown;
  r.store = [&options, store = o.store](double value) { store(options, value); };
  r.saved = [&options, saved = o.saved] { return saved(options); };
  return r;
}

TOptionRow checkRow(const char* section, const char* key, bool defaultValue, int loadStep,
                    int saveStep, platform::CheckBox& check, bool present = true) {
  TOptionRow r;
  r.kind = TOptionKind::Check;
  r.section = section;
  r.key = key;
  r.defaultValue = defaultValue ? 1.0 : 0.0;
  r.loadStep = loadStep;
  r.saveStep = saveStep;
  r.check = &check;
  r.present = present;
  return r;
}

TOptionRow choiceRow(const char* section, const char* key, int loadStep, int saveStep,
                     platform::RadioGroup& choice, std::function<void()> afterLoad = {}) {
  TOptionRow r;
  r.kind = TOptionKind::Choice;
  r.section = section;
  r.key = key;
  r.loadStep = loadStep;
  r.saveStep = saveStep;
  r.choice = &choice;
  r.afterLoad = std::move(afterLoad);
  return r;
}

/// The indexes of the rows in the order of the given step; rows whose step is 0 are left out.
std::vector<std::size_t> orderOf(const std::vector<TOptionRow>& rows, int TOptionRow::*step) {
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (rows[i].*step > 0) order.push_back(i);
  std::sort(order.begin(), order.end(),
            [&](std::size_t a, std::size_t b) { return rows[a].*step < rows[b].*step; });
  return order;
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

const std::vector<TNumberOption>& TOptions::NumberRows() {
  using enum TOptionKind;
  // Load, save and reset steps: the program has always read, written and reset its options in
  // three different orders (see TOptionRow); the next free steps put a new number last.
  static const std::vector<TNumberOption> rows{
      {.name = "CatapultCutoff",
       .caption = "Catapult cutoff (knots):",
       .kind = Integer,
       .section = SectionCatapultOps,
       .key = KeyCatapultSpeedCutoffKnots,
       .defaultValue = 120,
       .minimum = 60,
       .maximum = 180,
       .increment = 10,
       .loadStep = 6,
       .saveStep = 11,
       .resetStep = 1,
       .store =
           [](TOptions& o, double knots) {
             o.CatapultCutoffKnots = static_cast<int>(knots);
             o.CatapultCutoffFps = o.CatapultCutoffKnots * FpsPerKnot;
           },
       .saved = [](const TOptions& o) { return static_cast<double>(o.CatapultCutoffKnots); }},
      {.name = "CatapultHoldFactor",
       .caption = "Cat Hold Factor:",
       .kind = Integer,
       .section = SectionCatapultOps,
       .key = KeyCatapultHoldFactor,
       .defaultValue = 50,
       .minimum = 50,
       .maximum = 200,
       .increment = 5,
       .loadStep = 7,
       .saveStep = 12,
       .resetStep = 0,
       .store = [](TOptions& o, double hold) { o.CatapultHoldFactor = -static_cast<int>(hold); },
       .saved =
           [](const TOptions& o) { return static_cast<double>(std::abs(o.CatapultHoldFactor)); }},
      {.name = "AccelFactor",
       .caption = "Accel Factor:",
       .kind = Real,
       .section = SectionCatapultOps,
       .key = KeyCatapultAccelFactor,
       .defaultValue = 700,
       .minimum = 350,
       .maximum = 1500,
       .increment = 50,
       .loadStep = 5,
       .saveStep = 10,
       .resetStep = 3,
       .store = [](TOptions& o, double accel) { o.CatapultAccelFactor = accel; },
       .saved = [](const TOptions& o) { return o.CatapultAccelFactor; }},
      // The up-down runs from -100 down to -1500.
      {.name = "DecelFactor",
       .caption = "Decel Factor:",
       .kind = Real,
       .section = SectionCableOps,
       .key = KeyCableCatchAccelFactor,
       .defaultValue = -700,
       .minimum = -100,
       .maximum = -1500,
       .increment = 50,
       .loadStep = 4,
       .saveStep = 6,
       .resetStep = 2,
       .store = [](TOptions& o, double decel) { o.CableCatchAccelFactor = decel; },
       .saved = [](const TOptions& o) { return o.CableCatchAccelFactor; }},
      {.name = "TimingResolution",
       .caption = "Timing granularity:",
       .kind = Integer,
       .section = SectionGeneral,
       .key = KeyTimingResolutionFactor,
       .defaultValue = 1,
       .minimum = 1,
       .maximum = 20,
       .increment = 1,
       .loadStep = 14,
       .saveStep = 4,
       .resetStep = 4,
       .store =
           [](TOptions& o, double factor) {
             o.TimingResolutionFactor = static_cast<int>(factor);
             o.view_.tmrDecel.setInterval(DecelTimerBaseMs * o.TimingResolutionFactor);
             o.view_.tmrAccel.setInterval(AccelTimerBaseMs * o.TimingResolutionFactor);
           },
       .saved = [](const TOptions& o) { return static_cast<double>(o.TimingResolutionFactor); }},
  };
  return rows;
}

TNumberControls::TNumberControls(const TNumberOption& o)
    : caption(std::string("lbl") + o.name),
      edit(std::string("edt") + o.name),
      updown(std::string("updwn") + o.name, o.minimum, o.maximum, o.increment,
             static_cast<int>(o.defaultValue)) {}

TOptions::TOptions(TOptionsView view) : view_(std::move(view)) {
  TOptionsView& v = view_;
  // The numbers in the order of the options page, each at its default.
  for (const TNumberOption& o : NumberRows()) {
    rows_.push_back(numberRow(o, numberControls_.emplace_back(o), *this));
    o.store(*this, o.defaultValue);
  }
  // The check boxes and radio groups the file keeps.
  rows_.push_back(checkRow(SectionGeneral, KeyShowRemindersWhenDisabled, true, 1, 1,
                           v.chkbxShowDisableReminders));
  rows_.push_back(
      checkRow(SectionGeneral, KeySpecialSoundHandling, false, 2, 2, v.chkbxSpecialSoundHandling));
  rows_.push_back(checkRow(SectionCableOps, KeyDetectTrapsIfTailhookExtended, false, 3, 8,
                           v.chkbxDetectTailhook, v.hasTailhookOption));
  rows_.push_back(checkRow(SectionCatapultOps, KeyUseAircraftSmoke, false, 8, 13, v.chkbxCatSmoke));
  rows_.push_back(
      checkRow(SectionGeneral, KeyPlayBattleDamageSounds, false, 9, 3, v.chkbxDamageSounds));
  rows_.push_back(
      checkRow(SectionCableOps, KeyShowCablesActiveMsg, false, 10, 7, v.chkbxShowCablesActiveMsg));
  rows_.push_back(checkRow(SectionCableOps, KeyTrapLog, false, 11, 9, v.chkbxTrapLog));
  rows_.push_back(checkRow(SectionCableOps, KeyLsoCalls, false, 15, 15, v.chkbxLsoCalls));
  rows_.push_back(checkRow(SectionCableOps, KeyRealisticGear, false, 16, 16, v.chkbxRealisticGear));
  // A change of the selected item runs rdgrpCtrlKeysClick, which registers the hot keys; once
  // the window is shown it runs once more.
  rows_.push_back(
      choiceRow(SectionGeneral, KeyKeystrokeCompatibilityOption, 12, 5, v.rdgrpCtrlKeys, [this] {
        if (view_.FormMain.visible() && view_.rdgrpCtrlKeysClick) view_.rdgrpCtrlKeysClick();
      }));
  rows_.push_back(choiceRow(SectionFuelOps, KeyTransferRateIndex, 13, 14, v.rdgrpFuelTransferRate));
  loadOrder_ = orderOf(rows_, &TOptionRow::loadStep);
  saveOrder_ = orderOf(rows_, &TOptionRow::saveStep);
  resetOrder_ = orderOf(rows_, &TOptionRow::resetStep);
}

TNumberControls& TOptions::NumberControls(std::string_view name) {
  const std::vector<TNumberOption>& numbers = NumberRows();
  for (std::size_t i = 0; i < numbers.size(); ++i)
    if (name == numbers[i].name) return numberControls_[i];
  throw std::out_of_range("no option number " + std::string(name));
}

void TOptions::WireControls() {
  for (TOptionRow& r : rows_) {
    if (!r.edit) continue;
    r.updown->associate = r.edit;
    r.edit->setText(std::to_string(static_cast<int>(r.defaultValue)));
    r.edit->onChange = [this, &r] { EditChanged(r); };
  }
}

void TOptions::ApplyDefaults() {
  for (std::size_t i : resetOrder_) Set(rows_[i], rows_[i].defaultValue);
}

void TOptions::Set(const TOptionRow& r, double value) {
  const double shown = InUpDownRange(*r.updown, value) ? value : r.defaultValue;
  r.store(shown);
  r.updown->setPosition(RoundHalfEven(shown));
}

void TOptions::EditChanged(const TOptionRow& r) {
  const std::string& text = r.edit->text();
  if (r.kind == TOptionKind::Real) {
    const std::optional<double> v = EditTextToFloat(text);
    if (!v) {
      view_.showErrorBox("'" + text + "' is not a valid floating point value");
      return;
    }
    Set(r, *v);
  } else {
    const std::optional<int> v = EditTextToInteger(text);
    if (!v) {
      view_.showErrorBox("'" + text + "' is not a valid integer value");
      return;
    }
    Set(r, *v);
  }
}

void TOptions::SetCableCatchAccelFactor(double value) { Set(rows_[DecelRow], value); }
void TOptions::SetCatapultAccelFactor(double value) { Set(rows_[AccelRow], value); }
void TOptions::SetCatapultCutoffKnots(int value) { Set(rows_[CutoffRow], value); }
void TOptions::SetCatapultHoldFactor(int value) { Set(rows_[HoldRow], value); }
void TOptions::SetTimingResolution(int value) { Set(rows_[TimingRow], value); }
void TOptions::edtDecelFactorChange() { EditChanged(rows_[DecelRow]); }
void TOptions::edtAccelFactorChange() { EditChanged(rows_[AccelRow]); }
void TOptions::edtCatapultCutoffChange() { EditChanged(rows_[CutoffRow]); }
void TOptions::edtCatapultHoldFactorChange() { EditChanged(rows_[HoldRow]); }
void TOptions::edtTimingResolutionChange() { EditChanged(rows_[TimingRow]); }
