#include <gtest/gtest.h>

#include <string>

#include "edition/edition.h"
#include "fuel/fuel_transfer.h"
#include "harness/harness.h"

namespace {

enum class State { Idle, Loading, Offloading };
enum class Event { LoadRequest, OffloadRequest, LoadStep, OffloadStep };

class FuelTransfer : public ::testing::Test {
 protected:
  void SetUp() override {
    f = &h.start();
    f->chkbxDamageSounds.setChecked(false);
    f->rdgrpFuelTransferRate.setItemIndex(0);
    setHeight(3000);
    for (std::size_t i = 0; i < fuel::TankCount; ++i) setTank(i, 0, 0);
    h.clearRecords();
  }

  void setHeight(int32_t metres, uint32_t fraction = 0, int16_t ground = 0) {
    h.poke<int32_t>(simlink::kAltitude.high.offset, metres);
    h.poke<uint32_t>(simlink::kAltitude.low.offset, fraction);
    h.poke<int16_t>(simlink::kGroundAltitude.offset, ground);
  }
  void setTank(std::size_t i, uint32_t capacity, uint32_t level) {
    h.poke<uint32_t>(simlink::kFuelTanks[i].capacity.offset, capacity);
    h.poke<uint32_t>(simlink::kFuelTanks[i].level.offset, level);
  }
  uint32_t level(std::size_t i) const {
    return h.peek<uint32_t>(simlink::kFuelTanks[i].level.offset);
  }
  State state() const {
    EXPECT_FALSE(f->fuelTransfer.fuelLoading && f->fuelTransfer.fuelOffloading);
    return f->fuelTransfer.fuelLoading      ? State::Loading
           : f->fuelTransfer.fuelOffloading ? State::Offloading
                                            : State::Idle;
  }
  void run(Event e) {
    switch (e) {
      case Event::LoadRequest:
        f->actFuelLoad.execute();
        break;
      case Event::OffloadRequest:
        f->actFuelOFFload.execute();
        break;
      case Event::LoadStep:
        f->fuelTransfer.FuelLoadTick();
        break;
      case Event::OffloadStep:
        f->fuelTransfer.FuelOffloadTick();
        break;
    }
  }
  /// The one message of the last event, as "text|seconds".
  std::string onlyMessage() const {
    if (h.messages.size() != 1) return "messages: " + std::to_string(h.messages.size());
    return h.messages[0].text + "|" + std::to_string(h.messages[0].seconds);
  }

  harness::Harness h;
  TFormMain* f = nullptr;
};

TEST_F(FuelTransfer, StateTable) {
  struct Row {
    State from;
    int32_t height;
    uint32_t tankLevel;
    Event event;
    State to;
    const char* message;
    const char* label;
  };
  const Row rows[] = {
      {State::Idle, 2000, 0, Event::LoadRequest, State::Loading,
       "Fuel Load started: 500 GPM (drogue)|3", "LOADING @ 500 GPM (drogue)"},
      {State::Idle, 1000, 0, Event::LoadRequest, State::Idle,
       "Fuel load not allowed below 5000' AGL|3", ""},
      {State::Loading, 2000, 0, Event::LoadRequest, State::Idle, "Fuel Load terminated|6", ""},
      {State::Loading, 1000, 0, Event::LoadStep, State::Idle,
       "Fuel Load terminated (not allowed below 5000' AGL)|6", ""},
      {State::Loading, 2000, 8388608, Event::LoadStep, State::Idle,
       "Fuel Load terminated (tanks are full)|6", ""},
      {State::Loading, 2000, 0, Event::OffloadRequest, State::Loading,
       "Fuel Load in progress -- OffLoad request ignored|3", "LOADING @ 500 GPM (drogue)"},
      {State::Idle, 0, 4000000, Event::OffloadRequest, State::Offloading,
       "Fuel OFFLoad started: 500 GPM (drogue)|3", "OFFLOADING @ 500 GPM (drogue)"},
      {State::Offloading, 0, 4000000, Event::OffloadRequest, State::Idle,
       "Fuel OFFLoad terminated|6", ""},
      {State::Offloading, 0, 838861, Event::OffloadStep, State::Idle,
       "Fuel OFFLoad terminated (not allowed below 10% capacity)|6", ""},
      {State::Offloading, 2000, 4000000, Event::LoadRequest, State::Offloading,
       "Fuel OFFLoad in progress -- load request ignored|3", "OFFLOADING @ 500 GPM (drogue)"},
      {State::Offloading, 1000, 4000000, Event::LoadRequest, State::Offloading,
       "Fuel load not allowed below 5000' AGL|3", "OFFLOADING @ 500 GPM (drogue)"},
  };
  int n = 0;
  for (const Row& r : rows) {
    SCOPED_TRACE("row " + std::to_string(++n));
    f->fuelTransfer.StartStopFuelLoad(false, "");
    f->fuelTransfer.StartStopFuelOffload(false, "");
    setTank(0, 100, r.tankLevel);
    setHeight(3000);
    if (r.from == State::Loading) run(Event::LoadRequest);
    if (r.from == State::Offloading) run(Event::OffloadRequest);
    ASSERT_EQ(state(), r.from);
    setHeight(r.height);
    h.clearRecords();
    run(r.event);
    EXPECT_EQ(state(), r.to);
    EXPECT_EQ(onlyMessage(), r.message);
    EXPECT_EQ(f->lblFuelTransferStatus.text(), r.label);
  }
}

TEST_F(FuelTransfer, RequestsUnderManualOverrideAreRefused) {
  struct Row {
    platform::Action* action;
    const char* message;
  };
  const Row rows[] = {
      {&f->actFuelLoad, "Fuel Load not available - Corvane has been manually disabled|3"},
      {&f->actFuelOFFload, "Fuel OFFLoad not available - Corvane has been manually disabled|3"},
      {&f->actFuelRateToggle,
       "Fuel rate toggle not available - Corvane has been manually disabled|3"},
  };
  setTank(0, 100, 0);
  run(Event::LoadRequest);
  f->btnManualDisable.setDown(true);
  for (const Row& r : rows) {
    h.clearRecords();
    r.action->execute();
    EXPECT_EQ(onlyMessage(), r.message);
    EXPECT_EQ(state(), State::Loading);
    EXPECT_EQ(f->rdgrpFuelTransferRate.itemIndex(), 0);
  }
}

TEST_F(FuelTransfer, OneCentreTankTakesTheWholeFlowAndEndsExactlyFull) {
  setTank(0, 100, 0);
  run(Event::LoadRequest);
  f->fuelTransfer.FuelLoadTick();
  EXPECT_EQ(level(0), 699051u);
  f->fuelTransfer.FuelLoadTick();
  EXPECT_EQ(level(0), 2u * 699051u);
  // Ten more steps would reach 8388612; the tank stops at exactly full.
  for (int i = 0; i < 10; ++i) f->fuelTransfer.FuelLoadTick();
  EXPECT_EQ(level(0), fuel::TankFull);
  h.clearRecords();
  f->fuelTransfer.FuelLoadTick();
  EXPECT_EQ(onlyMessage(), "Fuel Load terminated (tanks are full)|6");
  EXPECT_TRUE(h.writesTo(simlink::kFuelTanks[0].level.offset).empty());
}

TEST_F(FuelTransfer, TwoTanksShareAndAbsentTanksAreNeverWritten) {
  setTank(0, 100, 0);
  setTank(2, 100, 1000);
  setTank(1, 0, 0);
  setTank(3, 0, 0);
  setTank(4, 0, 0);
  setTank(5, 0, 0);
  run(Event::LoadRequest);
  h.clearRecords();
  f->fuelTransfer.FuelLoadTick();
  EXPECT_EQ(level(0), 349525u);
  EXPECT_EQ(level(2), 1000u + 349525u);
  for (std::size_t i : {1u, 3u, 4u, 5u})
    EXPECT_TRUE(h.writesTo(simlink::kFuelTanks[i].level.offset).empty());
  // One exchange per tank: the two level writes come in tank order.
  ASSERT_EQ(h.writes.size(), 2u);
  EXPECT_EQ(h.writes[0].offset, simlink::kFuelTanks[0].level.offset);
  EXPECT_EQ(h.writes[1].offset, simlink::kFuelTanks[2].level.offset);
}

TEST_F(FuelTransfer, ToggledRateAppliesFromTheNextStepLabelKeepsTheStartRate) {
  setTank(0, 100, 0);
  run(Event::LoadRequest);
  f->fuelTransfer.FuelLoadTick();
  h.clearRecords();
  f->actFuelRateToggle.execute();
  EXPECT_EQ(onlyMessage(), "Fuel transfer rate now set to 1200 GPM (boom)|7");
  EXPECT_EQ(f->lblFuelTransferStatus.text(), "LOADING @ 500 GPM (drogue)");
  f->fuelTransfer.FuelLoadTick();
  EXPECT_EQ(level(0), 699051u + 1677722u);
  f->actFuelRateToggle.execute();
  EXPECT_EQ(f->rdgrpFuelTransferRate.itemIndex(), 0);
}

TEST_F(FuelTransfer, OffloadAtTenPercentEndsOneStepLater) {
  setTank(0, 100, 838861);
  setTank(2, 50, 100);
  run(Event::OffloadRequest);
  f->fuelTransfer.FuelOffloadTick();
  ASSERT_EQ(h.messages.size(), 2u);
  EXPECT_EQ(h.messages[0].text, "Fuel OFFLoad started: 500 GPM (drogue)");
  EXPECT_EQ(h.messages[1].text, "Fuel OFFLoad terminated (not allowed below 10% capacity)");
  EXPECT_EQ(h.messages[1].seconds, 6);
  EXPECT_TRUE(h.writesTo(simlink::kFuelTanks[0].level.offset).empty());
}

TEST_F(FuelTransfer, OffloadStopsExactlyAtTheFloor) {
  setTank(0, 100, 838861 + 1000);
  run(Event::OffloadRequest);
  f->fuelTransfer.FuelOffloadTick();
  EXPECT_EQ(level(0), fuel::OffloadFloor);
  EXPECT_TRUE(f->fuelTransfer.fuelOffloading);
}

TEST_F(FuelTransfer, LoadAtExactly1524MetresIsAccepted) {
  setTank(0, 100, 0);
  setHeight(1600, 0, 76);
  run(Event::LoadRequest);
  EXPECT_TRUE(f->fuelTransfer.fuelLoading);
  f->fuelTransfer.FuelLoadTick();
  EXPECT_TRUE(f->fuelTransfer.fuelLoading);
  EXPECT_EQ(level(0), 699051u);

  f->fuelTransfer.StartStopFuelLoad(false, "");
  setHeight(1523, 0xFFFFFFFFu, 0);
  h.clearRecords();
  run(Event::LoadRequest);
  EXPECT_EQ(onlyMessage(), "Fuel load not allowed below 5000' AGL|3");
}

TEST_F(FuelTransfer, FailedExchangeSkipsTheStepOnly) {
  setTank(0, 100, 0);
  run(Event::LoadRequest);
  h.clearRecords();
  h.transport->overrideAnswer(0);  // the exchange fails, the link stays
  f->fuelTransfer.FuelLoadTick();
  h.transport->overrideAnswer(std::nullopt);
  EXPECT_TRUE(f->fuelTransfer.fuelLoading);
  EXPECT_TRUE(h.writes.empty());
  f->fuelTransfer.FuelLoadTick();
  EXPECT_EQ(level(0), 699051u);
}

TEST_F(FuelTransfer, CapacitiesAreKeptFromTheRequest) {
  setTank(0, 100, 0);
  run(Event::LoadRequest);
  setTank(0, 200, 0);  // the aircraft changed; the stored capacity stays in force
  f->fuelTransfer.FuelLoadTick();
  EXPECT_EQ(level(0), 699051u);
  EXPECT_EQ(f->fuelTransfer.tankCapacity[0], 100u);
}

}  // namespace
