#include <cstdio>

#include "platform/sound_player.h"

namespace platform {

namespace {

/// Plays nothing (there is no wave device here), but reports a missing or unreadable file as
/// the real player would.
class SilentSoundPlayer final : public SoundPlayer {
 public:
  void setFileName(const std::string& file) override { file_ = file; }
  bool open() override {
    std::FILE* f = std::fopen(file_.c_str(), "rb");
    if (f) std::fclose(f);
    open_ = f != nullptr;
    return open_;
  }
  void close() override { open_ = false; }
  bool play() override { return open_; }

 private:
  std::string file_;
  bool open_ = false;
};

}  // namespace

std::unique_ptr<SoundPlayer> makeSystemSoundPlayer(const std::string&) {
  return std::make_unique<SilentSoundPlayer>();
}

}  // namespace platform
