#include "cues/cues.h"
#include "cues/message_block.h"
#include "simlink/batch.h"

namespace {
using simlink::kMessageText;
using simlink::kMessageTime;
static_assert(kMessageText.size == kSimMessageBlockSize);
}  // namespace

void TCues::ShowSimMessage(const std::string& text, int16_t seconds) {
  // The display time is queued only once the text is, so the simulator never shows a stale
  // text for a new time; a refused request or a failed exchange is dropped without a word.
  const auto block = BuildSimMessageBlock(text);
  (void)simlink::Batch(view_.link)
      .write(kMessageText, block)
      .write(kMessageTime, seconds)
      .process();
}
