#include <string>

#include "fuel/fuel_transfer_unit.h"
#include "simlink/batch.h"

namespace fuel {

namespace {

/// Queues the reads of the six capacities straight into caps.
simlink::Batch& QueueCapacityReads(simlink::Batch& batch, std::array<uint32_t, TankCount>& caps) {
  for (std::size_t i = 0; i < TankCount; ++i) batch.read(simlink::kFuelTanks[i].capacity, caps[i]);
  return batch;
}

}  // namespace

void FuelTransferUnit::Reset() {
  fuelLoading = false;
  fuelOffloading = false;
  view_.rdgrpFuelTransferRate.setEnabled(true);
  tankCapacity.fill(0);
}

void FuelTransferUnit::actFuelLoadExecute() {
  if (ManuallyDisabled()) {
    ShowSimMessage("Fuel Load not available - Corvane has been manually disabled", 3);
    return;
  }
  if (fuelLoading) {
    StartStopFuelLoad(false, "");
    return;
  }
  simlink::FixedPoint altitude;
  int16_t ground = 0;
  simlink::Batch batch(view_.link);
  batch.read(simlink::kAltitude, altitude).read(simlink::kGroundAltitude, ground);
  if (!QueueCapacityReads(batch, tankCapacity).process()) return;

  if (HeightAboveGround(altitude, ground) >= MinLoadHeightM)
    StartStopFuelLoad(true, "");
  else
    ShowSimMessage("Fuel load not allowed below 5000' AGL", 3);
}

void FuelTransferUnit::actFuelOFFloadExecute() {
  if (ManuallyDisabled()) {
    ShowSimMessage("Fuel OFFLoad not available - Corvane has been manually disabled", 3);
    return;
  }
  if (fuelOffloading) {
    StartStopFuelOffload(false, "");
    return;
  }
  simlink::Batch batch(view_.link);
  if (!QueueCapacityReads(batch, tankCapacity).process()) return;
  StartStopFuelOffload(true, "");
}

void FuelTransferUnit::actFuelRateToggleExecute() {
  if (ManuallyDisabled()) {
    ShowSimMessage("Fuel rate toggle not available - Corvane has been manually disabled", 3);
    return;
  }
  view_.rdgrpFuelTransferRate.setItemIndex(view_.rdgrpFuelTransferRate.itemIndex() == 0 ? 1 : 0);
  ShowSimMessage("Fuel transfer rate now set to " + view_.rdgrpFuelTransferRate.selectedText(), 7);
}

void FuelTransferUnit::StartStopFuelLoad(bool on, const std::string& reason) {
  if (fuelOffloading) {
    ShowSimMessage("Fuel OFFLoad in progress -- load request ignored", 3);
    return;
  }
  if (on && !fuelLoading)
    ShowSimMessage("Fuel Load started: " + view_.rdgrpFuelTransferRate.selectedText(), 3);
  else if (!on && fuelLoading)
    ShowSimMessage("Fuel Load terminated" + reason, 6);
  fuelLoading = on;
  view_.lblFuelTransferStatus.setText(on ? "LOADING @ " + view_.rdgrpFuelTransferRate.selectedText()
                                         : "");
}

void FuelTransferUnit::StartStopFuelOffload(bool on, const std::string& reason) {
  if (fuelLoading) {
    ShowSimMessage("Fuel Load in progress -- OffLoad request ignored", 3);
    return;
  }
  if (on && !fuelOffloading)
    ShowSimMessage("Fuel OFFLoad started: " + view_.rdgrpFuelTransferRate.selectedText(), 3);
  else if (!on && fuelOffloading)
    ShowSimMessage("Fuel OFFLoad terminated" + reason, 6);
  fuelOffloading = on;
  view_.lblFuelTransferStatus.setText(
      on ? "OFFLOADING @ " + view_.rdgrpFuelTransferRate.selectedText() : "");
}

}  // namespace fuel
