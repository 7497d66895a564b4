// The temporary bridge for code not yet handed the link: it reaches the newest window's link.
#include <cstdint>

#include <gtest/gtest.h>

#include "harness/harness.h"
#include "simlink/batch.h"
#include "simlink/offsets.h"

namespace {

// Sends one default-constructed batch; true when it was answered.
bool exchangeOnRunningLink() {
  uint32_t version = 0;
  return simlink::Batch().read(simlink::kServerVersion, version).process() && version != 0;
}

TEST(RunningLink, IsTheNewestWindowsLinkAndTheOneBeforeOnceThatWindowCloses) {
  harness::Harness first;
  first.start();
  ASSERT_TRUE(first.link.SimLinkIsOpen());
  int firstBatches = first.transport->batchCount();
  EXPECT_TRUE(exchangeOnRunningLink());
  EXPECT_EQ(first.transport->batchCount(), ++firstBatches);
  {
    harness::Harness second;
    second.start();
    const int secondBatches = second.transport->batchCount();
    EXPECT_TRUE(exchangeOnRunningLink());
    EXPECT_EQ(second.transport->batchCount(), secondBatches + 1);
    EXPECT_EQ(first.transport->batchCount(), firstBatches);
  }
  EXPECT_TRUE(exchangeOnRunningLink());
  EXPECT_EQ(first.transport->batchCount(), firstBatches + 1);
}

TEST(RunningLink, WithNoWindowFindsNoLinkOpen) {
  uint32_t version = 0;
  simlink::Batch batch;
  EXPECT_FALSE(batch.read(simlink::kServerVersion, version).process());
  EXPECT_EQ(batch.result(), kSimLinkNotOpen);
}

}  // namespace
