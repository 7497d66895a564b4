#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

#include "catapult/plain_form.h"

namespace {

using catapult_test::PlainForm;

constexpr double kDeckLat = 36.95;
constexpr double kDeckLon = -76.3;

struct ArmCase {
  const char* name;
  uint8_t engineType = 1;
  int32_t tailWheel = 0;
  double dLat = 0;  // catapult point minus aircraft, degrees
  double dLon = 0;
  int16_t brake = 32767;
  int32_t gear = 16383;
  int16_t onGround = 1;
  int32_t zoneIndex = 0;  // NearestZoneIndex; the list holds one zone
  const char* message = "CATAPULT ARMED";
};

// The aircraft sits at the origin so that the reach boundaries are exact in doubles.
const ArmCase kArmCases[] = {
    {.name = "ready", .message = "CATAPULT ARMED"},
    {.name = "just within reach", .dLat = 0.0029, .dLon = 0.0029},
    {.name = "just within reach the other way", .dLat = -0.0029, .dLon = -0.0029},
    {.name = "helicopter far away",
     .engineType = 3,
     .tailWheel = 1,
     .dLat = 5.0,
     .onGround = 0,
     .zoneIndex = -1,
     .message = "Catapult NOT armed -- won't work with helicopters"},
    {.name = "taildragger far away",
     .tailWheel = 1,
     .dLat = 5.0,
     .message = "Catapult NOT armed -- won't work with taildraggers"},
    {.name = "tail-wheel value 2", .tailWheel = 2, .message = "Catapult NOT armed -- "},
    {.name = "0.003 north",
     .dLat = 0.003,
     .brake = 0,
     .message = "Catapult NOT armed -- too far from nearest known cables"},
    {.name = "0.003 west",
     .dLon = -0.003,
     .message = "Catapult NOT armed -- too far from nearest known cables"},
    {.name = "no nearest zone yet",
     .zoneIndex = -1,
     .message = "Catapult NOT armed -- too far from nearest known cables"},
    {.name = "index past the zone list",
     .zoneIndex = 5,
     .message = "Catapult NOT armed -- too far from nearest known cables"},
    {.name = "airborne, gear up, brake off",
     .brake = 0,
     .gear = 0,
     .onGround = 0,
     .message = "Catapult NOT armed -- aircraft not in a landed state"},
    {.name = "gear up, brake off",
     .brake = 0,
     .gear = 0,
     .message = "Catapult NOT armed -- check landing gear and lever"},
    {.name = "brake not fully set",
     .brake = 32766,
     .message = "Catapult NOT armed -- parking brake is not set"},
    {.name = "odd on-ground value", .onGround = 2, .message = "Catapult NOT armed -- "},
};

TEST(CatapultArming, RefusalsComeInTheirOrderWithOneReason) {
  for (const ArmCase& c : kArmCases) {
    SCOPED_TRACE(c.name);
    PlainForm p;
    p.readyOnDeck();
    p.h.poke<uint8_t>(0x0609, c.engineType);
    p.h.poke<int32_t>(0x0790, c.tailWheel);
    p.h.poke<int16_t>(0x0BC8, c.brake);
    p.h.poke<int32_t>(0x0BE8, c.gear);
    p.h.poke<int16_t>(0x0366, c.onGround);
    p.placeAircraft(0.0, 0.0);
    p.setCatapultPoint(c.dLat, c.dLon);
    p.form->arrest.NearestZoneIndex = c.zoneIndex;

    p.form->actCatapultArm.execute();

    ASSERT_EQ(p.h.messages.size(), 1u);
    EXPECT_EQ(p.h.messages[0].text, c.message);
    EXPECT_EQ(p.h.messages[0].seconds, 3);
    EXPECT_EQ(p.form->tmrLaunchCheck.enabled(), std::string(c.message) == "CATAPULT ARMED");
  }
}

TEST(CatapultArming, ReachAtACarrierPosition) {
  PlainForm p;
  p.readyOnDeck();
  p.placeAircraft(kDeckLat, kDeckLon);
  p.setCatapultPoint(kDeckLat + 0.0029, kDeckLon + 0.0029);
  p.form->catapult.actCatapultArmExecute();
  EXPECT_TRUE(p.form->tmrLaunchCheck.enabled());

  PlainForm q;
  q.readyOnDeck();
  q.placeAircraft(kDeckLat, kDeckLon);
  q.setCatapultPoint(kDeckLat + 0.0031, kDeckLon);
  q.form->catapult.actCatapultArmExecute();
  EXPECT_FALSE(q.form->tmrLaunchCheck.enabled());
}

TEST(CatapultArming, ArmingStopsTheArrestTimersAndDisarmingOnlyTheHold) {
  PlainForm p;
  p.readyOnDeck();
  p.placeAircraft(kDeckLat, kDeckLon);
  p.setCatapultPoint(kDeckLat, kDeckLon);
  TFormMain& f = *p.form;
  for (platform::Timer* t : f.timers()) t->setEnabled(true);
  f.tmrLaunchCheck.setEnabled(false);
  f.tmrKeystroke.setEnabled(true);
  f.cues.catapultSoundPlayed = true;

  f.catapult.actCatapultArmExecute();
  EXPECT_EQ(p.h.messageTexts(), std::vector<std::string>{"CATAPULT ARMED"});
  EXPECT_FALSE(f.cues.catapultSoundPlayed);
  for (platform::Timer* t :
       {&f.tmrAccel, &f.tmrCheckForCatch, &f.tmrDecel, &f.tmrIsCatchCheckNeeded, &f.tmrFindNearest})
    EXPECT_FALSE(t->enabled()) << t->name();
  EXPECT_TRUE(f.tmrLaunchCheck.enabled());
  EXPECT_TRUE(f.tmrKeystroke.enabled());  // the catapult key can still disarm

  f.cues.catapultSoundPlayed = true;
  f.catapult.actCatapultArmExecute();
  EXPECT_EQ(p.h.messageTexts().back(), "Catapult disarmed");
  EXPECT_FALSE(f.tmrLaunchCheck.enabled());
  EXPECT_FALSE(f.cues.catapultSoundPlayed);
  EXPECT_FALSE(f.tmrFindNearest.enabled());
  EXPECT_FALSE(f.tmrIsCatchCheckNeeded.enabled());

  // A third use runs every test again.
  p.h.poke<int16_t>(0x0BC8, 0);
  f.catapult.actCatapultArmExecute();
  EXPECT_EQ(p.h.messageTexts().back(), "Catapult NOT armed -- parking brake is not set");
  EXPECT_FALSE(f.tmrLaunchCheck.enabled());
}

TEST(CatapultArming, ManualDisableRefusesWhetherArmedOrNot) {
  PlainForm p;
  p.readyOnDeck();
  p.placeAircraft(kDeckLat, kDeckLon);
  p.setCatapultPoint(kDeckLat, kDeckLon);
  TFormMain& f = *p.form;
  f.btnManualDisable.setDown(true);
  f.cues.catapultSoundPlayed = true;
  f.catapult.actCatapultArmExecute();
  EXPECT_FALSE(f.tmrLaunchCheck.enabled());

  f.tmrLaunchCheck.setEnabled(true);
  f.catapult.actCatapultArmExecute();
  EXPECT_TRUE(f.tmrLaunchCheck.enabled());  // the next launch-check tick disarms
  EXPECT_TRUE(f.cues.catapultSoundPlayed);
  EXPECT_EQ(
      p.h.messageTexts(),
      std::vector<std::string>(2, "Catapult not available - Corvane has been manually disabled"));
}

// Fails every exchange whose first request reads the given offset.
void failBatchesReading(PlainForm& p, std::optional<uint32_t> offset) {
  p.h.transport->onBatch = [&p, offset](uint8_t* block, size_t) {
    uint32_t id = 0, first = 0;
    std::memcpy(&id, block, 4);
    std::memcpy(&first, block + 4, 4);
    const bool fail = offset && id == 1 && first == *offset;
    p.h.transport->overrideAnswer(fail ? std::optional<uint32_t>(0) : std::nullopt);
  };
}

TEST(CatapultArming, FailedExchanges) {
  struct Case {
    uint32_t failing;
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {0x0609, {}},  // aircraft type: silent
      {0x0568, {}},  // position: silent
      {0x0BC8, {"Catapult NOT armed -- "}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failing);
    PlainForm p;
    p.readyOnDeck();
    p.placeAircraft(kDeckLat, kDeckLon);
    p.setCatapultPoint(kDeckLat, kDeckLon);
    failBatchesReading(p, c.failing);
    p.form->catapult.actCatapultArmExecute();
    EXPECT_EQ(p.h.messageTexts(), c.messages);
    EXPECT_FALSE(p.form->tmrLaunchCheck.enabled());
  }
}

}  // namespace
