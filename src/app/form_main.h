#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "activity/activity.h"
#include "app/edition.h"
#include "config/catch_zone.h"
#include "config/option_table.h"
#include "cues/cues.h"
#include "damage/battle_damage.h"
#include "fuel/fuel_transfer_unit.h"
#include "logbook/trap_log.h"
#include "platform/clock.h"
#include "platform/controls.h"
#include "platform/event_loop.h"
#include "platform/random.h"
#include "platform/sound_player.h"
#include "simlink/sim_link.h"

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
};

/// One control as a front end sees it: which window holds it, on which page of pgMain
/// (-1: on none), and its place in that window or page, counted from the top.
struct TControlEntry {
  platform::Control* control;
  const char* window;  // "FormMain", "frmToolbar", or "ActionList1" for the actions
  int page;
  int order;
};

/// The vertical toolbar window; it only forwards to the main window's actions.
class TfrmToolbar {
 public:
  TfrmToolbar();
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

  /// Every button in column order.
  std::vector<platform::SpeedButton*> buttons();
};

/// The main window: owner of the seven timers, the controls, the actions and the program state
/// that no subsystem holds; each subsystem member (cues, battleDamage, trapLog, fuelTransfer) owns
/// its own state.
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
  /// Creates or empties CatchZones.
  bool PrepareCatchZoneList();
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

  // Configuration: carrier data files
  /// Copies the data-file list into cmbDatFile.
  bool FillDatFileList();
  /// Selects "Corvane.dat" and remembers it in the settings file.
  bool SelectDefaultDatFile(platform::IniFile& settings);
  /// Loads the selected data file into CatchZones.
  bool LoadCatchZones();
  /// The user picked another data file.
  void cmbDatFileChange();

  // Configuration: settings and options
  /// Reads "Corvane.INI" and selects the data file.
  bool LoadSettings();
  /// Writes every setting, only in the loaded state.
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

  // Arrest engine
  /// One nearest-carrier search; returns and stores the distance in flat degrees.
  double FindNearestCarrier();
  void tmrFindNearestTimer();
  void tmrIsCatchCheckNeededTimer();
  void tmrCheckForCatchTimer();
  void tmrDecelTimer();
  /// Ends an arrest: deceleration off, search and hot-key poll back, lock-out from now, the
  /// simulator's sound back.
  void EndArrest();
  /// What the nearest-carrier and mag-var labels were last built from, so a search that finds
  /// the same carrier and variation writes no new text.
  std::string nearestLabelIdent;
  double nearestLabelHeading = 0;
  std::string nearestLabelText;
  int16_t magVarLabelRaw = 0;
  std::string magVarLabelText;

  // Catapult
  void actCatapultArmExecute();
  void tmrLaunchCheckTimer();
  void tmrAccelTimer();
  /// Ends an armed or running launch; announce shows "Catapult disarmed".
  void EndLaunch(bool announce);
  /// Switches the aircraft's smoke; the result is whether the exchange succeeded.
  bool SetSmoke(bool on);
  /// The zone whose front-left corner is the catapult point: the nearest zone, or null when
  /// none is known or NearestZoneIndex does not name a loaded zone.
  const TCatchZoneData* CatapultZone() const;

  // Operator input: hot keys
  /// Registers all ten keys in the simulator's hot-key slots.
  void AllocateHotKeys();
  /// Frees every slot held (waits 250 ms through the clock first).
  void ReleaseHotKeys();
  /// Writes value into the first free slot; returns its offset, 0 when none was obtained.
  uint32_t AllocateHotKeySlot(uint32_t value);
  /// Polls the slot of key index k (0..9, order of HotKeyTable) and runs its action.
  void PollHotKey(int k);
  void rdgrpCtrlKeysClick();
  void tmrKeystrokeTimer();
  /// Per key (HotKeyTable order): whether the program still holds the slot in HotKeySlots.
  /// A released slot keeps its offset but is never written again, so it cannot free or
  /// re-register a slot that another client may have taken since.
  std::array<bool, 10> HotKeySlotHeld{};

  // Program state
  std::string ProgramFolder;
  std::unique_ptr<TCatchZoneList> CatchZones;
  uint32_t KeyComboModifier = 0;
  int32_t NearestZoneIndex = -1;
  std::string NearestCarrierIdent;
  double MagVarDeg = 0;
  double NearestDistance = 0;
  /// Monotonic milliseconds at which the last arrest ended; 0 = none since the last reset.
  int64_t LastArrestEnd = 0;
  /// Monotonic milliseconds at which the last catapult stroke ended; 0 = none since the last
  /// reset. The launched aircraft gets the same lock-out from catches as an arrested one.
  int64_t LastLaunchEnd = 0;
  uint8_t LastHotKeyCount = 0;
  std::array<uint32_t, 10> HotKeySlots{};

  // Options
  double CableCatchAccelFactor = options::CableCatchAccel.defaultValue;
  double CatapultAccelFactor = options::CatapultAccel.defaultValue;
  int CatapultCutoffKnots = options::CatapultCutoff.defaultValue;
  double CatapultCutoffFps = options::CatapultCutoff.defaultValue * options::CatapultCutoff.factor;
  int CatapultHoldFactor =
      static_cast<int>(options::CatapultHold.defaultValue * options::CatapultHold.factor);
  int TimingResolutionFactor = options::TimingResolution.defaultValue;

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
  platform::Label lblCatapultCutoff{"lblCatapultCutoff"};
  platform::Label lblCatapultHoldFactor{"lblCatapultHoldFactor"};
  platform::Label lblAccelFactor{"lblAccelFactor"};
  platform::Label lblDecelFactor{"lblDecelFactor"};
  platform::Label lblTimingResolution{"lblTimingResolution"};
  platform::Label lblAccelDecelNote{"lblAccelDecelNote"};
  platform::Edit edtCatapultCutoff{"edtCatapultCutoff"};
  platform::Edit edtCatapultHoldFactor{"edtCatapultHoldFactor"};
  platform::Edit edtAccelFactor{"edtAccelFactor"};
  platform::Edit edtDecelFactor{"edtDecelFactor"};
  platform::Edit edtTimingResolution{"edtTimingResolution"};
  platform::UpDown updwnCatapultCutoff =
      options::MakeUpDown("updwnCatapultCutoff", options::CatapultCutoff);
  platform::UpDown updwnCatapultHoldFactor =
      options::MakeUpDown("updwnCatapultHoldFactor", options::CatapultHold);
  platform::UpDown updwnAccelFactor =
      options::MakeUpDown("updwnAccelFactor", options::CatapultAccel);
  platform::UpDown updwnDecelFactor =
      options::MakeUpDown("updwnDecelFactor", options::CableCatchAccel);
  platform::UpDown updwnTimingResolution =
      options::MakeUpDown("updwnTimingResolution", options::TimingResolution);
  platform::CheckBox chkbxShowCablesActiveMsg{"chkbxShowCablesActiveMsg"};
  platform::CheckBox chkbxDamageSounds{"chkbxDamageSounds"};
  platform::CheckBox chkbxCatSmoke{"chkbxCatSmoke"};
  platform::CheckBox chkbxSpecialSoundHandling{"chkbxSpecialSoundHandling"};
  platform::CheckBox chkbxDetectTailhook{"chkbxDetectTailhook"};
  platform::CheckBox chkbxTrapLog{"chkbxTrapLog"};
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
  platform::Screen Screen;
  TfrmToolbar frmToolbar;

  // Subsystems, each handed only the controls and services it uses (after the controls they
  // refer to)
  /// The fuel transfer and its state (fuelLoading, fuelOffloading, tankCapacity).
  fuel::FuelTransferUnit fuelTransfer{
      {rdgrpFuelTransferRate, lblFuelTransferStatus, btnManualDisable, link,
       [this](const std::string& text, int16_t seconds) { cues.ShowSimMessage(text, seconds); }}};

  // Actions (ActionList1)
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
  /// The running window's link before this window's (temporary bridge, simlink/sim_link.h).
  simlink::Link* previousRunningLink_ = nullptr;
};
