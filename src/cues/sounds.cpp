#include <filesystem>
#include <system_error>

#include "app/form_main.h"
#include "cues/message_block.h"
#include "simlink/batch.h"

namespace {

using simlink::kSoundControl;

/// Gives player the file folder + name and opens it, unless it already has a file; the file
/// name stays empty when the file is missing or will not open.
void FindAndOpen(platform::SoundPlayer& player, std::string& fileName, const std::string& path) {
  if (!fileName.empty()) return;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return;
  player.setFileName(path);
  fileName = path;
  if (!player.open()) {
    fileName.clear();
    player.setFileName("");
  }
}

}  // namespace

void TFormMain::CheckSoundFiles() {
  FindAndOpen(*mplyrCatchSound, mplyrCatchSoundFileName, ProgramFolder + "CableCatch.wav");
  FindAndOpen(*mplyrCatapultSound, mplyrCatapultSoundFileName, ProgramFolder + "Catapult.wav");
  lblOtherStatus.setText(SoundFilesStatusText(ProgramFolder, mplyrCatchSoundFileName.empty(),
                                              mplyrCatapultSoundFileName.empty()));
}

void TFormMain::PlayCatchSound() {
  if (mplyrCatchSoundFileName.empty()) return;
  if (mplyrCatchSound->play()) lblOtherStatus.setText("Cable catch sound played");
}

void TFormMain::PlayCatapultSound() {
  if (!catapultSoundPlayed && !mplyrCatapultSoundFileName.empty()) {
    if (mplyrCatapultSound->play()) {
      lblOtherStatus.setText("Catapult sound played");
      catapultSoundPlayed = true;
    }
  }
  if (chkbxCatSmoke.checked()) SetSmoke(true);
}

void TFormMain::PlayDamageSound(uint8_t kind) {
  if (!chkbxDamageSounds.checked()) return;
  const char* file = DamageSoundFileName(kind);
  if (file == nullptr) return;
  // Closing first cuts off a damage sound still playing; the file is looked up by bare name.
  mplyrBattleDamage->close();
  mplyrBattleDamage->setFileName(file);
  if (mplyrBattleDamage->open()) mplyrBattleDamage->play();
}

void TFormMain::SwitchSimSound(bool start) {
  if (!chkbxSpecialSoundHandling.checked()) return;
  const uint16_t word = start ? SoundControlStartWord : SoundControlEndWord;
  const bool written = simlink::Batch().write(kSoundControl, word).process();
  // Silenced until the end word has reached the simulator: a link lost in between gives the
  // sound back at the next connection.
  SimSoundSilenced = start || !written;
}
