#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "activity/activity.h"
#include "arrest/arrest.h"
#include "board/board_keeper.h"
#include "catapult/catapult.h"
#include "config/carrier_data.h"
#include "config/catch_zone.h"
#include "config/options.h"
#include "cues/cues.h"
#include "damage/battle_damage.h"
#include "edition/edition.h"
#include "fuel/fuel_transfer_unit.h"
#include "input/hot_keys.h"
#include "logbook/trap_log.h"
#include "platform/clock.h"
#include "platform/controls.h"
#include "platform/event_loop.h"
#include "platform/random.h"
#include "platform/sound_player.h"
#include "simlink/sim_link.h"

struct TActionRow;
struct TCatchReadings;

namespace platform {
class IniFile;
class IpcTransport;
}  // namespace platform

/// What the main window needs from its surroundings: the loop and clock its timers run on,
/// the random source, the sound players and the folder of the program file.
struct TFormServices {
  platform::EventLoop* loop = nullptr;
  platform::Random* random = nullptr;
  platform::SoundPlayerFactory soundPlayers;
  /// Folder of the program file, with or without a trailing '/'.
  std::string programFolder;
  /// Shows an error the way the framework's standard error box would (the headless front end
  /// prints a line); used for conversion errors in the option edit fields and for any error
  /// escaping a tick or an action.
  std::function<void(const std::string&)> errorBox;
  /// The window's link to the simulator, made by the front end with its transport and clock
  /// and outliving the window; null: the window makes its own, which finds no server.
  simlink::Link* link = nullptr;
  /// The action table the window is made from; empty: the program's own (ActionTable()).
  std::span<const TActionRow> actionTable{};
};

/// One control as a front end sees it: which window holds it, on which page of pgMain
/// (-1: on none), and its place in that window or page, counted from the top.
struct TControlEntry {
  platform::Control* control;
  const char* window;  // "FormMain", "frmToolbar", or "ActionList1" for the actions
  int page;
  int order;
};

/// The action and Keystrokes label the window makes for an action row that names no members:
/// "act" + its name and "lbl" + its name + "Key".
struct TRowControls {
  explicit TRowControls(const TActionRow& row);
  const TActionRow& row;
  platform::Action action;
  platform::Label keyLabel;
};

/// The toolbar button made for an action row that names no members: "btn" + its name.
struct TRowButton {
  explicit TRowButton(const TActionRow& row);
  const TActionRow& row;
  platform::SpeedButton button;
};

/// The vertical toolbar window; it only forwards to the main window's actions.
class TfrmToolbar {
 public:
  /// A button for each row of actionRows that has one.
  explicit TfrmToolbar(std::span<const TActionRow> actionRows);
  /// Sets the client width, captions and hints.
  void FormCreate();

  platform::Window frmToolbar{"frmToolbar"};
  platform::SpeedButton btnToolbarToggle{"btnToolbarToggle"};
  platform::SpeedButton btnReset{"btnReset"};
  platform::SpeedButton btnManualOverride{"btnManualOverride"};
  platform::SpeedButton btnShowStatus{"btnShowStatus"};
  platform::SpeedButton btnCatapultArm{"btnCatapultArm"};
  platform::SpeedButton btnFuelLoad{"btnFuelLoad"};
  platform::SpeedButton btnFuelOffload{"btnFuelOffload"};
  platform::SpeedButton btnToggleFuelRate{"btnToggleFuelRate"};
  platform::SpeedButton btnBattleDamage1{"btnBattleDamage1"};
  platform::SpeedButton btnBattleDamage2{"btnBattleDamage2"};
  platform::SpeedButton btnBattleDamage3{"btnBattleDamage3"};
  /// The eight coloured group bars, Shape1 to Shape8.
  std::array<platform::Color, 8> Shapes{};
  /// The action table whose buttons the toolbar shows.
  std::span<const TActionRow> actionRows;
  /// The buttons made for the rows that name no members, in table order.
  std::deque<TRowButton> rowButtons;

  /// Every button in column order.
  std::vector<platform::SpeedButton*> buttons();
};

/// The main window: owner of the seven timers, the controls, the actions and the program state
/// that no subsystem holds; each subsystem member (cues, battleDamage, trapLog, fuelTransfer,
/// catapult, hotKeys) owns its own state.
class TFormMain {
 public:
  explicit TFormMain(TFormServices services);
  ~TFormMain();
  TFormMain(const TFormMain&) = delete;
  TFormMain& operator=(const TFormMain&) = delete;

  // Application core: lifecycle
  /// Window creation: captions, toolbar, constants, then the first start-up.
  void FormCreate();
  /// Reset, connect and load; loadDefaults only at program start. May block on the link.
  void InitializeProgram(bool loadDefaults);
  /// Puts the program state back to its start values (timers untouched).
  void ResetState(bool loadDefaults);
  /// Opens the link and checks simulator and server version; the reason of a refusal goes
  /// to lblConnectionInfo. Blocks during the handshake.
  bool ConnectToSimulator();
  /// Opens the window to the user once zones are loaded: the data-file list, the page control
  /// and both manual-override buttons, enabled and up.
  void EnableLoadedControls();
  /// Stops every timer, releases hot keys, saves settings, frees the zones, closes the link.
  void StopProgram();
  /// "Reset Program and Connection".
  void actResetProgramExecute();
  /// "Manual Override": acts on the new Down state of btnManualDisable.
  void actManualOverrideExecute();
  /// Window closing.
  void FormClose();
  /// True while the manual override is engaged (btnManualDisable Down).
  bool ManuallyDisabled() const { return btnManualDisable.down(); }

  // Application core: main window and toolbar
  /// Captions, texts, hints and radio-group items of both windows.
  void SetCaptions();
  /// Shows the toolbar and hides the main window.
  void btnToolbarClick();
  /// Shows the main window and hides the toolbar.
  void btnToolbarToggleClick();
  /// Toolbar "MO": toggles the override as the main window's button would.
  void btnManualOverrideClick();
  /// "Show Status": the status summary as an in-simulator message.
  void actShowStatusExecute();

  // Program state
  std::string ProgramFolder;

  // Main window controls
  platform::Window FormMain{"FormMain"};
  platform::Button btnReset{"btnReset"};
  platform::Label lblConnectionInfo{"lblConnectionInfo"};
  platform::Label lblOtherStatus{"lblOtherStatus"};
  platform::Button btnToolbar{"btnToolbar"};
  platform::CheckBox chkbxShowDisableReminders{"chkbxShowDisableReminders"};
  platform::SpeedButton btnManualDisable{"btnManualDisable"};
  platform::PageControl pgMain{"pgMain"};
  platform::ComboBox cmbDatFile{"cmbDatFile"};
  platform::FileListBox lstboxDatFiles{"lstboxDatFiles"};
  // page "  &FLIGHT STATUS  "
  platform::Label lblCurrentMagVar{"lblCurrentMagVar"};
  platform::Label lblNumOfCarriersLoaded{"lblNumOfCarriersLoaded"};
  platform::Label lblCableCatchStatus{"lblCableCatchStatus"};
  platform::Label lblFlightStatusCaption{"lblFlightStatusCaption"};
  platform::Label lblFlightStatus{"lblFlightStatus"};
  platform::Label lblActivelyCheckingCaption{"lblActivelyCheckingCaption"};
  platform::Label lblActivelyCheckingStatus{"lblActivelyCheckingStatus"};
  platform::Label lblNearestCarrier{"lblNearestCarrier"};
  // page " F&UEL TRANSFERS "
  platform::RadioGroup rdgrpFuelTransferRate{"rdgrpFuelTransferRate"};
  platform::Label lblFuelTransferStatus{"lblFuelTransferStatus"};
  // page "  O&PTIONS  "
  // (the numbers' captions, edit fields and up-down controls belong to options, below)
  platform::Label lblAccelDecelNote{"lblAccelDecelNote"};
  platform::CheckBox chkbxShowCablesActiveMsg{"chkbxShowCablesActiveMsg"};
  platform::CheckBox chkbxDamageSounds{"chkbxDamageSounds"};
  platform::CheckBox chkbxCatSmoke{"chkbxCatSmoke"};
  platform::CheckBox chkbxSpecialSoundHandling{"chkbxSpecialSoundHandling"};
  platform::CheckBox chkbxDetectTailhook{"chkbxDetectTailhook"};
  platform::CheckBox chkbxTrapLog{"chkbxTrapLog"};
  platform::CheckBox chkbxLsoCalls{"chkbxLsoCalls"};
  platform::CheckBox chkbxRealisticGear{"chkbxRealisticGear"};
  platform::RadioGroup rdgrpCtrlKeys{"rdgrpCtrlKeys"};
  // page " &KEYSTROKES "
  platform::Label lblStatusKey{"lblStatusKey"};
  platform::Label lblCatapultKey{"lblCatapultKey"};
  platform::Label lblFuelLoadKey{"lblFuelLoadKey"};
  platform::Label lblFuelOffloadKey{"lblFuelOffloadKey"};
  platform::Label lblFuelTransferRateKey{"lblFuelTransferRateKey"};
  platform::Label lblManualOverrideKey{"lblManualOverrideKey"};
  platform::Label lblResetKey{"lblResetKey"};
  platform::Label lblBattleDamage1Key{"lblBattleDamage1Key"};
  platform::Label lblBattleDamage2Key{"lblBattleDamage2Key"};
  platform::Label lblBattleDamage3Key{"lblBattleDamage3Key"};
  /// The link made for the window when its front end hands it none.
  std::unique_ptr<simlink::Link> ownLink;
  /// The window's link to the simulator, handed to the subsystems that use it.
  simlink::Link& link;
  /// Messages and sounds, with the hidden wave players.
  TCues cues;
  /// The battle-damage actions.
  TBattleDamage battleDamage;
  /// The trap and launch log and its records of the pass, arrest and stroke under way.
  TTrapLog trapLog;
  /// The greenie board made from the log.
  TBoardKeeper board{trapLog, chkbxTrapLog};
  platform::Screen Screen;
  TfrmToolbar frmToolbar;

  // Subsystems, each handed only the controls and services it uses (after the controls they
  // refer to)
  /// The fuel transfer and its state (fuelLoading, fuelOffloading, tankCapacity).
  fuel::FuelTransferUnit fuelTransfer{
      {rdgrpFuelTransferRate, lblFuelTransferStatus, btnManualDisable, link,
       [this](const std::string& text, int16_t seconds) { cues.ShowSimMessage(text, seconds); }}};

  // Actions (ActionList1)
  /// The action table the window is made from.
  std::span<const TActionRow> actionRows;
  platform::Action actResetProgram{"actResetProgram"};
  platform::Action actManualOverride{"actManualOverride"};
  platform::Action actShowStatus{"actShowStatus"};
  platform::Action actCatapultArm{"actCatapultArm"};
  platform::Action actFuelLoad{"actFuelLoad"};
  platform::Action actFuelOFFload{"actFuelOFFload"};
  platform::Action actFuelRateToggle{"actFuelRateToggle"};
  platform::Action actBattleDamage1{"actBattleDamage1"};
  platform::Action actBattleDamage2{"actBattleDamage2"};
  platform::Action actBattleDamage3{"actBattleDamage3"};
  /// The actions and Keystrokes labels made for the rows that name no members, in table order.
  std::deque<TRowControls> rowControls;

  // Timers, in creation order
  platform::Timer tmrIsCatchCheckNeeded;
  platform::Timer tmrFindNearest;
  platform::Timer tmrCheckForCatch;
  platform::Timer tmrDecel;
  platform::Timer tmrAccel;
  platform::Timer tmrKeystroke;
  platform::Timer tmrLaunchCheck;
  /// What the program is doing, and the one switch of the fast timers.
  TActivity activity{{tmrCheckForCatch, tmrDecel, tmrAccel, tmrLaunchCheck}};
  /// The carrier data: the catch zones and the choice of data file.
  TCarrierData carrierData;
  /// The options of the settings file and their values, with the numbers' controls.
  TOptions options;
  // The numbers' controls on the options page, under their names.
  platform::Label& lblCatapultCutoff = options.NumberControls("CatapultCutoff").caption;
  platform::Label& lblCatapultHoldFactor = options.NumberControls("CatapultHoldFactor").caption;
  platform::Label& lblAccelFactor = options.NumberControls("AccelFactor").caption;
  platform::Label& lblDecelFactor = options.NumberControls("DecelFactor").caption;
  platform::Label& lblTimingResolution = options.NumberControls("TimingResolution").caption;
  platform::Edit& edtCatapultCutoff = options.NumberControls("CatapultCutoff").edit;
  platform::Edit& edtCatapultHoldFactor = options.NumberControls("CatapultHoldFactor").edit;
  platform::Edit& edtAccelFactor = options.NumberControls("AccelFactor").edit;
  platform::Edit& edtDecelFactor = options.NumberControls("DecelFactor").edit;
  platform::Edit& edtTimingResolution = options.NumberControls("TimingResolution").edit;
  platform::UpDown& updwnCatapultCutoff = options.NumberControls("CatapultCutoff").updown;
  platform::UpDown& updwnCatapultHoldFactor = options.NumberControls("CatapultHoldFactor").updown;
  platform::UpDown& updwnAccelFactor = options.NumberControls("AccelFactor").updown;
  platform::UpDown& updwnDecelFactor = options.NumberControls("DecelFactor").updown;
  platform::UpDown& updwnTimingResolution = options.NumberControls("TimingResolution").updown;
  /// The nearest-carrier search, the catch gate, the cable catch and the deceleration, with
  /// their state (NearestZoneIndex, NearestCarrierIdent, MagVarDeg, NearestDistance,
  /// LastArrestEnd).
  TArrest arrest;
  /// The catapult: arming, hold, stroke, and the end of the last stroke (LastLaunchEnd).
  TCatapult catapult;
  /// The hot keys: their slots, the poll and the Keystrokes page (keys from the action table).
  THotKeys hotKeys;

  /// Every control of both windows and every action, in window, page and top-to-bottom order:
  /// what a front end binds, in one loop.
  std::vector<TControlEntry> controls();
  /// The control of that name in that window ("" for any window); null when there is none.
  platform::Control* findControl(std::string_view window, std::string_view name);
  /// Every action, in the order of the action list.
  std::vector<platform::Action*> actions();
  /// Every timer, in creation order.
  std::vector<platform::Timer*> timers();

  platform::EventLoop& loop() { return *services_.loop; }
  platform::Clock& clock() { return services_.loop->clock(); }
  platform::Random& random() { return *services_.random; }
  /// Reports an error as the framework's error box would.
  void showErrorBox(const std::string& text);

 private:
  void wireControls();
  void attachServices();
  void detachServices();
  TFormServices services_;
};
