#include "fuel/fuel_transfer.h"

#include <algorithm>
#include <limits>

namespace fuel {

uint32_t TankIncrementFor(int64_t rate, uint32_t capacity) {
  if (capacity == 0 || rate <= 0) return 0;
  const uint64_t r = static_cast<uint64_t>(rate);
  uint64_t q = r / capacity;
  const uint64_t rem = r % capacity;
  const uint64_t twice = rem * 2;
  if (twice > capacity || (twice == capacity && (q & 1) != 0)) ++q;
  return static_cast<uint32_t>(std::min<uint64_t>(q, std::numeric_limits<uint32_t>::max()));
}

double HeightAboveGround(simlink::FixedPoint altitude, int16_t groundAltM) {
  return simlink::altitudeMetres(altitude) - static_cast<double>(groundAltM);
}

TransferStep PlanLoadStep(const TankLevels& levels, const TankLevels& capacities,
                          const TankLevels& increments) {
  TransferStep step;
  step.levels = levels;
  for (std::size_t i = 0; i < TankCount; ++i) {
    step.eligible[i] = capacities[i] != 0 && levels[i] < FillThreshold;
    if (step.eligible[i]) ++step.count;
  }
  if (step.count == 0) return step;
  const auto n = static_cast<uint32_t>(step.count);
  for (std::size_t i = 0; i < TankCount; ++i) {
    if (!step.eligible[i]) continue;
    const uint64_t raised = uint64_t{levels[i]} + increments[i] / n;
    step.levels[i] = static_cast<uint32_t>(std::min<uint64_t>(raised, TankFull));
  }
  return step;
}

TransferStep PlanOffloadStep(const TankLevels& levels, const TankLevels& capacities,
                             const TankLevels& increments) {
  TransferStep step;
  step.levels = levels;
  for (std::size_t i = 0; i < TankCount; ++i) {
    step.eligible[i] = capacities[i] != 0 && levels[i] > OffloadFloor;
    if (step.eligible[i]) ++step.count;
  }
  if (step.count == 0) return step;
  const auto n = static_cast<uint32_t>(step.count);
  for (std::size_t i = 0; i < TankCount; ++i) {
    if (!step.eligible[i]) continue;
    const int64_t lowered = int64_t{levels[i]} - int64_t{increments[i] / n};
    step.levels[i] = static_cast<uint32_t>(std::max<int64_t>(lowered, OffloadFloor));
  }
  return step;
}

}  // namespace fuel
