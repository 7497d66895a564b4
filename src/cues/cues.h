#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/controls.h"
#include "platform/sound_player.h"
#include "simlink/sim_link.h"

/// What the cues see of the window: the options they obey, the status line they write and the
/// folder the two fixed sound files and the LSO's calls are looked for in, and the link to the
/// simulator.
struct TCuesView {
  const platform::CheckBox& chkbxDamageSounds;
  const platform::CheckBox& chkbxSpecialSoundHandling;
  /// Speak the LSO's calls.
  const platform::CheckBox& chkbxLsoCalls;
  platform::Label& lblOtherStatus;
  /// Folder of the program file, with its trailing delimiter (set once the window is created).
  const std::string& ProgramFolder;
  /// The window's link to the simulator.
  simlink::Link& link;
};

/// Messages shown inside the simulator and the program's sounds: the four wave players, the
/// sound files found for them and the simulator's own sound switched off during a trap or launch.
/// Simulator requests go through the window's link (simlink::Batch on view.link).
class TCues {
 public:
  /// Creates the players mplyrCatchSound, mplyrCatapultSound, mplyrBattleDamage and
  /// mplyrLsoCall, in that order, from soundPlayers (recording players that report nowhere when
  /// it is empty).
  TCues(TCuesView view, const platform::SoundPlayerFactory& soundPlayers);

  /// Shows text (first 100 characters) inside the simulator for seconds; failures are silent.
  void ShowSimMessage(const std::string& text, int16_t seconds);
  /// Looks for the two fixed sound files and reports in lblOtherStatus.
  void CheckSoundFiles();
  void PlayCatchSound();
  /// Plays the catapult sound once per arming (catapultSoundPlayed).
  void PlayCatapultSound();
  void PlayDamageSound(uint8_t kind);
  /// Speaks an LSO call (one of the groove's call texts) when chkbxLsoCalls is checked: plays
  /// the call's file from the program folder, cutting off the call before it. Silent when the
  /// file is missing or will not play, for a text that is no call, and while the catch sound is
  /// still playing: the call is dropped then, not played late, since a late correction would
  /// be wrong by the time it is heard (the message still shows it).
  void PlayLsoCall(const std::string& callText);
  /// Special sound handling: start = true at a trap or launch, false at its end.
  void SwitchSimSound(bool start);

  /// File names given to the catch and catapult players; empty means the sound is unavailable.
  std::string mplyrCatchSoundFileName;
  std::string mplyrCatapultSoundFileName;
  /// The catapult sound was played since the catapult was last armed or disarmed.
  bool catapultSoundPlayed = false;
  /// The two sound-control words: written at the end (1) and at the start (0) of a trap or launch.
  uint16_t SoundControlEndWord = 1;
  uint16_t SoundControlStartWord = 0;
  /// The start word was written and the end word has not reached the simulator yet.
  bool SimSoundSilenced = false;

  // hidden wave players
  std::unique_ptr<platform::SoundPlayer> mplyrCatchSound;
  std::unique_ptr<platform::SoundPlayer> mplyrCatapultSound;
  std::unique_ptr<platform::SoundPlayer> mplyrBattleDamage;
  std::unique_ptr<platform::SoundPlayer> mplyrLsoCall;

 private:
  TCuesView view_;
};
