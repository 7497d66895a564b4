#include "app/form_main.h"
#include "fuel/fuel_transfer.h"
#include "simlink/batch.h"

namespace {

/// Queues the reads of the six levels in tank order.
simlink::Batch& QueueLevelReads(simlink::Batch& batch, fuel::TankLevels& levels) {
  for (std::size_t i = 0; i < fuel::TankCount; ++i)
    batch.read(simlink::kFuelTanks[i].level, levels[i]);
  return batch;
}

/// Writes the new level of every tank taking part, one exchange per tank; a refused write
/// skips that tank only.
void WriteLevels(const fuel::TransferStep& step) {
  for (std::size_t i = 0; i < fuel::TankCount; ++i) {
    if (!step.eligible[i]) continue;
    simlink::Batch().write(simlink::kFuelTanks[i].level, step.levels[i]).process();
  }
}

}  // namespace

uint32_t TFormMain::TankIncrement(uint32_t capacity) const {
  return fuel::TankIncrementFor(rdgrpFuelTransferRate.itemData(rdgrpFuelTransferRate.itemIndex()),
                                capacity);
}

void TFormMain::FuelLoadTick() {
  fuel::TankLevels levels{};
  simlink::FixedPoint altitude;
  int16_t ground = 0;
  simlink::Batch batch;
  QueueLevelReads(batch, levels)
      .read(simlink::kAltitude, altitude)
      .read(simlink::kGroundAltitude, ground);
  if (!batch.process()) return;

  if (fuel::HeightAboveGround(altitude, ground) < fuel::MinLoadHeightM) {
    StartStopFuelLoad(false, " (not allowed below 5000' AGL)");
    return;
  }
  fuel::TankLevels increments{};
  for (std::size_t i = 0; i < fuel::TankCount; ++i) increments[i] = TankIncrement(tankCapacity[i]);
  const fuel::TransferStep step = fuel::PlanLoadStep(levels, tankCapacity, increments);
  if (step.count == 0) {
    StartStopFuelLoad(false, " (tanks are full)");
    return;
  }
  WriteLevels(step);
}

void TFormMain::FuelOffloadTick() {
  fuel::TankLevels levels{};
  simlink::Batch batch;
  if (!QueueLevelReads(batch, levels).process()) return;
  fuel::TankLevels increments{};
  for (std::size_t i = 0; i < fuel::TankCount; ++i) increments[i] = TankIncrement(tankCapacity[i]);
  const fuel::TransferStep step = fuel::PlanOffloadStep(levels, tankCapacity, increments);
  if (step.count == 0) {
    StartStopFuelOffload(false, " (not allowed below 10% capacity)");
    return;
  }
  WriteLevels(step);
}
