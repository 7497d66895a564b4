#include <windows.h>
#include <mmsystem.h>

#include "platform/sound_player.h"

namespace platform {

namespace {

/// A wave player on winmm's MCI: "open <file> type waveaudio alias <alias>", "play <alias>"
/// without notify (returns at once), "close <alias>". Every failure comes back as false; no
/// error box is ever shown.
class MciSoundPlayer final : public SoundPlayer {
 public:
  explicit MciSoundPlayer(const std::string& name) : alias_("corvane_" + name) {
    for (char& c : alias_)
      if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) c = '_';
  }
  ~MciSoundPlayer() override { close(); }
  void setFileName(const std::string& file) override { file_ = file; }
  bool open() override {
    close();
    // A quote would end the file name early and let the rest be read as MCI words.
    if (file_.empty() || file_.find('"') != std::string::npos) return false;
    open_ = send("open \"" + file_ + "\" type waveaudio alias " + alias_);
    return open_;
  }
  void close() override {
    if (open_) send("close " + alias_);
    open_ = false;
  }
  bool play() override { return open_ && send("play " + alias_ + " from 0"); }
  bool playing() override {
    if (!open_) return false;
    char mode[32] = {};
    const std::string command = "status " + alias_ + " mode";
    return mciSendStringA(command.c_str(), mode, sizeof mode, nullptr) == 0 &&
           lstrcmpiA(mode, "playing") == 0;
  }

 private:
  static bool send(const std::string& command) {
    return mciSendStringA(command.c_str(), nullptr, 0, nullptr) == 0;
  }
  std::string alias_;
  std::string file_;
  bool open_ = false;
};

}  // namespace

std::unique_ptr<SoundPlayer> makeSystemSoundPlayer(const std::string& name) {
  return std::make_unique<MciSoundPlayer>(name);
}

}  // namespace platform
