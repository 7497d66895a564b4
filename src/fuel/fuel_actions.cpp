#include <string>

#include "app/form_main.h"
#include "fuel/fuel_transfer.h"
#include "simlink/sim_link.h"

namespace {

/// Queues the reads of the altitude halves and the ground altitude.
bool QueueHeightReads(uint32_t& altLow, int32_t& altHigh, int16_t& ground, uint32_t& result) {
  return SimLinkRead(fuel::AltitudeLowVar, 4, &altLow, result) &&
         SimLinkRead(fuel::AltitudeHighVar, 4, &altHigh, result) &&
         SimLinkRead(fuel::GroundAltitudeVar, 2, &ground, result);
}

/// Queues the reads of the six capacities straight into caps.
bool QueueCapacityReads(std::array<uint32_t, fuel::TankCount>& caps, uint32_t& result) {
  for (std::size_t i = 0; i < fuel::TankCount; ++i)
    if (!SimLinkRead(fuel::TankCapacityVars[i], 4, &caps[i], result)) return false;
  return true;
}

}  // namespace

void TFormMain::actFuelLoadExecute() {
  if (ManuallyDisabled()) {
    ShowSimMessage("Fuel Load not available - Corvane has been manually disabled", 3);
    return;
  }
  if (fuelLoading) {
    StartStopFuelLoad(false, "");
    return;
  }
  uint32_t result = 0;
  uint32_t altLow = 0;
  int32_t altHigh = 0;
  int16_t ground = 0;
  if (!(QueueHeightReads(altLow, altHigh, ground, result) &&
        QueueCapacityReads(tankCapacity, result) && SimLinkProcess(result)))
    return;
  if (fuel::HeightAboveGround(altHigh, altLow, ground) >= fuel::MinLoadHeightM)
    StartStopFuelLoad(true, "");
  else
    ShowSimMessage("Fuel load not allowed below 5000' AGL", 3);
}

void TFormMain::actFuelOFFloadExecute() {
  if (ManuallyDisabled()) {
    ShowSimMessage("Fuel OFFLoad not available - Corvane has been manually disabled", 3);
    return;
  }
  if (fuelOffloading) {
    StartStopFuelOffload(false, "");
    return;
  }
  uint32_t result = 0;
  if (!(QueueCapacityReads(tankCapacity, result) && SimLinkProcess(result))) return;
  StartStopFuelOffload(true, "");
}

void TFormMain::actFuelRateToggleExecute() {
  if (ManuallyDisabled()) {
    ShowSimMessage("Fuel rate toggle not available - Corvane has been manually disabled", 3);
    return;
  }
  rdgrpFuelTransferRate.setItemIndex(rdgrpFuelTransferRate.itemIndex() == 0 ? 1 : 0);
  ShowSimMessage("Fuel transfer rate now set to " + rdgrpFuelTransferRate.selectedText(), 7);
}

void TFormMain::StartStopFuelLoad(bool on, const std::string& reason) {
  if (fuelOffloading) {
    ShowSimMessage("Fuel OFFLoad in progress -- load request ignored", 3);
    return;
  }
  if (on && !fuelLoading)
    ShowSimMessage("Fuel Load started: " + rdgrpFuelTransferRate.selectedText(), 3);
  else if (!on && fuelLoading)
    ShowSimMessage("Fuel Load terminated" + reason, 6);
  fuelLoading = on;
  lblFuelTransferStatus.setText(on ? "LOADING @ " + rdgrpFuelTransferRate.selectedText() : "");
}

void TFormMain::StartStopFuelOffload(bool on, const std::string& reason) {
  if (fuelLoading) {
    ShowSimMessage("Fuel Load in progress -- OffLoad request ignored", 3);
    return;
  }
  if (on && !fuelOffloading)
    ShowSimMessage("Fuel OFFLoad started: " + rdgrpFuelTransferRate.selectedText(), 3);
  else if (!on && fuelOffloading)
    ShowSimMessage("Fuel OFFLoad terminated" + reason, 6);
  fuelOffloading = on;
  lblFuelTransferStatus.setText(on ? "OFFLOADING @ " + rdgrpFuelTransferRate.selectedText() : "");
}
