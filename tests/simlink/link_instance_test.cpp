#include <cstdint>

#include <gtest/gtest.h>

#include "simlink/batch.h"
#include "simlink/link_fixture.h"

namespace {

// A second link in the same process, on its own server, transport and clock.
class TwoLinks : public LinkTest {
 public:
  static constexpr uint32_t kOtherVersion = 0x36300000;

  TwoLinks() : otherTransport([this](uint8_t* b, size_t n) { return other.handle(b, n); }) {}

  void SetUp() override {
    LinkTest::SetUp();
    other.handshake(kOtherVersion, 0xFADE0006);
    otherTransport.setClock(&otherClock);
    ASSERT_EQ(open(), 0u);
    uint32_t result = 99;
    ASSERT_TRUE(otherLink.SimLinkOpen(0, result)) << result;
  }

  FakeServer other;
  platform::VirtualClock otherClock{0};
  platform::LoopbackTransport otherTransport;
  simlink::Link otherLink{&otherTransport, &otherClock};
};

TEST_F(TwoLinks, EachKeepsItsOwnQueueServerVersionAndLostServer) {
  EXPECT_EQ(link.SimLinkServerVersion, kGoodVersion);
  EXPECT_EQ(link.SimLinkSimIndex, 7u);
  EXPECT_EQ(otherLink.SimLinkServerVersion, kOtherVersion);
  EXPECT_EQ(otherLink.SimLinkSimIndex, 6u);

  // Requests queued on both, interleaved: each exchange sends only its own link's request.
  uint32_t mine = 0;
  uint32_t theirs = 0;
  simlink::Batch onMine(link);
  simlink::Batch onTheirs(otherLink);
  onMine.read(simlink::kServerVersion, mine);
  onTheirs.read(simlink::kServerVersion, theirs);
  const int otherBatches = otherTransport.batchCount();
  ASSERT_TRUE(onMine.process()) << onMine.result();
  EXPECT_EQ(mine, kGoodVersion);
  EXPECT_EQ(theirs, 0u);
  EXPECT_EQ(otherTransport.batchCount(), otherBatches);
  ASSERT_TRUE(onTheirs.process()) << onTheirs.result();
  EXPECT_EQ(theirs, kOtherVersion);

  // One server lost: the other link still exchanges, and still opens after a close.
  otherTransport.failSends(1 << 30, 0);
  EXPECT_FALSE(simlink::Batch(otherLink).read(simlink::kServerVersion, theirs).process());
  EXPECT_TRUE(otherLink.SimLinkLost());
  EXPECT_FALSE(link.SimLinkLost());
  EXPECT_TRUE(simlink::Batch(link).read(simlink::kServerVersion, mine).process());
  link.SimLinkClose();
  EXPECT_EQ(open(), 0u);

  // Closing one leaves the other open; each gives back only what it holds.
  otherLink.SimLinkClose();
  EXPECT_FALSE(otherLink.SimLinkIsOpen());
  EXPECT_TRUE(link.SimLinkIsOpen());
  EXPECT_EQ(otherTransport.liveMappings(), 0u);
  EXPECT_EQ(transport.liveMappings(), 1u);
}

TEST(LinkLifetime, DestroyingAnOpenLinkReleasesWhatItHolds) {
  FakeServer server;
  server.handshake(LinkTest::kGoodVersion, LinkTest::kFs2004Check);
  platform::VirtualClock clock{0};
  platform::LoopbackTransport transport([&](uint8_t* b, size_t n) { return server.handle(b, n); });
  transport.setClock(&clock);
  {
    simlink::Link link(&transport, &clock);
    uint32_t result = 99;
    ASSERT_TRUE(link.SimLinkOpen(0, result)) << result;
    EXPECT_EQ(transport.liveMappings(), 1u);
  }
  EXPECT_EQ(transport.liveAtoms(), 0u);
  EXPECT_EQ(transport.liveMappings(), 0u);
  EXPECT_EQ(transport.liveViews(), 0);
}

}  // namespace
