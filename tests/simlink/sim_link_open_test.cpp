#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "simlink/link_fixture.h"

namespace {

using Server = platform::LoopbackTransport::Server;

TEST_F(LinkTest, OpenShakesHandsOnceAndKeepsSimulatorIndex) {
  EXPECT_EQ(open(), 0u);
  EXPECT_TRUE(link.SimLinkIsOpen());
  EXPECT_EQ(transport.lastMappingName(), "FSASMLIB:IPC:1A2C:1");
  EXPECT_EQ(link.SimLinkServerVersion, kGoodVersion);
  EXPECT_EQ(link.SimLinkSimIndex, 7u);
  EXPECT_EQ(server.libraryVersionWrites, 1);
  EXPECT_EQ(server.libraryVersion, 1004);
  EXPECT_EQ(transport.batchCount(), 1);
  EXPECT_EQ(clock.nowMs(), 100);  // the wait follows even a pass that got both values
}

TEST_F(LinkTest, SecondOpenIsRefusedAndFirstLinkKeepsWorking) {
  ASSERT_EQ(open(), 0u);
  EXPECT_EQ(open(), 1u);
  EXPECT_TRUE(link.SimLinkIsOpen());
  uint32_t version = 0, result = 99;
  ASSERT_TRUE(link.SimLinkRead(0x3304, 4, &version, result));
  EXPECT_EQ(process(), 0u);
  EXPECT_EQ(version, kGoodVersion);
}

struct OpenFailure {
  const char* name;
  std::function<void(LinkTest&)> setUp;
  uint32_t requiredIndex;
  uint32_t expected;
};

TEST_F(LinkTest, EveryOpenFailureLeavesTheLinkClosedWithNothingHeld) {
  const std::vector<OpenFailure> cases = {
      {"no server window", [](LinkTest& t) { t.transport.setServer(Server::None); }, 0, 2},
      {"registration", [](LinkTest& t) { t.transport.failRegistration(true); }, 0, 3},
      {"atom", [](LinkTest& t) { t.transport.failAtom(true); }, 0, 4},
      {"mapping", [](LinkTest& t) { t.transport.failMapping(true); }, 0, 5},
      {"mapping exists", [](LinkTest& t) { t.transport.addForeignMapping("FSASMLIB:IPC:1A2C:1"); },
       0, 5},
      {"view", [](LinkTest& t) { t.transport.failView(true); }, 0, 6},
      {"old version", [](LinkTest& t) { t.server.handshake(0x19980004, kFs2004Check); }, 0, 7},
      {"old version via relay",
       [](LinkTest& t) {
         t.server.handshake(0x19980004, kFs2004Check);
         t.transport.setServer(Server::WideOnly);
       },
       0, 14},
      {"no check tag", [](LinkTest& t) { t.server.handshake(0x36300000, 0xFADF0007); }, 0, 7},
      {"other simulator", [](LinkTest&) {}, 6, 8},
      {"sends time out", [](LinkTest& t) { t.transport.failSends(10, 0); }, 0, 11},
      {"server refuses", [](LinkTest& t) { t.transport.overrideAnswer(0); }, 0, 13},
  };
  for (const OpenFailure& c : cases) {
    SCOPED_TRACE(c.name);
    renew();
    c.setUp(*this);
    EXPECT_EQ(open(c.requiredIndex), c.expected);
    EXPECT_FALSE(link.SimLinkIsOpen());
    const bool foreign = std::string(c.name) == "mapping exists";
    EXPECT_EQ(transport.liveMappings(), foreign ? 1u : 0u);  // someone else's stays
    EXPECT_EQ(transport.liveAtoms(), 0u);
    EXPECT_EQ(transport.liveViews(), 0);
  }
}

TEST_F(LinkTest, OldestAcceptedVersionAndRelayServerAreAccepted) {
  transport.setServer(Server::WideOnly);
  server.handshake(0x19980005, 0xFADE0006);
  EXPECT_EQ(open(6), 0u);
  EXPECT_EQ(link.SimLinkSimIndex, 6u);
}

TEST_F(LinkTest, RelayWithoutSimulatorFailsAfterFivePasses) {
  transport.setServer(Server::WideOnly);
  transport.relayZeros(true);
  int versionWrites = 0;
  transport.onBatch = [&](uint8_t* block, size_t) {
    // The write record, when present, follows the two 20-byte read records.
    uint32_t id, offset;
    std::memcpy(&id, block + 40, 4);
    std::memcpy(&offset, block + 44, 4);
    if (id == 2 && offset == 0x330A) ++versionWrites;
  };
  EXPECT_EQ(open(), 14u);
  EXPECT_EQ(transport.batchCount(), 5);
  EXPECT_EQ(versionWrites, 1);
  EXPECT_EQ(clock.nowMs(), 500);
  EXPECT_TRUE(nothingHeld());
}

TEST_F(LinkTest, SlowRelayIsAcceptedOnALaterPassWithOneVersionWrite) {
  int batches = 0;
  renew([&](uint8_t* b, size_t n) {
    const uint32_t answer = server.handle(b, n);
    if (++batches < 3) platform::zeroReadResults(b, n);
    return answer;
  });
  EXPECT_EQ(open(), 0u);
  EXPECT_EQ(batches, 3);
  EXPECT_EQ(server.libraryVersionWrites, 1);
  EXPECT_EQ(clock.nowMs(), 300);
}

TEST_F(LinkTest, ServerThatAppearsLaterIsFoundByTheNextOpen) {
  transport.setServer(Server::None);
  EXPECT_EQ(open(), 2u);
  transport.setServer(Server::Fsuipc);
  EXPECT_EQ(open(), 0u);
}

TEST_F(LinkTest, UnconfiguredLinkFindsNoServer) {
  link.SimLinkConfigure(nullptr, nullptr);
  EXPECT_EQ(open(), 2u);
}

TEST_F(LinkTest, CloseIsHarmlessAnyTimeAndReleasesEverything) {
  link.SimLinkClose();
  link.SimLinkClose();
  transport.failView(true);
  EXPECT_EQ(open(), 6u);  // half open: atom and mapping were acquired first
  link.SimLinkClose();
  EXPECT_TRUE(nothingHeld());
  transport.failView(false);
  ASSERT_EQ(open(), 0u);
  link.SimLinkClose();
  link.SimLinkClose();
  EXPECT_TRUE(nothingHeld());
  EXPECT_FALSE(link.SimLinkIsOpen());
  EXPECT_EQ(link.SimLinkServerVersion, kGoodVersion);  // versions survive the close
  EXPECT_EQ(open(), 0u);
}

TEST(SimLinkErrorTextsTest, TextsThatDifferOnlyInPunctuation) {
  EXPECT_STREQ(SimLinkErrorTexts[9], "Call cannot execute, link not Open");
  EXPECT_STREQ(SimLinkErrorTexts[10], "Call cannot execute: no requests accumulated");
  EXPECT_STREQ(SimLinkErrorTexts[15],
               "Read or Write request cannot be added, memory for Process is full");
}

}  // namespace
