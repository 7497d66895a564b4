#include <filesystem>
#include <system_error>

#include "cues/cues.h"
#include "cues/lso_call_sounds.h"
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

TCues::TCues(TCuesView view, const platform::SoundPlayerFactory& soundPlayers) : view_(view) {
  auto makePlayer = [&soundPlayers](const char* name) -> std::unique_ptr<platform::SoundPlayer> {
    if (soundPlayers) return soundPlayers(name);
    return std::make_unique<platform::RecordingSoundPlayer>(name, nullptr);
  };
  mplyrCatchSound = makePlayer("mplyrCatchSound");
  mplyrCatapultSound = makePlayer("mplyrCatapultSound");
  mplyrBattleDamage = makePlayer("mplyrBattleDamage");
  mplyrLsoCall = makePlayer("mplyrLsoCall");
}

void TCues::CheckSoundFiles() {
  const std::string& ProgramFolder = view_.ProgramFolder;
  FindAndOpen(*mplyrCatchSound, mplyrCatchSoundFileName, ProgramFolder + "CableCatch.wav");
  FindAndOpen(*mplyrCatapultSound, mplyrCatapultSoundFileName, ProgramFolder + "Catapult.wav");
  view_.lblOtherStatus.setText(SoundFilesStatusText(ProgramFolder, mplyrCatchSoundFileName.empty(),
                                                    mplyrCatapultSoundFileName.empty()));
}

void TCues::PlayCatchSound() {
  if (mplyrCatchSoundFileName.empty()) return;
  if (mplyrCatchSound->play()) view_.lblOtherStatus.setText("Cable catch sound played");
}

void TCues::PlayCatapultSound() {
  if (!catapultSoundPlayed && !mplyrCatapultSoundFileName.empty()) {
    if (mplyrCatapultSound->play()) {
      view_.lblOtherStatus.setText("Catapult sound played");
      catapultSoundPlayed = true;
    }
  }
}

void TCues::PlayDamageSound(uint8_t kind) {
  if (!view_.chkbxDamageSounds.checked()) return;
  const char* file = DamageSoundFileName(kind);
  if (file == nullptr) return;
  // Closing first cuts off a damage sound still playing; the file is looked up by bare name.
  mplyrBattleDamage->close();
  mplyrBattleDamage->setFileName(file);
  if (mplyrBattleDamage->open()) mplyrBattleDamage->play();
}

void TCues::PlayLsoCall(const std::string& callText) {
  if (!view_.chkbxLsoCalls.checked()) return;
  const char* file = LsoCallFileName(callText);
  if (file == nullptr) return;
  // Never over the catch sound.
  if (!mplyrCatchSoundFileName.empty() && mplyrCatchSound->playing()) return;
  const std::string path = view_.ProgramFolder + file;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return;
  mplyrLsoCall->close();
  mplyrLsoCall->setFileName(path);
  if (mplyrLsoCall->open()) mplyrLsoCall->play();
}

void TCues::SwitchSimSound(bool start) {
  if (!view_.chkbxSpecialSoundHandling.checked()) return;
  const uint16_t word = start ? SoundControlStartWord : SoundControlEndWord;
  const bool written = simlink::Batch(view_.link).write(kSoundControl, word).process();
  // Silenced until the end word has reached the simulator: a link lost in between gives the
  // sound back at the next connection.
  SimSoundSilenced = start || !written;
}
