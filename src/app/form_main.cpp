#include "app/form_main.h"

#include <utility>

#include "app/action_table.h"

namespace {

std::span<const TActionRow> RowsOf(const TFormServices& services) {
  return services.actionTable.empty() ? ActionTable() : services.actionTable;
}

/// The action and label of each row that names no members, in table order.
std::deque<TRowControls> MakeRowControls(std::span<const TActionRow> rows) {
  std::deque<TRowControls> made;
  for (const TActionRow& row : rows)
    if (!row.Action.Member) made.emplace_back(row);
  return made;
}

}  // namespace

TfrmToolbar::TfrmToolbar(std::span<const TActionRow> actionRows) : actionRows(actionRows) {
  for (const TActionRow& row : actionRows)
    if (!row.Action.Member && row.ToolbarButton.Caption) rowButtons.emplace_back(row);
}

std::vector<platform::SpeedButton*> TfrmToolbar::buttons() {
  std::vector<platform::SpeedButton*> list{&btnToolbarToggle};
  for (const TActionRow& row : actionRows)
    if (platform::SpeedButton* button = ButtonOf(*this, row)) list.push_back(button);
  return list;
}

TFormMain::TFormMain(TFormServices services)
    : ownLink(services.link != nullptr
                  ? nullptr
                  : std::make_unique<simlink::Link>(nullptr, &services.loop->clock())),
      link(services.link != nullptr ? *services.link : *ownLink),
      cues({chkbxDamageSounds, chkbxSpecialSoundHandling, chkbxLsoCalls, lblOtherStatus,
            ProgramFolder, link},
           services.soundPlayers),
      battleDamage({btnManualDisable, chkbxDamageSounds, cues, *services.random,
                    services.loop->clock(), link}),
      trapLog({chkbxTrapLog, lblOtherStatus, cues, services.loop->clock(), ProgramFolder}),
      frmToolbar(RowsOf(services)),
      actionRows(RowsOf(services)),
      rowControls(MakeRowControls(actionRows)),
      tmrIsCatchCheckNeeded(*services.loop, "tmrIsCatchCheckNeeded", 1000, true),
      tmrFindNearest(*services.loop, "tmrFindNearest", 15000, false),
      tmrCheckForCatch(*services.loop, "tmrCheckForCatch", 50, false),
      tmrDecel(*services.loop, "tmrDecel", 10, false),
      tmrAccel(*services.loop, "tmrAccel", 5, false),
      tmrKeystroke(*services.loop, "tmrKeystroke", 250, false),
      tmrLaunchCheck(*services.loop, "tmrLaunchCheck", 7, false),
      carrierData({link, cmbDatFile, lstboxDatFiles, lblNumOfCarriersLoaded, lblConnectionInfo,
                   Screen, activity, tmrIsCatchCheckNeeded, tmrFindNearest, tmrKeystroke,
                   services.loop->clock(), ProgramFolder, [this] { hotKeys.ReleaseHotKeys(); },
                   [this](bool loadDefaults) { ResetState(loadDefaults); },
                   [this] { EnableLoadedControls(); }, [this] { arrest.tmrFindNearestTimer(); }}),
      options({chkbxShowDisableReminders,
               chkbxSpecialSoundHandling,
               chkbxDetectTailhook,
               chkbxCatSmoke,
               chkbxDamageSounds,
               chkbxShowCablesActiveMsg,
               chkbxTrapLog,
               chkbxLsoCalls,
               chkbxRealisticGear,
               rdgrpCtrlKeys,
               rdgrpFuelTransferRate,
               FormMain,
               frmToolbar.frmToolbar,
               tmrDecel,
               tmrAccel,
               cmbDatFile,
               lblConnectionInfo,
               carrierData,
               ProgramFolder,
               [this](const std::string& text) { showErrorBox(text); },
               [this] { hotKeys.rdgrpCtrlKeysClick(); },
               edition::HasTailhookOption}),
      arrest({link,
              lblFlightStatus,
              lblCableCatchStatus,
              lblActivelyCheckingStatus,
              lblNearestCarrier,
              lblCurrentMagVar,
              chkbxShowCablesActiveMsg,
              chkbxShowDisableReminders,
              chkbxDetectTailhook,
              chkbxTrapLog,
              chkbxRealisticGear,
              btnManualDisable,
              tmrIsCatchCheckNeeded,
              tmrFindNearest,
              tmrKeystroke,
              activity,
              cues,
              trapLog,
              fuelTransfer,
              services.loop->clock(),
              [this] { return carrierData.CatchZones.get(); },
              options,
              [this] { return catapult.LastLaunchEnd; },
              [this](bool announce) { catapult.EndLaunch(announce); },
              [this] { actResetProgram.execute(); },
              [this] {
                StopProgram();
                ResetState(false);
              },
              [this](const std::string& call) {
                cues.ShowSimMessage(call, 3);
                cues.PlayLsoCall(call);
              },
              [this] { board.RebuildBoard(); }}),
      catapult({link, btnManualDisable, chkbxCatSmoke, tmrIsCatchCheckNeeded, tmrFindNearest,
                tmrKeystroke, activity, cues, trapLog, services.loop->clock(),
                // The nearest zone, whose front-left corner is the catapult point.
                [this]() -> const TCatchZoneData* {
                  if (!carrierData.CatchZones || arrest.NearestZoneIndex < 0) return nullptr;
                  const auto index = static_cast<size_t>(arrest.NearestZoneIndex);
                  if (index >= carrierData.CatchZones->size()) return nullptr;
                  return (*carrierData.CatchZones)[index].get();
                },
                options, chkbxRealisticGear, lblOtherStatus, [this] { return arrest.MagVarDeg; }}),
      hotKeys({link, rdgrpCtrlKeys, tmrKeystroke, tmrFindNearest, activity, services.loop->clock(),
               lblConnectionInfo, btnManualDisable, frmToolbar.btnManualOverride,
               HotKeysOf(*this)}),
      services_(std::move(services)) {
  wireControls();
  attachServices();
}

TFormMain::~TFormMain() { detachServices(); }

void TFormMain::wireControls() {
  // The window is shown by its front end once creation is complete; until then the settings
  // loader sees it hidden and registers the hot keys only once.
  FormMain.setVisible(false);
  tmrIsCatchCheckNeeded.onTimer = [this] { arrest.tmrIsCatchCheckNeededTimer(); };
  tmrFindNearest.onTimer = [this] { arrest.tmrFindNearestTimer(); };
  tmrCheckForCatch.onTimer = [this] { arrest.tmrCheckForCatchTimer(); };
  tmrDecel.onTimer = [this] { arrest.tmrDecelTimer(); };
  tmrAccel.onTimer = [this] { catapult.tmrAccelTimer(); };
  tmrKeystroke.onTimer = [this] { hotKeys.tmrKeystrokeTimer(); };
  tmrLaunchCheck.onTimer = [this] { catapult.tmrLaunchCheckTimer(); };

  // Each action runs its handler; its toolbar button executes it, or does what its row says.
  for (const TActionRow& row : actionRows) {
    platform::Action& action = ActionOf(*this, row);
    action.onExecute = [this, run = row.OnExecute] { run(*this); };
    platform::SpeedButton* button = ButtonOf(frmToolbar, row);
    if (!button) continue;
    if (row.ToolbarButton.OnClick)
      button->onClick = [this, click = row.ToolbarButton.OnClick] { click(*this); };
    else
      button->onClick = [&action] { action.execute(); };
  }

  btnReset.onClick = [this] { actResetProgram.execute(); };
  btnToolbar.onClick = [this] { btnToolbarClick(); };
  btnManualDisable.groupIndex = 1;
  btnManualDisable.allowAllUp = true;
  btnManualDisable.onClick = [this] { actManualOverride.execute(); };
  cmbDatFile.onChange = [this] { carrierData.cmbDatFileChange(); };
  lstboxDatFiles.mask = "*.dat";
  lstboxDatFiles.setVisible(false);

  // Each option's up-down with its edit field, the default shown, the change handler.
  options.WireControls();
  rdgrpCtrlKeys.onClick = [this] { hotKeys.rdgrpCtrlKeysClick(); };

  frmToolbar.btnToolbarToggle.onClick = [this] { btnToolbarToggleClick(); };
  frmToolbar.btnManualOverride.groupIndex = 1;
  frmToolbar.btnManualOverride.allowAllUp = true;
  frmToolbar.frmToolbar.setVisible(false);
}

std::vector<platform::Action*> TFormMain::actions() {
  std::vector<platform::Action*> list;
  for (const TActionRow& row : actionRows) list.push_back(&ActionOf(*this, row));
  return list;
}

std::vector<platform::Timer*> TFormMain::timers() {
  return {&tmrIsCatchCheckNeeded, &tmrFindNearest, &tmrCheckForCatch, &tmrDecel, &tmrAccel,
          &tmrKeystroke,          &tmrLaunchCheck};
}

void TFormMain::showErrorBox(const std::string& text) {
  if (services_.errorBox) services_.errorBox(text);
}
