#include "app/form_main.h"
#include "cues/message_block.h"
#include "simlink/offsets.h"
#include "simlink/sim_link.h"

namespace {
using simlink::kMessageText;
using simlink::kMessageTime;
static_assert(kMessageText.size == kSimMessageBlockSize);
}  // namespace

void TFormMain::ShowSimMessage(const std::string& text, int16_t seconds) {
  // The display time is queued only once the text is, so the simulator never shows a stale
  // text for a new time; a refused request or a failed exchange is dropped without a word.
  const auto block = BuildSimMessageBlock(text);
  uint32_t result = 0;
  (void)(SimLinkWrite(kMessageText.offset, kMessageText.size, block.data(), result) &&
         SimLinkWrite(kMessageTime.offset, kMessageTime.size, &seconds, result) &&
         SimLinkProcess(result));
}
