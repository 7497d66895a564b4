#include "damage/damage_rules.h"

namespace damage {

int HitChance(int candidates) {
  if (candidates <= 0) return 0;
  int q = 100 / candidates;
  const int twiceRem = (100 % candidates) * 2;
  if (twiceRem > candidates || (twiceRem == candidates && q % 2 != 0)) ++q;
  return q;
}

uint32_t HitTankLevel(uint32_t level) { return level > TankHitLoss ? level - TankHitLoss : 0; }

std::array<bool, Level3Positions> Level3Candidates(
    const Level3State& s, const std::array<uint8_t, MaxEngines>& engineMasks) {
  std::array<bool, Level3Positions> c{};
  for (std::size_t i = 0; i < s.flags.size(); ++i) c[i] = s.flags[i] == 0;
  for (std::size_t t = 0; t < TankCount; ++t)
    c[3 + t] = s.tankCapacities[t] != 0 && s.tankLevels[t] != 0;
  for (std::size_t j = 1; j <= MaxEngines; ++j) {
    const uint8_t mask = engineMasks[j - 1];
    c[3 + TankCount + j - 1] =
        static_cast<int>(j) <= s.engineCount && (s.engineFailures & mask) != mask;
  }
  return c;
}

Level3State ApplyLevel3Hits(const Level3State& s, const std::array<bool, Level3Positions>& hit,
                            const std::array<uint8_t, MaxEngines>& engineMasks) {
  Level3State r = s;
  for (std::size_t i = 0; i < r.flags.size(); ++i)
    if (hit[i]) r.flags[i] = 1;
  for (std::size_t t = 0; t < TankCount; ++t)
    if (hit[3 + t]) r.tankLevels[t] = HitTankLevel(r.tankLevels[t]);
  for (std::size_t j = 0; j < MaxEngines; ++j)
    if (hit[3 + TankCount + j])
      r.engineFailures = static_cast<uint8_t>(r.engineFailures | engineMasks[j]);
  return r;
}

}  // namespace damage
