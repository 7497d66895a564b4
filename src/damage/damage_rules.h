#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "fuel/fuel_transfer.h"
#include "simlink/offsets.h"

// The rules of battle damage that need nothing from the main window: which items a level can
// hit, the hit chance and the passes of draws, and what a hit does to a tank or an engine.

namespace damage {

/// The key item of level 1 (simlink::kDamageLevel1): the transponder.
inline constexpr std::size_t Level1KeyItem = 2;
/// The key item of level 2 (simlink::kDamageLevel2): the COM radio.
inline constexpr std::size_t Level2KeyItem = 3;
/// Items of level 3 (simlink::kDamageLevel3): magnetic compass and electrical system.
inline constexpr std::size_t Level3CompassItem = 0;
inline constexpr std::size_t Level3ElectricsItem = 1;
/// Engines an aircraft can have (simlink::kEngineFailures has one bit each).
inline constexpr std::size_t MaxEngines = 8;
/// Tanks in the order of the fuel transfer.
inline constexpr std::size_t TankCount = fuel::TankCount;
/// Level 3 positions: three flags, six tanks, eight engines.
inline constexpr std::size_t Level3Positions = 3 + TankCount + MaxEngines;
/// Level units a hit tank loses (a quarter of a full tank).
inline constexpr uint32_t TankHitLoss = 2097152;

/// Sound kinds of the damage player.
enum DamageSoundKind : uint8_t {
  FarExplosion = 0,
  NearExplosion = 1,
  Radio = 2,
  ElectricalSystem = 3
};

/// Chance in percent that one candidate is hit: 100 / candidates rounded to the nearest
/// whole number, halves to the even neighbour; 0 when there is no candidate.
int HitChance(int candidates);

/// Level of a hit tank: a quarter of full less, never below 0.
uint32_t HitTankLevel(uint32_t level);

/// Repeats passes over the candidates, in order, until at least one is hit; a candidate is
/// hit when its draw (1..100) is at most p. Several can fall in one pass; a candidate already
/// hit in an earlier pass is drawn again and stays hit. Returns the number of hits (0, without
/// drawing, when there is no candidate or p is not positive).
template <std::size_t N, typename Draw>
int DrawHits(const std::array<bool, N>& candidate, int p, Draw&& draw, std::array<bool, N>& hit) {
  hit.fill(false);
  bool any = false;
  for (bool c : candidate) any = any || c;
  if (!any || p <= 0) return 0;
  int hits = 0;
  while (hits < 1) {
    for (std::size_t i = 0; i < N; ++i) {
      if (!candidate[i]) continue;
      if (draw() <= p) {
        hit[i] = true;
        ++hits;
      }
    }
  }
  return hits;
}

/// What level 3 reads: the three flags, the engine byte and count, the six tanks.
struct Level3State {
  std::array<uint8_t, simlink::kDamageLevel3.size()> flags{};
  uint8_t engineFailures = 0;
  int16_t engineCount = 0;
  std::array<uint32_t, TankCount> tankLevels{};
  std::array<uint32_t, TankCount> tankCapacities{};
};

/// Candidates of the 17 level-3 positions; engineMasks[j-1] is the mask of engine j.
std::array<bool, Level3Positions> Level3Candidates(
    const Level3State& s, const std::array<uint8_t, MaxEngines>& engineMasks);

/// Applies the hits of the 17 positions: flags set to 1, tanks lowered, engine bits set.
Level3State ApplyLevel3Hits(const Level3State& s, const std::array<bool, Level3Positions>& hit,
                            const std::array<uint8_t, MaxEngines>& engineMasks);

}  // namespace damage
