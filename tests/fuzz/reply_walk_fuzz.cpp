// The link's reply walk: whatever the server leaves in the 0x8000-byte block after a queued
// batch, SimLinkProcess gives a result code, writes no byte outside the destinations and
// reads nothing outside the block. Read destinations are heap blocks of exactly their size,
// so the address sanitizer sees any write past them.
//
// Input: the batch (a count byte, then two bytes per record: kind and size), four bytes of the
// server's answer, then the bytes the server writes over the block from its start.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "platform/clock.h"
#include "platform/ipc_loopback.h"
#include "sim/sim_server.h"
#include "simlink/sim_link.h"

namespace {

struct Queued {
  bool read;
  uint32_t size;
  size_t dataPos;
  std::unique_ptr<uint8_t[]> dest;
};

constexpr uint8_t kUntouched = 0xA5;

// A server that answers the handshake properly and, once the link is open, writes the
// fuzzer's reply over the block.
struct Rig {
  platform::VirtualClock clock;
  sim::SimServer server{clock};
  const uint8_t* reply = nullptr;
  size_t replySize = 0;
  uint32_t answer = 1;
  bool open = false;
  platform::LoopbackTransport transport{[this](uint8_t* block, size_t size) -> uint32_t {
    if (!open) return server.handleBlock(block, size);
    std::memcpy(block, reply, replySize < size ? replySize : size);
    return answer;
  }};
  simlink::Link link{&transport, &clock};
  Rig() {
    uint32_t result = 0;
    open = link.SimLinkOpen(0, result);
    FUZZ_CHECK(open);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Rig rig;
  if (size < 1) return 0;
  size_t pos = 0;
  const size_t count = 1 + data[pos++] % 24;
  std::vector<Queued> queue;
  size_t blockPos = 0;
  for (size_t i = 0; i < count && pos + 2 <= size; ++i, pos += 2) {
    const bool read = (data[pos] & 1) != 0;
    // Mostly small values, now and then one that fills much of the block.
    const uint32_t bytes = (data[pos] & 2) ? data[pos + 1] * 97u : data[pos + 1] % 9u;
    Queued q{read, bytes, blockPos + (read ? 16 : 12), nullptr};
    uint32_t result = 0;
    bool queued;
    if (read) {
      q.dest = std::make_unique<uint8_t[]>(bytes);
      std::memset(q.dest.get(), kUntouched, bytes);
      queued = rig.link.SimLinkRead(0x1000, bytes, q.dest.get(), result);
    } else {
      std::vector<uint8_t> value(bytes, 0x5A);
      queued = rig.link.SimLinkWrite(0x1000, bytes, value.data(), result);
    }
    if (!queued) {
      FUZZ_CHECK(result == kSimLinkFull);
      return 0;  // the link dropped the batch
    }
    blockPos = q.dataPos + bytes;
    queue.push_back(std::move(q));
  }
  if (queue.empty()) return 0;
  uint32_t answer = 1;
  if (pos + 4 <= size) {
    std::memcpy(&answer, data + pos, 4);
    pos += 4;
    if (answer & 0x80000000u) answer = 1;  // mostly a good answer, so the walk runs
  }
  rig.answer = answer;
  rig.reply = data + pos;
  rig.replySize = size - pos;

  uint32_t result = 0;
  const bool ok = rig.link.SimLinkProcess(result);
  FUZZ_CHECK(ok == (result == kSimLinkOk));
  FUZZ_CHECK(result == kSimLinkOk || result == kSimLinkBadData);
  // The block as the server left it: the reply over what the client queued.
  for (const Queued& q : queue) {
    if (!q.read) continue;
    for (uint32_t i = 0; i < q.size; ++i) {
      if (!ok) {
        FUZZ_CHECK(q.dest[i] == kUntouched);
      } else {
        const size_t at = q.dataPos + i;
        const uint8_t expected = at < rig.replySize ? rig.reply[at] : 0;
        FUZZ_CHECK(q.dest[i] == expected);
      }
    }
  }
  return 0;
}
