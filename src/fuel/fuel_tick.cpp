#include "app/form_main.h"
#include "fuel/fuel_transfer.h"
#include "simlink/sim_link.h"

namespace {

/// Queues the reads of the six levels in tank order.
bool QueueLevelReads(fuel::TankLevels& levels, uint32_t& result) {
  for (std::size_t i = 0; i < fuel::TankCount; ++i)
    if (!SimLinkRead(fuel::TankLevelVars[i], 4, &levels[i], result)) return false;
  return true;
}

/// Writes the new level of every tank taking part, one exchange per tank; a refused write
/// skips that tank only.
void WriteLevels(const fuel::TransferStep& step) {
  for (std::size_t i = 0; i < fuel::TankCount; ++i) {
    if (!step.eligible[i]) continue;
    uint32_t result = 0;
    const uint32_t level = step.levels[i];
    if (SimLinkWrite(fuel::TankLevelVars[i], 4, &level, result)) SimLinkProcess(result);
  }
}

}  // namespace

uint32_t TFormMain::TankIncrement(uint32_t capacity) const {
  return fuel::TankIncrementFor(rdgrpFuelTransferRate.itemData(rdgrpFuelTransferRate.itemIndex()),
                                capacity);
}

void TFormMain::FuelLoadTick() {
  uint32_t result = 0;
  fuel::TankLevels levels{};
  uint32_t altLow = 0;
  int32_t altHigh = 0;
  int16_t ground = 0;
  if (!(QueueLevelReads(levels, result) && SimLinkRead(fuel::AltitudeLowVar, 4, &altLow, result) &&
        SimLinkRead(fuel::AltitudeHighVar, 4, &altHigh, result) &&
        SimLinkRead(fuel::GroundAltitudeVar, 2, &ground, result) && SimLinkProcess(result)))
    return;
  if (fuel::HeightAboveGround(altHigh, altLow, ground) < fuel::MinLoadHeightM) {
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
  uint32_t result = 0;
  fuel::TankLevels levels{};
  if (!(QueueLevelReads(levels, result) && SimLinkProcess(result))) return;
  fuel::TankLevels increments{};
  for (std::size_t i = 0; i < fuel::TankCount; ++i) increments[i] = TankIncrement(tankCapacity[i]);
  const fuel::TransferStep step = fuel::PlanOffloadStep(levels, tankCapacity, increments);
  if (step.count == 0) {
    StartStopFuelOffload(false, " (not allowed below 10% capacity)");
    return;
  }
  WriteLevels(step);
}
