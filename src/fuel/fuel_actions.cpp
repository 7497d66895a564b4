#include <string>

#include "app/form_main.h"
#include "fuel/fuel_transfer.h"
#include "simlink/batch.h"

namespace {

/// Queues the reads of the six capacities straight into caps.
simlink::Batch& QueueCapacityReads(simlink::Batch& batch,
                                   std::array<uint32_t, fuel::TankCount>& caps) {
  for (std::size_t i = 0; i < fuel::TankCount; ++i)
    batch.read(simlink::kFuelTanks[i].capacity, caps[i]);
  return batch;
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
  simlink::FixedPoint altitude;
  int16_t ground = 0;
  simlink::Batch batch;
  batch.read(simlink::kAltitude, altitude).read(simlink::kGroundAltitude, ground);
  if (!QueueCapacityReads(batch, tankCapacity).process()) return;

  if (fuel::HeightAboveGround(altitude, ground) >= fuel::MinLoadHeightM)
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
  simlink::Batch batch;
  if (!QueueCapacityReads(batch, tankCapacity).process()) return;
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
