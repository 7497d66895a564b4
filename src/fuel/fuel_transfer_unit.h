#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "fuel/fuel_transfer.h"
#include "platform/controls.h"
#include "simlink/sim_link.h"

namespace fuel {

/// What the fuel transfer sees of the window: the controls it reads and writes, the manual
/// override it obeys, the link to the simulator and a way to show a message inside it.
struct FuelView {
  /// The transfer rate; its item data is the rate constant of the selected item.
  platform::RadioGroup& rdgrpFuelTransferRate;
  platform::Label& lblFuelTransferStatus;
  /// Down while the program is manually disabled.
  const platform::SpeedButton& btnManualDisable;
  /// The window's link to the simulator.
  simlink::Link& link;
  /// Shows text inside the simulator for that many seconds.
  std::function<void(const std::string& text, int16_t seconds)> showSimMessage;
};

/// The fuel transfer: loading or offloading fuel at the selected rate, one step per gate tick,
/// and the requests that start and stop it. Owns the transfer state and the tank capacities
/// read when a transfer was requested.
class FuelTransferUnit {
 public:
  explicit FuelTransferUnit(FuelView view) : view_(std::move(view)) {}

  /// "Fuel Load": starts a load when high enough, stops a running one.
  void actFuelLoadExecute();
  /// "Fuel OFFload": starts or stops an offload.
  void actFuelOFFloadExecute();
  /// "Fuel Rate Toggle": switches between the two rates.
  void actFuelRateToggleExecute();
  /// Starts or stops a load; refused while an offload runs. reason follows "terminated".
  void StartStopFuelLoad(bool on, const std::string& reason);
  /// Starts or stops an offload; refused while a load runs.
  void StartStopFuelOffload(bool on, const std::string& reason);
  /// One load step: ends the load below 5000 ft above ground or when the tanks are full.
  void FuelLoadTick();
  /// One offload step: ends the offload when no tank is above the floor.
  void FuelOffloadTick();
  /// One step of the transfer under way, if any (the gate tick calls it while enabled).
  void TransferTick();
  /// Level units per step for a tank of this capacity at the selected rate.
  uint32_t TankIncrement(uint32_t capacity) const;
  /// No transfer, no known capacities, the rate group enabled: the state after a reset.
  void Reset();

  bool fuelLoading = false;
  bool fuelOffloading = false;
  /// Capacities in gallons, read when the running transfer was requested.
  TankLevels tankCapacity{};

 private:
  bool ManuallyDisabled() const { return view_.btnManualDisable.down(); }
  void ShowSimMessage(const std::string& text, int16_t seconds) {
    view_.showSimMessage(text, seconds);
  }

  FuelView view_;
};

}  // namespace fuel
