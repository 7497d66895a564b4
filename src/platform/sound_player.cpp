#include "platform/sound_player.h"

namespace platform {

void RecordingSoundPlayer::note(const char* what) {
  SoundEvent e{name_, what, file_};
  if (log_) log_->push_back(e);
  if (report_) report_(e);
}

void RecordingSoundPlayer::setFileName(const std::string& file) {
  file_ = file;
  note("file");
}

bool RecordingSoundPlayer::open() {
  note("open");
  return !failing;
}

void RecordingSoundPlayer::close() { note("close"); }

bool RecordingSoundPlayer::play() {
  note("play");
  return !failing;
}

}  // namespace platform
