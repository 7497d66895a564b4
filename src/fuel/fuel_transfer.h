#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "simlink/offsets.h"

// Fuel levels are unsigned 32-bit numbers in which 2^23 means a full tank; capacities are US
// gallons. The six tanks are always handled in the order centre, centre 2, left main, right
// main, left aux, right aux.

namespace fuel {

inline constexpr std::size_t TankCount = simlink::kFuelTanks.size();
/// Level of a full tank; a filled tank is set to exactly this value.
inline constexpr uint32_t TankFull = simlink::kFuelFull;
/// A tank counts as full from this level on (99.5 % of full, rounded up).
inline constexpr uint32_t FillThreshold = 8346665;
/// A tank is never drained below this level (10 % of full, rounded up).
inline constexpr uint32_t OffloadFloor = 838861;
/// Rate constants: level units per second for the whole flow into a one-gallon tank.
inline constexpr int64_t DrogueRate = 69905067;  // 2^23 * 500 / 60, rounded
inline constexpr int64_t BoomRate = 167772160;   // 2^23 * 1200 / 60
/// Items of the transfer-rate group.
inline constexpr const char* DrogueRateText = "500 GPM (drogue)";
inline constexpr const char* BoomRateText = "1200 GPM (boom)";
/// Loading needs at least this height above ground, in metres (5000 ft).
inline constexpr double MinLoadHeightM = 1524.0;

using TankLevels = std::array<uint32_t, TankCount>;

/// rate / capacity rounded to the nearest whole number, halves to the even neighbour;
/// 0 for a capacity of 0 or a rate that is not positive. Saturates at the 32-bit maximum.
uint32_t TankIncrementFor(int64_t rate, uint32_t capacity);

/// Height above ground in metres from the altitude and the ground altitude in whole metres.
double HeightAboveGround(simlink::FixedPoint altitude, int16_t groundAltM);

/// One planned transfer step: which tanks take part and their new levels.
struct TransferStep {
  std::array<bool, TankCount> eligible{};
  TankLevels levels{};
  int count = 0;
};

/// The load step for these levels: tanks with a capacity and a level below FillThreshold
/// share the increments equally (each converted by its own capacity), capped at TankFull.
/// increments[i] is the tank increment of tank i at the rate in force.
TransferStep PlanLoadStep(const TankLevels& levels, const TankLevels& capacities,
                          const TankLevels& increments);

/// The offload step: tanks with a capacity and a level above OffloadFloor give their share,
/// never going below OffloadFloor.
TransferStep PlanOffloadStep(const TankLevels& levels, const TankLevels& capacities,
                             const TankLevels& increments);

}  // namespace fuel
