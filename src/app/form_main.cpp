#include "app/form_main.h"

#include <utility>

#include "app/action_table.h"

TfrmToolbar::TfrmToolbar() = default;

std::vector<platform::SpeedButton*> TfrmToolbar::buttons() {
  std::vector<platform::SpeedButton*> list{&btnToolbarToggle};
  for (const TActionRow& row : ActionTable())
    if (row.ToolbarButton.Button) list.push_back(&(this->*row.ToolbarButton.Button));
  return list;
}

TFormMain::TFormMain(TFormServices services)
    : cues({chkbxDamageSounds, chkbxSpecialSoundHandling, lblOtherStatus, ProgramFolder},
           services.soundPlayers),
      battleDamage(
          {btnManualDisable, chkbxDamageSounds, cues, *services.random, services.loop->clock()}),
      trapLog({chkbxTrapLog, lblOtherStatus, cues, services.loop->clock(), ProgramFolder}),
      tmrIsCatchCheckNeeded(*services.loop, "tmrIsCatchCheckNeeded", 1000, true),
      tmrFindNearest(*services.loop, "tmrFindNearest", 15000, false),
      tmrCheckForCatch(*services.loop, "tmrCheckForCatch", 50, false),
      tmrDecel(*services.loop, "tmrDecel", 10, false),
      tmrAccel(*services.loop, "tmrAccel", 5, false),
      tmrKeystroke(*services.loop, "tmrKeystroke", 250, false),
      tmrLaunchCheck(*services.loop, "tmrLaunchCheck", 7, false),
      hotKeys({rdgrpCtrlKeys, tmrKeystroke, tmrFindNearest, activity, services.loop->clock(),
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
  tmrIsCatchCheckNeeded.onTimer = [this] { tmrIsCatchCheckNeededTimer(); };
  tmrFindNearest.onTimer = [this] { tmrFindNearestTimer(); };
  tmrCheckForCatch.onTimer = [this] { tmrCheckForCatchTimer(); };
  tmrDecel.onTimer = [this] { tmrDecelTimer(); };
  tmrAccel.onTimer = [this] { tmrAccelTimer(); };
  tmrKeystroke.onTimer = [this] { hotKeys.tmrKeystrokeTimer(); };
  tmrLaunchCheck.onTimer = [this] { tmrLaunchCheckTimer(); };

  // Each action runs its handler; its toolbar button executes it, or does what its row says.
  for (const TActionRow& row : ActionTable()) {
    platform::Action& action = this->*row.Action;
    action.onExecute = [this, run = row.OnExecute] { run(*this); };
    if (!row.ToolbarButton.Button) continue;
    platform::SpeedButton& button = frmToolbar.*row.ToolbarButton.Button;
    if (row.ToolbarButton.OnClick)
      button.onClick = [this, click = row.ToolbarButton.OnClick] { click(*this); };
    else
      button.onClick = [&action] { action.execute(); };
  }

  btnReset.onClick = [this] { actResetProgram.execute(); };
  btnToolbar.onClick = [this] { btnToolbarClick(); };
  btnManualDisable.groupIndex = 1;
  btnManualDisable.allowAllUp = true;
  btnManualDisable.onClick = [this] { actManualOverride.execute(); };
  cmbDatFile.onChange = [this] { cmbDatFileChange(); };
  lstboxDatFiles.mask = "*.dat";
  lstboxDatFiles.setVisible(false);

  updwnCatapultCutoff.associate = &edtCatapultCutoff;
  updwnCatapultHoldFactor.associate = &edtCatapultHoldFactor;
  updwnAccelFactor.associate = &edtAccelFactor;
  updwnDecelFactor.associate = &edtDecelFactor;
  updwnTimingResolution.associate = &edtTimingResolution;
  edtCatapultCutoff.setText(options::DefaultText(options::CatapultCutoff));
  edtCatapultHoldFactor.setText(options::DefaultText(options::CatapultHold));
  edtAccelFactor.setText(options::DefaultText(options::CatapultAccel));
  edtDecelFactor.setText(options::DefaultText(options::CableCatchAccel));
  edtTimingResolution.setText(options::DefaultText(options::TimingResolution));
  // Handlers are attached after the initial texts so creation runs no setter.
  edtDecelFactor.onChange = [this] { edtDecelFactorChange(); };
  edtAccelFactor.onChange = [this] { edtAccelFactorChange(); };
  edtCatapultCutoff.onChange = [this] { edtCatapultCutoffChange(); };
  edtCatapultHoldFactor.onChange = [this] { edtCatapultHoldFactorChange(); };
  edtTimingResolution.onChange = [this] { edtTimingResolutionChange(); };
  rdgrpCtrlKeys.onClick = [this] { hotKeys.rdgrpCtrlKeysClick(); };

  frmToolbar.btnToolbarToggle.onClick = [this] { btnToolbarToggleClick(); };
  frmToolbar.btnManualOverride.groupIndex = 1;
  frmToolbar.btnManualOverride.allowAllUp = true;
  frmToolbar.frmToolbar.setVisible(false);
}

std::vector<platform::Action*> TFormMain::actions() {
  std::vector<platform::Action*> list;
  for (const TActionRow& row : ActionTable()) list.push_back(&(this->*row.Action));
  return list;
}

std::vector<platform::Timer*> TFormMain::timers() {
  return {&tmrIsCatchCheckNeeded, &tmrFindNearest, &tmrCheckForCatch, &tmrDecel, &tmrAccel,
          &tmrKeystroke,          &tmrLaunchCheck};
}

void TFormMain::showErrorBox(const std::string& text) {
  if (services_.errorBox) services_.errorBox(text);
}
