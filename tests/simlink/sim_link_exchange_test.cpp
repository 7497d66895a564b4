#include <array>
#include <cstring>
#include <functional>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "simlink/link_fixture.h"

namespace {

class ExchangeTest : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    ASSERT_EQ(open(), 0u);
  }
  uint32_t read(uint32_t offset, uint32_t size, void* dest) {
    uint32_t result = 99;
    const bool ok = link.SimLinkRead(offset, size, dest, result);
    EXPECT_EQ(ok, result == 0);
    return result;
  }
  uint32_t write(uint32_t offset, uint32_t size, const void* src) {
    uint32_t result = 99;
    const bool ok = link.SimLinkWrite(offset, size, src, result);
    EXPECT_EQ(ok, result == 0);
    return result;
  }
};

TEST_F(ExchangeTest, OneBatchWritesThenReadsBackInRecordOrder) {
  const double accel = -700.0;
  const uint16_t smoke = 1;
  double accelBack = 0;
  uint16_t smokeBack = 0;
  uint32_t untouched = 0xDEADBEEF;
  ASSERT_EQ(write(0x3070, 8, &accel), 0u);
  ASSERT_EQ(write(0x05D8, 2, &smoke), 0u);
  ASSERT_EQ(read(0x3070, 8, &accelBack), 0u);
  ASSERT_EQ(read(0x05D8, 2, &smokeBack), 0u);
  ASSERT_EQ(read(0x0BE8, 0, &untouched), 0u);  // header only, nothing copied back
  ASSERT_EQ(read(0x0BE8, 4, nullptr), 0u);     // no destination: nothing copied either
  std::vector<uint8_t> sent;
  transport.onBatch = [&](uint8_t* block, size_t) { sent.assign(block, block + 120); };
  EXPECT_EQ(process(), 0u);
  EXPECT_EQ(accelBack, -700.0);
  EXPECT_EQ(smokeBack, 1);
  EXPECT_EQ(untouched, 0xDEADBEEFu);
  // Records packed back to back: 12+8, 12+2, 16+8, 16+2, 16+0, 16+4, then the terminator.
  const std::array<uint32_t, 6> starts{0, 20, 34, 58, 76, 92};
  const std::array<uint32_t, 6> ids{2, 2, 1, 1, 1, 1};
  for (size_t i = 0; i < starts.size(); ++i) {
    uint32_t id;
    std::memcpy(&id, &sent[starts[i]], 4);
    EXPECT_EQ(id, ids[i]) << "record " << i;
  }
  uint32_t terminator = 1;
  std::memcpy(&terminator, &sent[112], 4);
  EXPECT_EQ(terminator, 0u);
}

TEST_F(ExchangeTest, ClosedAndEmptyQueuesAreRefused) {
  EXPECT_EQ(process(), 10u);
  link.SimLinkClose();
  uint32_t v = 0;
  EXPECT_EQ(process(), 9u);
  EXPECT_EQ(read(0x3304, 4, &v), 9u);
  EXPECT_EQ(write(0x3304, 4, &v), 9u);
}

struct CapacityCase {
  bool isRead;
  bool readQueuedFirst;  // a 4-byte read (20 bytes of block) queued before
  uint32_t size;
  uint32_t expected;
};

TEST_F(ExchangeTest, RequestsAreAcceptedUpToTheCapacityExactly) {
  const std::vector<CapacityCase> cases = {
      {true, false, 0x7F00 - 20, 0},     {true, false, 0x7F01 - 20, 15},
      {false, false, 0x7F00 - 16, 0},    {false, false, 0x7F01 - 16, 15},
      {true, true, 0x7F00 - 20 - 20, 0}, {true, true, 0x7F01 - 20 - 20, 15},
      {true, false, 0xFFFFFFFF, 15},     {false, false, 0xFFFFFFF0, 15},
  };
  static std::array<uint8_t, 0x8000> buffer{};
  for (const CapacityCase& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.isRead ? "read " : "write ") << c.size);
    uint32_t first = 0;
    if (c.readQueuedFirst) {
      ASSERT_EQ(read(0x3304, 4, &first), 0u);
    }
    const uint32_t r =
        c.isRead ? read(0x0000, c.size, buffer.data()) : write(0x0000, c.size, buffer.data());
    EXPECT_EQ(r, c.expected);
    // A refused request drops the whole batch, so no read of it can land in a variable of a
    // caller that has given up on it.
    const bool queued = c.expected == 0;
    const int before = transport.batchCount();
    EXPECT_EQ(process(), queued ? 0u : 10u);
    EXPECT_EQ(transport.batchCount() - before, queued ? 1 : 0);
    if (c.readQueuedFirst) {
      EXPECT_EQ(first, queued ? kGoodVersion : 0u);
    }
  }
}

struct SendCase {
  int failures;
  uint32_t lastError;
  uint32_t expected;
  int64_t elapsedMs;
};

TEST_F(ExchangeTest, SendRetriesTenTimesWithAWaitAfterEachFailure) {
  const std::vector<SendCase> cases = {
      {10, 0, 11, 10 * (2000 + 100)},  // time-outs take their full time
      {10, 5, 12, 10 * 100},
      {9, 0, 0, 9 * (2000 + 100)},
      {1, 1400, 0, 100},
  };
  for (const SendCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.failures << " failures, error " << c.lastError);
    // A fresh start: the server of the case before is lost.
    link.SimLinkConfigure(&transport, &clock);
    ASSERT_EQ(open(), 0u);
    const int64_t start = clock.nowMs();
    const int sendsBefore = transport.sendCount();
    uint32_t value = 77;
    transport.failSends(c.failures, c.lastError);
    ASSERT_EQ(read(0x3304, 4, &value), 0u);
    EXPECT_EQ(process(), c.expected);
    EXPECT_EQ(transport.sendCount() - sendsBefore, c.expected == 0 ? c.failures + 1 : 10);
    EXPECT_EQ(clock.nowMs() - start, c.elapsedMs);
    EXPECT_EQ(value, c.expected == 0 ? kGoodVersion : 77u);
  }
}

TEST_F(ExchangeTest, LostServerIsNotWaitedForAgainUntilTheLinkIsOpenedTwice) {
  for (const uint32_t lastError : {0u, 5u}) {
    SCOPED_TRACE(testing::Message() << "error " << lastError);
    link.SimLinkConfigure(&transport, &clock);
    ASSERT_EQ(open(), 0u);
    const uint32_t code = lastError == 0 ? 11 : 12;
    uint32_t value = 77;
    transport.failSends(10, lastError);
    ASSERT_EQ(read(0x3304, 4, &value), 0u);
    EXPECT_EQ(process(), code);
    EXPECT_TRUE(link.SimLinkLost());

    // The server would answer now, but the link no longer sends, nor waits.
    const int sends = transport.sendCount();
    const int64_t at = clock.nowMs();
    ASSERT_EQ(read(0x3304, 4, &value), 0u);
    EXPECT_EQ(process(), code);
    EXPECT_EQ(process(), 10u) << "the queue is emptied as by any failure";
    link.SimLinkClose();
    EXPECT_EQ(open(), 2u) << "the open right after the loss looks for no server";
    EXPECT_FALSE(link.SimLinkLost());
    EXPECT_EQ(transport.sendCount(), sends);
    EXPECT_EQ(clock.nowMs(), at);
    EXPECT_EQ(value, 77u);

    ASSERT_EQ(open(), 0u);
    ASSERT_EQ(read(0x3304, 4, &value), 0u);
    EXPECT_EQ(process(), 0u);
    EXPECT_EQ(value, kGoodVersion);
  }
  // A handshake that times out has waited already: the next open looks again.
  link.SimLinkClose();
  transport.failSends(10, 0);
  EXPECT_EQ(open(), 11u);
  EXPECT_EQ(open(), 0u);
  // Other failures lose nothing.
  transport.overrideAnswer(0);
  uint32_t value = 0;
  ASSERT_EQ(read(0x3304, 4, &value), 0u);
  EXPECT_EQ(process(), 13u);
  transport.overrideAnswer(std::nullopt);
  EXPECT_FALSE(link.SimLinkLost());
  ASSERT_EQ(read(0x3304, 4, &value), 0u);
  EXPECT_EQ(process(), 0u);
}

TEST_F(ExchangeTest, ServerAnswerOtherThanOneIsBadDataAndUpdatesNothing) {
  for (uint32_t answer : {0u, 2u, 0xFFFFFFFFu}) {
    transport.overrideAnswer(answer);
    uint32_t value = 77;
    ASSERT_EQ(read(0x3304, 4, &value), 0u);
    EXPECT_EQ(process(), 13u);
    EXPECT_EQ(value, 77u);
  }
}

TEST_F(ExchangeTest, FailedProcessEmptiesTheQueueAndNextBatchStartsAtBlockStart) {
  uint32_t a = 0, b = 0;
  ASSERT_EQ(read(0x3304, 4, &a), 0u);
  ASSERT_EQ(read(0x3308, 4, &b), 0u);
  transport.overrideAnswer(0);
  EXPECT_EQ(process(), 13u);
  EXPECT_EQ(process(), 10u);
  transport.overrideAnswer(std::nullopt);
  uint32_t firstOffset = 0, secondId = 99;
  transport.onBatch = [&](uint8_t* block, size_t) {
    std::memcpy(&firstOffset, block + 4, 4);
    std::memcpy(&secondId, block + 20, 4);
  };
  ASSERT_EQ(read(0x3308, 4, &b), 0u);
  EXPECT_EQ(process(), 0u);
  EXPECT_EQ(firstOffset, 0x3308u);
  EXPECT_EQ(secondId, 0u);
  EXPECT_EQ(a, 0u);
  EXPECT_EQ(b, kFs2004Check);
}

// A server that rewrites record headers: the reply no longer matches what was queued.
struct LyingCase {
  const char* name;
  size_t at;
  uint32_t value;
};

TEST_F(ExchangeTest, ReplyThatRewritesHeadersIsBadDataAndNeverReadOutsideTheBlock) {
  const std::vector<LyingCase> cases = {
      {"huge size", 8, 0xFFFFFFF0},
      {"size reaching past the block end", 8, 0x8000 - 16 - 8},
      {"larger size on the second record", 20 + 8, 8},
      {"smaller size", 8, 2},
      {"unknown identifier", 0, 7},
      {"identifier with a high byte", 20, 0x101},
      {"early terminator", 20, 0},
      {"read turned into a write", 0, 2},
  };
  for (const LyingCase& c : cases) {
    SCOPED_TRACE(c.name);
    bool lie = false;
    renew([&](uint8_t* b, size_t n) {
      const uint32_t answer = server.handle(b, n);
      if (lie) std::memcpy(b + c.at, &c.value, 4);
      return answer;
    });
    ASSERT_EQ(open(), 0u);
    lie = true;
    struct Guarded {
      uint32_t before = 0xAAAAAAAA, value = 0x11111111, after = 0xBBBBBBBB;
    } first, second;
    ASSERT_EQ(read(0x3304, 4, &first.value), 0u);
    ASSERT_EQ(read(0x3308, 4, &second.value), 0u);
    EXPECT_EQ(process(), 13u);
    EXPECT_EQ(first.value, 0x11111111u);
    EXPECT_EQ(second.value, 0x11111111u);
    EXPECT_EQ(first.after, 0xBBBBBBBBu);
    EXPECT_EQ(second.before, 0xAAAAAAAAu);
    lie = false;
    ASSERT_EQ(read(0x3304, 4, &first.value), 0u);
    EXPECT_EQ(process(), 0u);  // the link goes on working
    EXPECT_EQ(first.value, kGoodVersion);
  }
}

TEST_F(ExchangeTest, LyingHandshakeFailsTheOpenCleanly) {
  renew([&](uint8_t* b, size_t n) {
    const uint32_t answer = server.handle(b, n);
    const uint32_t huge = 0xFFFFFFF0;
    std::memcpy(b + 8, &huge, 4);
    return answer;
  });
  EXPECT_EQ(open(), 13u);
  EXPECT_TRUE(nothingHeld());
}

}  // namespace
