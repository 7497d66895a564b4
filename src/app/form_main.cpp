#include "app/form_main.h"

#include <utility>

TfrmToolbar::TfrmToolbar() = default;

std::vector<platform::SpeedButton*> TfrmToolbar::buttons() {
  return {&btnToolbarToggle, &btnReset,         &btnManualOverride, &btnShowStatus,
          &btnCatapultArm,   &btnFuelLoad,      &btnFuelOffload,    &btnToggleFuelRate,
          &btnBattleDamage1, &btnBattleDamage2, &btnBattleDamage3};
}

TFormMain::TFormMain(TFormServices services)
    : ownLink(services.link != nullptr
                  ? nullptr
                  : std::make_unique<simlink::Link>(nullptr, &services.loop->clock())),
      link(services.link != nullptr ? *services.link : *ownLink),
      cues({chkbxDamageSounds, chkbxSpecialSoundHandling, lblOtherStatus, ProgramFolder, link},
           services.soundPlayers),
      battleDamage({btnManualDisable, chkbxDamageSounds, cues, *services.random,
                    services.loop->clock(), link}),
      trapLog({chkbxTrapLog, lblOtherStatus, cues, services.loop->clock(), ProgramFolder}),
      tmrIsCatchCheckNeeded(*services.loop, "tmrIsCatchCheckNeeded", 1000, true),
      tmrFindNearest(*services.loop, "tmrFindNearest", 15000, false),
      tmrCheckForCatch(*services.loop, "tmrCheckForCatch", 50, false),
      tmrDecel(*services.loop, "tmrDecel", 10, false),
      tmrAccel(*services.loop, "tmrAccel", 5, false),
      tmrKeystroke(*services.loop, "tmrKeystroke", 250, false),
      tmrLaunchCheck(*services.loop, "tmrLaunchCheck", 7, false),
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
  tmrKeystroke.onTimer = [this] { tmrKeystrokeTimer(); };
  tmrLaunchCheck.onTimer = [this] { tmrLaunchCheckTimer(); };

  actResetProgram.onExecute = [this] { actResetProgramExecute(); };
  actManualOverride.onExecute = [this] { actManualOverrideExecute(); };
  actShowStatus.onExecute = [this] { actShowStatusExecute(); };
  actCatapultArm.onExecute = [this] { actCatapultArmExecute(); };
  actFuelLoad.onExecute = [this] { fuelTransfer.actFuelLoadExecute(); };
  actFuelOFFload.onExecute = [this] { fuelTransfer.actFuelOFFloadExecute(); };
  actFuelRateToggle.onExecute = [this] { fuelTransfer.actFuelRateToggleExecute(); };
  actBattleDamage1.onExecute = [this] { battleDamage.actBattleDamage1Execute(); };
  actBattleDamage2.onExecute = [this] { battleDamage.actBattleDamage2Execute(); };
  actBattleDamage3.onExecute = [this] { battleDamage.actBattleDamage3Execute(); };

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
  rdgrpCtrlKeys.onClick = [this] { rdgrpCtrlKeysClick(); };

  frmToolbar.btnToolbarToggle.onClick = [this] { btnToolbarToggleClick(); };
  frmToolbar.btnReset.onClick = [this] { actResetProgram.execute(); };
  frmToolbar.btnManualOverride.groupIndex = 1;
  frmToolbar.btnManualOverride.allowAllUp = true;
  frmToolbar.btnManualOverride.onClick = [this] { btnManualOverrideClick(); };
  frmToolbar.btnShowStatus.onClick = [this] { actShowStatus.execute(); };
  frmToolbar.btnCatapultArm.onClick = [this] { actCatapultArm.execute(); };
  frmToolbar.btnFuelLoad.onClick = [this] { actFuelLoad.execute(); };
  frmToolbar.btnFuelOffload.onClick = [this] { actFuelOFFload.execute(); };
  frmToolbar.btnToggleFuelRate.onClick = [this] { actFuelRateToggle.execute(); };
  frmToolbar.btnBattleDamage1.onClick = [this] { actBattleDamage1.execute(); };
  frmToolbar.btnBattleDamage2.onClick = [this] { actBattleDamage2.execute(); };
  frmToolbar.btnBattleDamage3.onClick = [this] { actBattleDamage3.execute(); };
  frmToolbar.frmToolbar.setVisible(false);
}

std::vector<platform::Action*> TFormMain::actions() {
  return {&actResetProgram,  &actManualOverride, &actShowStatus,     &actCatapultArm,
          &actFuelLoad,      &actFuelOFFload,    &actFuelRateToggle, &actBattleDamage1,
          &actBattleDamage2, &actBattleDamage3};
}

std::vector<platform::Timer*> TFormMain::timers() {
  return {&tmrIsCatchCheckNeeded, &tmrFindNearest, &tmrCheckForCatch, &tmrDecel, &tmrAccel,
          &tmrKeystroke,          &tmrLaunchCheck};
}

void TFormMain::showErrorBox(const std::string& text) {
  if (services_.errorBox) services_.errorBox(text);
}
