#include "fuel/fuel_transfer_unit.h"
#include "simlink/batch.h"

namespace fuel {

namespace {

/// Queues the reads of the six levels in tank order.
simlink::Batch& QueueLevelReads(simlink::Batch& batch, TankLevels& levels) {
  for (std::size_t i = 0; i < TankCount; ++i) batch.read(simlink::kFuelTanks[i].level, levels[i]);
  return batch;
}

/// Writes the new level of every tank taking part, one exchange per tank; a refused write
/// skips that tank only.
void WriteLevels(simlink::Link& link, const TransferStep& step) {
  for (std::size_t i = 0; i < TankCount; ++i) {
    if (!step.eligible[i]) continue;
    simlink::Batch(link).write(simlink::kFuelTanks[i].level, step.levels[i]).process();
  }
}

}  // namespace

void FuelTransferUnit::TransferTick() {
  if (fuelLoading)
    FuelLoadTick();
  else if (fuelOffloading)
    FuelOffloadTick();
}

uint32_t FuelTransferUnit::TankIncrement(uint32_t capacity) const {
  return TankIncrementFor(
      view_.rdgrpFuelTransferRate.itemData(view_.rdgrpFuelTransferRate.itemIndex()), capacity);
}

void FuelTransferUnit::FuelLoadTick() {
  TankLevels levels{};
  simlink::FixedPoint altitude;
  int16_t ground = 0;
  simlink::Batch batch(view_.link);
  QueueLevelReads(batch, levels)
      .read(simlink::kAltitude, altitude)
      .read(simlink::kGroundAltitude, ground);
  if (!batch.process()) return;

  if (HeightAboveGround(altitude, ground) < MinLoadHeightM) {
    StartStopFuelLoad(false, " (not allowed below 5000' AGL)");
    return;
  }
  TankLevels increments{};
  for (std::size_t i = 0; i < TankCount; ++i) increments[i] = TankIncrement(tankCapacity[i]);
  const TransferStep step = PlanLoadStep(levels, tankCapacity, increments);
  if (step.count == 0) {
    StartStopFuelLoad(false, " (tanks are full)");
    return;
  }
  WriteLevels(view_.link, step);
}

void FuelTransferUnit::FuelOffloadTick() {
  TankLevels levels{};
  simlink::Batch batch(view_.link);
  if (!QueueLevelReads(batch, levels).process()) return;
  TankLevels increments{};
  for (std::size_t i = 0; i < TankCount; ++i) increments[i] = TankIncrement(tankCapacity[i]);
  const TransferStep step = PlanOffloadStep(levels, tankCapacity, increments);
  if (step.count == 0) {
    StartStopFuelOffload(false, " (not allowed below 10% capacity)");
    return;
  }
  WriteLevels(view_.link, step);
}

}  // namespace fuel
