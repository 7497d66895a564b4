#include "app/form_main.h"
#include "cues/message_block.h"
#include "simlink/sim_link.h"

namespace {
constexpr uint32_t kMessageTextOffset = 0x3380;
constexpr uint32_t kMessageSecondsOffset = 0x32FA;
}  // namespace

void TFormMain::ShowSimMessage(const std::string& text, int16_t seconds) {
  // The display time is queued only once the text is, so the simulator never shows a stale
  // text for a new time; a refused request or a failed exchange is dropped without a word.
  const auto block = BuildSimMessageBlock(text);
  uint32_t result = 0;
  (void)(SimLinkWrite(kMessageTextOffset, kSimMessageBlockSize, block.data(), result) &&
         SimLinkWrite(kMessageSecondsOffset, sizeof seconds, &seconds, result) &&
         SimLinkProcess(result));
}
