#pragma once

#include <cmath>
#include <cstdint>
#include <memory>

#include "app/form_main.h"
#include "harness/harness.h"
#include "simlink/offsets.h"
#include "simlink/sim_link.h"

namespace catapult_test {

/// A main window that has not run its start-up, linked to the substitute server of a harness:
/// the link is open and everything else is up to the test.
struct PlainForm {
  harness::Harness h;
  std::unique_ptr<TFormMain> form;

  PlainForm() {
    TFormServices services;
    services.loop = &h.loop;
    services.random = &h.random;
    services.programFolder = h.folder;
    services.link = &h.link;
    form = std::make_unique<TFormMain>(std::move(services));
    uint32_t result = 0;
    h.link.SimLinkOpen(0, result);
    h.clearRecords();
  }
  ~PlainForm() {
    form.reset();
    h.link.SimLinkClose();
  }

  /// Places the aircraft at lat/lon degrees as the server encodes them.
  void placeAircraft(double latDeg, double lonDeg) { placeAt(h, latDeg, lonDeg); }
  /// The same on any harness's server.
  static void placeAt(harness::Harness& on, double latDeg, double lonDeg) {
    pokeFixed(on, simlink::kLatitude.low.offset, latDeg / simlink::DegreesPerLatUnit);
    pokeFixed(on, simlink::kLongitude.low.offset, lonDeg / simlink::DegreesPerAngleUnit);
  }
  /// One loaded zone whose front-left corner (the catapult point) is at lat/lon; it is the
  /// nearest zone.
  void setCatapultPoint(double latDeg, double lonDeg) {
    auto zone = std::make_unique<TCatchZoneData>();
    zone->CarrierIdent = "TEST";
    zone->FrontLeftCornerLat = latDeg;
    zone->FrontLeftCornerLon = lonDeg;
    form->carrierData.CatchZones = std::make_unique<TCatchZoneList>();
    form->carrierData.CatchZones->push_back(std::move(zone));
    form->arrest.NearestZoneIndex = 0;
  }
  /// The aircraft of a launch: a jet on the deck, gear down, brake set, engines idle.
  void readyOnDeck() {
    h.poke<uint8_t>(simlink::kEngineType.offset, 1);
    h.poke<int32_t>(simlink::kTailWheel.offset, 0);
    h.poke<int16_t>(simlink::kParkingBrake.offset, 32767);
    h.poke<int32_t>(simlink::kGearLever.offset, 16383);
    h.poke<int16_t>(simlink::kOnGround.offset, 1);
    h.poke<int16_t>(simlink::kThrottle1.offset, 0);
    h.poke<double>(simlink::kForwardSpeed.offset, 0.0);
  }
  /// Values the program wrote to one offset, as integers.
  std::vector<int64_t> intWrites(uint32_t offset) const {
    std::vector<int64_t> out;
    for (const auto& w : h.writesTo(offset)) out.push_back(w.asInt());
    return out;
  }

 private:
  static void pokeFixed(harness::Harness& on, uint32_t lowOffset, double value) {
    const double high = std::floor(value);
    on.poke<uint32_t>(lowOffset, static_cast<uint32_t>((value - high) * simlink::FractionScale));
    on.poke<int32_t>(lowOffset + 4, static_cast<int32_t>(high));
  }
};

}  // namespace catapult_test
