#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

/// A wave-sound player: set the file, open, play without waiting, close. Failures come back as
/// false; the program never shows them to the user.
class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  virtual void setFileName(const std::string& file) = 0;
  virtual bool open() = 0;
  virtual void close() = 0;
  /// Starts playing and returns at once.
  virtual bool play() = 0;
  /// Whether the sound last played is still being heard; false when the player cannot tell.
  virtual bool playing() { return false; }
};

/// One event of a recording player, for tests and the headless front end.
struct SoundEvent {
  std::string player;  // the player's name
  std::string what;    // "file", "open", "close" or "play"
  std::string file;    // the file name in force
};

/// A player that plays nothing and records (or reports) what it was asked to do.
class RecordingSoundPlayer final : public SoundPlayer {
 public:
  RecordingSoundPlayer(std::string name, std::vector<SoundEvent>* log,
                       std::function<void(const SoundEvent&)> report = {})
      : name_(std::move(name)), log_(log), report_(std::move(report)) {}
  void setFileName(const std::string& file) override;
  bool open() override;
  void close() override;
  bool play() override;
  bool playing() override { return stillPlaying; }
  /// Makes open() and play() fail, as with a missing or broken sound file.
  bool failing = false;
  /// What playing() answers: the sound last played is still being heard.
  bool stillPlaying = false;

 private:
  void note(const char* what);
  std::string name_;
  std::string file_;
  std::vector<SoundEvent>* log_;
  std::function<void(const SoundEvent&)> report_;
};

/// The system's wave-sound player: winmm's MCI "waveaudio" device on Windows, one alias per
/// player; elsewhere a player that plays nothing but fails, like the real one, on a file it
/// cannot read. name becomes part of the device alias.
std::unique_ptr<SoundPlayer> makeSystemSoundPlayer(const std::string& name);

/// Creates the program's players by name ("mplyrCatchSound" and so on).
using SoundPlayerFactory = std::function<std::unique_ptr<SoundPlayer>(const std::string& name)>;

}  // namespace platform
