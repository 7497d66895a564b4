#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "config/option_table.h"
#include "platform/controls.h"
#include "platform/event_loop.h"

class TCarrierData;

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
/// the same constant as the row (option_table.h). Loading, saving, resetting and wiring loop
/// over the rows.
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

/// What the options see of the window: the edit fields, up-down controls, check boxes and
/// radio groups of the options, the two windows whose places the file keeps, the timers whose
/// interval follows the timing resolution, the data-file list the file names an entry of, the
/// connection line, the error box and the key combination's click handler.
struct TOptionsView {
  platform::Edit& edtCatapultCutoff;
  platform::Edit& edtCatapultHoldFactor;
  platform::Edit& edtAccelFactor;
  platform::Edit& edtDecelFactor;
  platform::Edit& edtTimingResolution;
  platform::UpDown& updwnCatapultCutoff;
  platform::UpDown& updwnCatapultHoldFactor;
  platform::UpDown& updwnAccelFactor;
  platform::UpDown& updwnDecelFactor;
  platform::UpDown& updwnTimingResolution;
  platform::CheckBox& chkbxShowDisableReminders;
  platform::CheckBox& chkbxSpecialSoundHandling;
  platform::CheckBox& chkbxDetectTailhook;
  platform::CheckBox& chkbxCatSmoke;
  platform::CheckBox& chkbxDamageSounds;
  platform::CheckBox& chkbxShowCablesActiveMsg;
  platform::CheckBox& chkbxTrapLog;
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

/// The options of the settings file: the five numeric tuning options, which the program reads
/// through the fields below, and the check boxes and radio groups kept with them.
class TOptions {
 public:
  /// Builds the rows; the controls are wired by WireControls.
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

  double CableCatchAccelFactor = options::CableCatchAccel.defaultValue;
  double CatapultAccelFactor = options::CatapultAccel.defaultValue;
  int CatapultCutoffKnots = options::CatapultCutoff.defaultValue;
  double CatapultCutoffFps = options::CatapultCutoff.defaultValue * options::CatapultCutoff.factor;
  int CatapultHoldFactor =
      static_cast<int>(options::CatapultHold.defaultValue * options::CatapultHold.factor);
  int TimingResolutionFactor = options::TimingResolution.defaultValue;

 private:
  /// A number's setter: the value, or the default when outside the up-down's range, is stored
  /// and shown.
  void Set(const TOptionRow& row, double value);
  /// An edit field's change: its text parsed as the row's kind goes to the setter; text that
  /// is no number is reported and changes nothing.
  void EditChanged(const TOptionRow& row);

  TOptionsView view_;
  std::vector<TOptionRow> rows_;
  /// Indexes of the rows in the order of their load, save and reset steps.
  std::vector<std::size_t> loadOrder_, saveOrder_, resetOrder_;
};
