#include "arrest/runout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// Readings from a simulator are untrusted: whatever the speed and distance read, the arrest by
// run-out writes a number, never a push, never more than its limit can ask of the least effect.
TEST(Runout, GarbageReadingsNeverPushOrWriteGarbage) {
  constexpr double nan = std::numeric_limits<double>::quiet_NaN();
  constexpr double inf = std::numeric_limits<double>::infinity();
  const struct {
    double speedFps, distanceFt;
  } readings[] = {{nan, 10},   {inf, 10},  {-50, 10},  {1e300, 10},  {200, nan},
                  {200, -1e9}, {200, 1e9}, {200, inf}, {200, 339.9}, {nan, nan}};
  for (const auto& r : readings) {
    TRunout runout;
    runout.Start(0, 340, 200);
    for (int64_t ms = 10; ms <= 300; ms += 10) {
      const double accel = runout.Tick(ms, r.distanceFt, r.speedFps);
      ASSERT_TRUE(std::isfinite(accel)) << r.speedFps << " ft/s at " << r.distanceFt << " ft";
      ASSERT_LE(accel, 0.0) << r.speedFps << " ft/s at " << r.distanceFt << " ft";
      ASSERT_GE(accel, -8 * RunoutMaxG * RunoutGFps2) << r.speedFps << " ft/s";
    }
  }
  EXPECT_TRUE(TRunout::Stopped(nan));
  EXPECT_TRUE(TRunout::Stopped(-1));
  EXPECT_FALSE(TRunout::Stopped(1));
}

}  // namespace
