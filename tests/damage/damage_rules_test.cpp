#include "damage/damage_rules.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(HitChance, MatchesTheTable) {
  // 100 / candidates, halves to the even neighbour (8 -> 12.5 -> 12).
  const int table[18] = {0, 100, 50, 33, 25, 20, 17, 14, 12, 11, 10, 9, 8, 8, 7, 7, 6, 6};
  for (int n = 0; n <= 17; ++n) EXPECT_EQ(damage::HitChance(n), table[n]) << n << " candidates";
  EXPECT_EQ(damage::HitChance(-1), 0);
  EXPECT_EQ(damage::HitChance(40), 2);   // 2.5 -> 2
  EXPECT_EQ(damage::HitChance(200), 0);  // 0.5 -> 0
}

TEST(DrawHits, RepeatsPassesUntilAHitAndSkipsNonCandidates) {
  const std::array<bool, 4> candidate{true, false, true, true};
  std::vector<int> draws{90, 80, 70, 60, 10, 34, 20};
  std::size_t next = 0;
  std::array<bool, 4> hit{};
  const int hits = damage::DrawHits(
      candidate, 33, [&] { return draws.at(next++); }, hit);
  // First pass (90, 80, 70) misses; the second draws 60, 10, 34: only position 2 falls.
  EXPECT_EQ(hits, 1);
  EXPECT_EQ(next, 6u);
  EXPECT_EQ(hit, (std::array<bool, 4>{false, false, true, false}));
}

TEST(DrawHits, SeveralCanFallInOnePassAndNoCandidateMeansNoDraw) {
  std::array<bool, 3> hit{};
  int drawn = 0;
  EXPECT_EQ(damage::DrawHits(
                std::array<bool, 3>{true, true, true}, 33, [&] { return ++drawn; }, hit),
            3);
  EXPECT_EQ(damage::DrawHits(
                std::array<bool, 3>{}, 33, [&] { return ++drawn; }, hit),
            0);
  EXPECT_EQ(drawn, 3);
  // With one candidate, p is 100 and any draw hits.
  EXPECT_EQ(
      damage::DrawHits(
          std::array<bool, 3>{false, true, false}, damage::HitChance(1), [] { return 100; }, hit),
      1);
}

TEST(HitTankLevel, LosesAQuarterNeverBelowZero) {
  EXPECT_EQ(damage::HitTankLevel(8388608), 6291456u);
  EXPECT_EQ(damage::HitTankLevel(1000000), 0u);
  EXPECT_EQ(damage::HitTankLevel(2097152), 0u);
  EXPECT_EQ(damage::HitTankLevel(2097153), 1u);
}

TEST(Level3Candidates, FlagsTanksAndEngines) {
  const std::array<uint8_t, 8> masks{1, 2, 4, 8, 16, 32, 64, 128};
  damage::Level3State s;
  s.flags = {0, 1, 2};  // only a flag of exactly 0 is a candidate
  s.engineCount = 2;
  s.engineFailures = 0x01;  // engine 1 already failed
  s.tankCapacities = {100, 0, 100, 50, 0, 0};
  s.tankLevels = {8388608, 5000, 0, 1000000, 0, 0};
  const auto c = damage::Level3Candidates(s, masks);
  const std::array<bool, 17> expected{true,  false, false,                       // flags
                                      true,  false, false, true,  false, false,  // tanks
                                      false, true,  false, false, false, false, false, false};
  EXPECT_EQ(c, expected);

  std::array<bool, 17> all{};
  all.fill(true);
  const auto r = damage::ApplyLevel3Hits(s, all, masks);
  EXPECT_EQ(r.flags, (std::array<uint8_t, 3>{1, 1, 1}));
  EXPECT_EQ(r.tankLevels[0], 6291456u);
  EXPECT_EQ(r.tankLevels[3], 0u);
  EXPECT_EQ(r.engineFailures, 0xFF);
  EXPECT_EQ(r.engineCount, 2);
}

TEST(Level3Candidates, NegativeEngineCountHasNoEngines) {
  damage::Level3State s;
  s.flags = {1, 1, 1};
  s.engineCount = -3;
  const auto c = damage::Level3Candidates(s, {1, 2, 4, 8, 16, 32, 64, 128});
  for (bool b : c) EXPECT_FALSE(b);
}

}  // namespace
