// The substitute simulator's request processing: any block is answered 0 with nothing of it
// applied, or answered 1 with every record inside the block and the offset space, the block
// changed only in the data areas of its reads. The flight model then runs on whatever the
// block wrote.
//
// Input: one byte of milliseconds to advance before the block, then the block's bytes.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "platform/clock.h"
#include "platform/ipc_transport.h"
#include "sim/offset_space.h"
#include "sim/simulator.h"

namespace {

uint32_t loadU32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

// Byte ranges of the block a sound server may write: the data areas of the read records,
// as [begin, end) pairs in block order. Walks the block on its own terms; false when the
// block is not sound.
bool readAreas(const uint8_t* block, size_t size, std::vector<std::pair<size_t, size_t>>& areas) {
  areas.clear();
  size_t pos = 0;
  for (;;) {
    if (pos + 4 > size) return false;
    const uint32_t id = loadU32(block + pos);
    if (id == 0) return true;
    if (id != 1 && id != 2) return false;
    const size_t header = id == 1 ? 16 : 12;
    if (pos + header > size) return false;
    const uint64_t offset = loadU32(block + pos + 4), bytes = loadU32(block + pos + 8);
    if (offset >= sim::kOffsetSpaceSize || offset + bytes > sim::kOffsetSpaceSize) return false;
    if (pos + header + bytes > size) return false;
    if (id == 1 && bytes > 0) areas.emplace_back(pos + header, pos + header + bytes);
    pos += header + bytes;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  platform::VirtualClock clock;
  auto simulator = std::make_unique<sim::Simulator>(clock);
  clock.advanceTo(clock.nowMs() + data[0]);
  std::vector<uint8_t> block(platform::kIpcBlockSize, 0);
  std::memcpy(block.data(), data + 1, std::min(size - 1, block.size()));
  const std::vector<uint8_t> sent = block;
  std::vector<std::pair<size_t, size_t>> areas;
  const bool sound = readAreas(sent.data(), sent.size(), areas);
  if (!sound) areas.clear();  // nothing of a refused block may change

  const std::vector<uint8_t> spaceBefore(
      simulator->server().space().data(),
      simulator->server().space().data() + sim::kOffsetSpaceSize);
  const uint32_t answer = simulator->handleBlock(block.data(), block.size());
  FUZZ_CHECK(answer == (sound ? 1u : 0u));
  // Compared a gap at a time: a byte loop over the whole block made this target slow.
  size_t from = 0;
  for (const auto& [begin, end] : areas) {
    FUZZ_CHECK(std::memcmp(block.data() + from, sent.data() + from, begin - from) == 0);
    from = end;
  }
  FUZZ_CHECK(std::memcmp(block.data() + from, sent.data() + from, block.size() - from) == 0);
  if (!sound) {
    FUZZ_CHECK(std::memcmp(spaceBefore.data(), simulator->server().space().data(),
                           sim::kOffsetSpaceSize) == 0);
  }
  // The model integrates whatever was written (NaN, huge values) without undefined behaviour.
  clock.advanceTo(clock.nowMs() + 250);
  simulator->advanceToNow();
  simulator->publish();
  return 0;
}
