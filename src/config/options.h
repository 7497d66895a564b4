#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/option_table.h"
#include "platform/controls.h"
#include "platform/event_loop.h"

class TCarrierData;
class TOptions;

namespace platform {
class IniFile;
}

/// Rounds to the nearest whole number, a half going to the even neighbour (-712.5 to -712,
/// 2.5 to 2, 3.5 to 4); values beyond the int range are clamped.
int RoundHalfEven(double value);

/// Whether value lies in the up-down control's range, whichever way round its ends are given.
bool InUpDownRange(const platform::UpDown& updown, double value);

/// The real typed in an option edit field (blanks around it allowed), or nothing.
std::optional<double> EditTextToFloat(const std::string& text);
/// The integer typed in an option edit field (decimal or "0x" hexadecimal), or nothing.
std::optional<int> EditTextToInteger(const std::string& text);

/// What an option row holds and how the settings file writes it.
enum class TOptionKind {
  Real,     ///< a number with an edit field and an up-down; the file holds a real
  Integer,  ///< a number with an edit field and an up-down; the file holds an integer
  Check,    ///< a check box; the file holds 1 or 0
  Choice,   ///< a radio group of two items; the file holds the item index, 0 or 1
};

/// One option of the settings file: where the file keeps it, its default, its controls and
/// where its value lives. The range and step of a number are its up-down control's, built from
/// the number's TNumberOption. Loading, saving, resetting and wiring loop over the rows.
struct TOptionRow {
  TOptionKind kind = TOptionKind::Check;
  const char* section = "";
  const char* key = "";
  /// Default: the value when the file has none (and the start and reset value of a number).
  double defaultValue = 0;
  /// The row's turn when the settings are read (the controls change in this order, and the
  /// key combination registers the hot keys), counted from 1.
  int loadStep = 0;
  /// The row's turn when the settings are written: the order of its key in a new file.
  int saveStep = 0;
  /// The row's turn when a number is set back to its default at program start; 0: never.
  int resetStep = 0;
  /// False when this edition has no such option: it is neither read nor written.
  bool present = true;
  /// Number: its caption, edit field and up-down control, owned by the options.
  platform::Label* caption = nullptr;
  platform::Edit* edit = nullptr;
  platform::UpDown* updown = nullptr;
  platform::CheckBox* check = nullptr;
  platform::RadioGroup* choice = nullptr;
  /// Number: stores a value already in range, as the program works with it.
  std::function<void(double)> store;
  /// Number: the value the settings file keeps.
  std::function<double()> saved;
  /// Choice: run once the item is set from the file.
  std::function<void()> afterLoad;
};

/// One number of the options page, declared once: the name and caption of its controls, where
/// the settings file keeps it, its default (the start and reset value), the range and step of
/// its up-down control, its turns in loading, saving and resetting, and where its value lives.
/// The options build the number's controls and its TOptionRow from it; the window's captions,
/// control list and layout loop over these rows.
struct TNumberOption {
  /// The controls are lbl<name> (caption), edt<name> (edit field) and updwn<name> (up-down).
  const char* name;
  const char* caption;
  /// Real or Integer: what the edit field and the settings file hold.
  TOptionKind kind;
  const char* section;
  const char* key;
  double defaultValue;
  int minimum;
  int maximum;
  int increment;
  int loadStep;
  int saveStep;
  /// 0: the number is not set back to its default at program start.
  int resetStep;
  /// Stores a value already in range as the program works with it.
  void (*store)(TOptions&, double);
  /// The value the settings file keeps.
  double (*saved)(const TOptions&);
};

/// The caption, edit field and up-down control of a number, built from its row at its default.
struct TNumberControls {
  explicit TNumberControls(const TNumberOption& option);
  platform::Label caption;
  platform::Edit edit;
  platform::UpDown updown;
};

/// What the options see of the window: the check boxes and radio groups of the options, the
/// two windows whose places the file keeps, the timers whose
/// interval follows the timing resolution, the data-file list the file names an entry of, the
/// connection line, the error box and the key combination's click handler.
struct TOptionsView {
  platform::CheckBox& chkbxShowDisableReminders;
  platform::CheckBox& chkbxSpecialSoundHandling;
  platform::CheckBox& chkbxDetectTailhook;
  platform::CheckBox& chkbxCatSmoke;
  platform::CheckBox& chkbxDamageSounds;
  platform::CheckBox& chkbxShowCablesActiveMsg;
  platform::CheckBox& chkbxTrapLog;
  platform::CheckBox& chkbxLsoCalls;
  platform::CheckBox& chkbxRealisticGear;
  platform::RadioGroup& rdgrpCtrlKeys;
  platform::RadioGroup& rdgrpFuelTransferRate;
  platform::Window& FormMain;
  platform::Window& frmToolbar;
  platform::Timer& tmrDecel;
  platform::Timer& tmrAccel;
  platform::ComboBox& cmbDatFile;
  platform::Label& lblConnectionInfo;
  /// The carrier data, which chooses the default data file when the file names none.
  TCarrierData& carrierData;
  /// Folder of the program file, with its trailing delimiter (set once the window is created).
  const std::string& ProgramFolder;
  /// Reports an error as the framework's error box would.
  std::function<void(const std::string&)> showErrorBox;
  /// The key combination's click handler, which registers the hot keys.
  std::function<void()> rdgrpCtrlKeysClick;
  /// Whether the settings file keeps the tail-hook option (one edition has none).
  bool hasTailhookOption;
};

/// The values of the numbers the program works with, one field per number: what a subsystem's
/// view reads (a const reference, so it sees each change at once), and what a test builds alone.
struct TOptionValues {
  /// Push of the arresting cable, ft/s^2.
  double CableCatchAccelFactor = 0;
  /// Push of the catapult, ft/s^2.
  double CatapultAccelFactor = 0;
  /// Speed at which the catapult lets go, in knots and in feet per second.
  int CatapultCutoffKnots = 0;
  double CatapultCutoffFps = 0;
  /// Hold-back of the catapult before release, kept negated.
  int CatapultHoldFactor = 0;
  /// Multiplier of the arrest and launch timer intervals.
  int TimingResolutionFactor = 1;
};

/// The options of the settings file: the numeric tuning options, whose values (the fields of
/// TOptionValues, each set to its row's default when the options are built) the program reads,
/// with their controls, and the check boxes and radio groups kept with them.
class TOptions : public TOptionValues {
 public:
  /// The numbers of the options page, top to bottom. Adding one here (with its field below)
  /// gives it its controls, its place on the page and its key in the settings file.
  static const std::vector<TNumberOption>& NumberRows();

  /// Builds the numbers' controls and every row, each number at its default; the controls are
  /// wired by WireControls.
  explicit TOptions(TOptionsView view);
  TOptions(const TOptions&) = delete;
  TOptions& operator=(const TOptions&) = delete;

  /// Couples each up-down to its edit field, shows each default and attaches the edit fields'
  /// change handlers (after the texts, so creation runs no setter).
  void WireControls();
  /// Sets every number that is reset at program start back to its default.
  void ApplyDefaults();

  /// Reads "Corvane.INI" and selects the data file. Blocks on the file.
  bool LoadSettings();
  /// Writes every setting, only in the loaded state. Blocks on the file.
  void SaveSettings();

  void SetCableCatchAccelFactor(double value);
  void SetCatapultAccelFactor(double value);
  void SetCatapultCutoffKnots(int value);
  void SetCatapultHoldFactor(int value);
  void SetTimingResolution(int value);
  void edtDecelFactorChange();
  void edtAccelFactorChange();
  void edtCatapultCutoffChange();
  void edtCatapultHoldFactorChange();
  void edtTimingResolutionChange();

  /// The rows, in the order of the options page (the numbers first).
  const std::vector<TOptionRow>& rows() const { return rows_; }
  /// The controls of the number of that name (see TNumberOption::name); throws when none.
  TNumberControls& NumberControls(std::string_view name);
  /// The controls of every number, in the order of NumberRows.
  std::deque<TNumberControls>& NumberControls() { return numberControls_; }

 private:
  /// A number's setter: the value, or the default when outside the up-down's range, is stored
  /// and shown.
  void Set(const TOptionRow& row, double value);
  /// An edit field's change: its text parsed as the row's kind goes to the setter; text that
  /// is no number is reported and changes nothing.
  void EditChanged(const TOptionRow& row);

  TOptionsView view_;
  /// The numbers' controls, one per row of NumberRows (a deque: they never move).
  std::deque<TNumberControls> numberControls_;
  std::vector<TOptionRow> rows_;
  /// Indexes of the rows in the order of their load, save and reset steps.
  std::vector<std::size_t> loadOrder_, saveOrder_, resetOrder_;
};
