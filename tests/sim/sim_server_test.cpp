#include "sim/sim_server.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "block_builder.h"
#include "platform/clock.h"
#include "sim/simulator.h"

namespace {

using simtest::BlockBuilder;

TEST(SimServer, HandshakeDefaultsAndConfiguredValues) {
  platform::VirtualClock clock;
  sim::Simulator s(clock);
  EXPECT_EQ(simtest::readOne<uint32_t>(s, 0x3304), 0x36300000u);
  EXPECT_EQ(simtest::readOne<uint32_t>(s, 0x3308), 0xFADE0007u);

  sim::SimulatorOptions o;
  o.server.fsuipcVersion = 0x28200000;
  o.server.simIndex = 6;
  sim::Simulator t(clock, o);
  EXPECT_EQ(simtest::readOne<uint32_t>(t, 0x3304), 0x28200000u);
  EXPECT_EQ(simtest::readOne<uint32_t>(t, 0x3308), 0xFADE0006u);
}

TEST(SimServer, LibraryVersionWriteDoesNotChangeSimulatorWord) {
  platform::VirtualClock clock;
  sim::Simulator s(clock);
  // Write first, then read in the same block: records apply in order, and the overlap of
  // 0x330A with 0x3308 must not leak into the simulator word.
  BlockBuilder b;
  b.write<uint16_t>(0x330A, 1004);
  size_t sim = b.read(0x3308, 4);
  size_t lib = b.read(0x330A, 2);
  ASSERT_EQ(s.handleBlock(b.finish(), b.size()), 1u);
  EXPECT_EQ(b.get<uint32_t>(sim), 0xFADE0007u);
  EXPECT_EQ(b.get<uint16_t>(lib), 0xFADEu);
  EXPECT_EQ(s.server().clientLibraryVersion(), 1004);
  // A client writing the version words themselves changes nothing either.
  simtest::writeOne<uint32_t>(s, 0x3304, 0);
  simtest::writeOne<uint32_t>(s, 0x3308, 0x12345678);
  EXPECT_EQ(simtest::readOne<uint32_t>(s, 0x3304), 0x36300000u);
  EXPECT_EQ(simtest::readOne<uint32_t>(s, 0x3308), 0xFADE0007u);
}

TEST(SimServer, RecordsApplyInOrder) {
  platform::VirtualClock clock;
  sim::Simulator s(clock);
  BlockBuilder b;
  size_t before = b.read(0x6000, 4);
  b.write<uint32_t>(0x6000, 0xAABBCCDD);
  size_t after = b.read(0x6000, 4);
  b.write<uint32_t>(0x6000, 0x11223344);
  ASSERT_EQ(s.handleBlock(b.finish(), b.size()), 1u);
  EXPECT_EQ(b.get<uint32_t>(before), 0u);
  EXPECT_EQ(b.get<uint32_t>(after), 0xAABBCCDDu);
  EXPECT_EQ(s.server().space().get<uint32_t>(0x6000), 0x11223344u);
}

TEST(SimServer, RelayWithoutSimulatorAnswersZeros) {
  platform::VirtualClock clock;
  sim::SimulatorOptions o;
  o.server.relayNoSim = true;
  sim::Simulator s(clock, o);
  BlockBuilder b;
  b.write<uint16_t>(0x330A, 1004);
  size_t v = b.read(0x3304, 4);
  size_t i = b.read(0x3308, 4);
  size_t spd = b.read(0x3090, 8);
  // Fill the data areas with garbage to see that the relay zeroes them.
  std::memset(b.bytes().data() + v, 0xEE, 4);
  std::memset(b.bytes().data() + i, 0xEE, 4);
  std::memset(b.bytes().data() + spd, 0xEE, 8);
  EXPECT_EQ(s.handleBlock(b.finish(), b.size()), 1u);
  EXPECT_EQ(b.get<uint32_t>(v), 0u);
  EXPECT_EQ(b.get<uint32_t>(i), 0u);
  EXPECT_EQ(b.get<double>(spd), 0.0);
  EXPECT_FALSE(s.server().handshakeDone());
  // A malformed block is still refused.
  uint8_t bad[8] = {7, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(s.handleBlock(bad, sizeof bad), 0u);
}

// Each case builds a block that must be refused as a whole: the write at its start must not
// reach the offset space.
struct MalformedCase {
  const char* name;
  std::function<void(BlockBuilder&)> tail;  // appended after a good write of 0x6100
  size_t blockSize;                         // 0 = the full 0x8000
};

TEST(SimServer, MalformedBlocksAreRefusedWithoutApplyingAnything) {
  auto raw = [](std::initializer_list<uint32_t> list) {
    return [words = std::vector<uint32_t>(list)](BlockBuilder& b) {
      for (uint32_t w : words) b.put(w);
    };
  };
  const MalformedCase cases[] = {
      {"unknown identifier", raw({3, 0x6000, 4, 0, 0}), 0},
      {"identifier with only a low byte of zero", raw({0x100, 0, 0}), 0},
      {"read past the offset space", raw({1, 0xFFFE, 4, 0, 0, 0}), 0},
      {"write past the offset space", raw({2, 0xFFFF, 2, 0, 0}), 0},
      {"offset beyond the space", raw({1, 0x10000, 0, 0, 0}), 0},
      {"size wraps the offset", raw({1, 0x10, 0xFFFFFFF8, 0, 0}), 0},
      {"huge size", raw({2, 0, 0xFFFFFFFF, 0}), 0},
      {"record beyond the block", raw({2, 0x6000, 0x7FF0}), 0},
      {"no terminator in the block", raw({}), 30},
      {"header cut by the block end", raw({1, 0x6000}), 38},
      {"terminator cut by the block end", raw({}), 32},
  };
  for (const MalformedCase& c : cases) {
    SCOPED_TRACE(c.name);
    platform::VirtualClock clock;
    sim::Simulator s(clock);
    BlockBuilder b;
    b.write<uint32_t>(0x6100, 0x5A5A5A5A);  // 16 bytes
    b.write<uint16_t>(0x330A, 77);          // 14 bytes
    c.tail(b);
    size_t size = c.blockSize ? c.blockSize : b.size();
    if (c.blockSize == 0) b.put(0);  // a terminator after the bad record: still refused
    EXPECT_EQ(s.handleBlock(b.bytes().data(), size), 0u);
    EXPECT_EQ(s.server().space().get<uint32_t>(0x6100), 0u);
    EXPECT_EQ(s.server().clientLibraryVersion(), 0);
    EXPECT_EQ(s.server().blocksRefused(), 1u);
  }
  platform::VirtualClock clock;
  sim::Simulator s(clock);
  EXPECT_EQ(s.handleBlock(nullptr, 0), 0u);
  uint8_t tiny[2] = {0, 0};
  EXPECT_EQ(s.handleBlock(tiny, sizeof tiny), 0u);
}

TEST(SimServer, BoundaryRecordsAreAccepted) {
  platform::VirtualClock clock;
  sim::Simulator s(clock);
  BlockBuilder b;
  size_t last = b.read(0xFFFC, 4);  // ends exactly at the top of the space
  b.read(0x1234, 0);                // an empty read
  b.write<uint8_t>(0xFFFF, 9);
  EXPECT_EQ(s.handleBlock(b.finish(), b.size()), 1u);
  EXPECT_EQ(b.get<uint32_t>(last), 0u);
  EXPECT_EQ(s.server().space().get<uint8_t>(0xFFFF), 9);
  // A block that is nothing but the terminator is sound.
  uint8_t empty[4] = {0, 0, 0, 0};
  EXPECT_EQ(s.handleBlock(empty, sizeof empty), 1u);
}

TEST(SimServer, HooksRunBeforeReadsAndAfterWrites) {
  platform::VirtualClock clock;
  sim::SimServer server(clock);
  int reads = 0;
  uint32_t seen = 0;
  server.onRead(0x7000, 4, [&](uint32_t, uint32_t) {
    ++reads;
    server.space().set<uint32_t>(0x7000, 42);
  });
  server.onWrite(0x7100, 4,
                 [&](uint32_t, uint32_t) { seen = server.space().get<uint32_t>(0x7100); });
  BlockBuilder b;
  size_t v = b.read(0x6FFE, 4);  // overlaps the hooked range by two bytes
  b.write<uint32_t>(0x7100, 5);
  b.read(0x7004, 4);  // outside: no hook
  ASSERT_EQ(server.handleBlock(b.finish(), b.size()), 1u);
  EXPECT_EQ(reads, 1);
  EXPECT_EQ(b.get<uint32_t>(v), 42u << 16);
  EXPECT_EQ(seen, 5u);
}

}  // namespace
