#include "simlink/batch.h"

#include <array>
#include <cstdint>
#include <cstring>

#include <gtest/gtest.h>

#include "simlink/link_fixture.h"

namespace {

using namespace simlink;

// A destination or value of another type than its variable's does not compile.
template <typename V, typename D>
concept Readable = requires(Batch b, V v, D& d) {
  b.read(v, d);
};
template <typename V, typename D>
concept Writable = requires(Batch b, V v, const D& d) {
  b.write(v, d);
};
static_assert(Readable<Var<double>, double> && Readable<PositionVar, FixedPoint>);
static_assert(!Readable<Var<double>, float> && !Readable<Var<int16_t>, int32_t>);
static_assert(!Readable<Var<int16_t>, uint16_t> && !Readable<PositionVar, uint32_t>);
static_assert(Writable<Var<uint16_t>, uint16_t> && !Writable<Var<uint16_t>, int>);
static_assert(!Writable<Var<double>, float> && !Writable<Var<uint8_t>, bool>);

class BatchTest : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    ASSERT_EQ(open(), 0u);
  }
};

TEST_F(BatchTest, PositionIsTwoFourByteReadsLowHalfFirst) {
  server.set32(kLatitude.low.offset, 0x80000000u);
  server.set32(kLatitude.high.offset, static_cast<uint32_t>(-3));
  std::array<uint32_t, 9> sent{};
  transport.onBatch = [&](uint8_t* block, size_t) { std::memcpy(sent.data(), block, 36); };
  FixedPoint lat;
  ASSERT_TRUE(Batch(link).read(kLatitude, lat).process());
  EXPECT_EQ(joinPosition(lat), -2.5);
  // id, offset, size, index, data: 1 0x560 4 0 ? | 1 0x564 4 1 ? | terminator
  EXPECT_EQ(sent[1], 0x0560u);
  EXPECT_EQ(sent[2], 4u);
  EXPECT_EQ(sent[6], 0x0564u);
  EXPECT_EQ(sent[7], 4u);
}

TEST_F(BatchTest, FirstRefusedRequestEndsTheBatchWithItsCode) {
  // Text areas until the block is full: the refusal drops the batch, and nothing queued after
  // it may be sent.
  const std::array<uint8_t, 128> text{};
  Batch batch(link);
  int queued = 0;
  while (batch.write(kMessageText, text).queued()) ++queued;
  EXPECT_GT(queued, 200);
  double speed = 1;
  batch.read(kForwardSpeed, speed);
  int sent = 0;
  transport.onBatch = [&](uint8_t*, size_t) { ++sent; };
  EXPECT_FALSE(batch.process());
  EXPECT_EQ(batch.result(), kSimLinkFull);
  EXPECT_EQ(sent, 0);
  EXPECT_EQ(speed, 1);
  // The next batch starts afresh.
  Batch next(link);
  EXPECT_TRUE(next.read(kForwardSpeed, speed).process());
  EXPECT_EQ(next.result(), kSimLinkOk);
  EXPECT_EQ(sent, 1);
  EXPECT_EQ(speed, 0);
}

}  // namespace
