#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "damage/damage_rules.h"
#include "edition/edition.h"
#include "harness/harness.h"

namespace {

// The failure bytes and tank variables by offset, for poking and peeking the server.
template <std::size_t N>
std::vector<uint32_t> offsetsOf(const std::array<simlink::Var<uint8_t>, N>& vars) {
  std::vector<uint32_t> out;
  for (const auto& v : vars) out.push_back(v.offset);
  return out;
}
const std::vector<uint32_t> Level1Flags = offsetsOf(simlink::kDamageLevel1);
const std::vector<uint32_t> Level2Flags = offsetsOf(simlink::kDamageLevel2);
const std::vector<uint32_t> Level3Flags = offsetsOf(simlink::kDamageLevel3);
constexpr uint32_t EngineFailureByte = simlink::kEngineFailures.offset;
constexpr uint32_t EngineCountVar = simlink::kEngineCount.offset;
uint32_t TankLevelVar(std::size_t t) { return simlink::kFuelTanks[t].level.offset; }
uint32_t TankCapacityVar(std::size_t t) { return simlink::kFuelTanks[t].capacity.offset; }

class BattleDamage : public ::testing::Test {
 protected:
  void SetUp() override {
    f = &h.start();
    f->btnManualDisable.setDown(false);
    f->chkbxDamageSounds.setChecked(false);
    for (uint32_t v : Level1Flags) h.poke<uint8_t>(v, 1);
    for (uint32_t v : Level2Flags) h.poke<uint8_t>(v, 1);
    for (uint32_t v : Level3Flags) h.poke<uint8_t>(v, 1);
    h.poke<uint8_t>(EngineFailureByte, 0);
    h.poke<int16_t>(EngineCountVar, 0);
    for (std::size_t t = 0; t < damage::TankCount; ++t) setTank(t, 0, 0);
    h.clearRecords();
  }
  void setTank(std::size_t t, uint32_t capacity, uint32_t level) {
    h.poke<uint32_t>(TankCapacityVar(t), capacity);
    h.poke<uint32_t>(TankLevelVar(t), level);
  }
  uint8_t flag(uint32_t v) const { return h.peek<uint8_t>(v); }
  /// Files the damage player was asked to play, in order.
  std::vector<std::string> played() const {
    std::vector<std::string> out;
    for (const auto& e : h.sounds)
      if (e.player == "mplyrBattleDamage" && e.what == "play") out.push_back(e.file);
    return out;
  }
  std::string onlyMessage() const {
    if (h.messages.size() != 1) return "messages: " + std::to_string(h.messages.size());
    return h.messages[0].text + "|" + std::to_string(h.messages[0].seconds);
  }
  /// Offsets written, messages left out.
  std::vector<uint32_t> writtenOffsets() const {
    std::vector<uint32_t> out;
    for (const auto& w : h.writes)
      if (w.offset != 0x3380 && w.offset != 0x32FA) out.push_back(w.offset);
    return out;
  }

  harness::Harness h;
  TFormMain* f = nullptr;
};

TEST_F(BattleDamage, RefusedUnderManualOverrideWithoutSound) {
  f->chkbxDamageSounds.setChecked(true);
  f->btnManualDisable.setDown(true);
  const struct {
    platform::Action* action;
    const char* message;
  } rows[] = {
      {&f->actBattleDamage1,
       "Battle Damage 1 not available - Corvane has been manually disabled|3"},
      {&f->actBattleDamage2,
       "Battle Damage 2 not available - Corvane has been manually disabled|3"},
      {&f->actBattleDamage3,
       "Battle Damage 3 not available - Corvane has been manually disabled|3"},
  };
  for (const auto& r : rows) {
    h.clearRecords();
    r.action->execute();
    EXPECT_EQ(onlyMessage(), r.message);
    EXPECT_TRUE(h.sounds.empty());
    EXPECT_TRUE(writtenOffsets().empty());
  }
}

TEST_F(BattleDamage, OneCandidateIsAlwaysHitAndTheListIsWrittenInOrder) {
  h.poke<uint8_t>(0x0B70, 0);
  f->actBattleDamage1.execute();
  EXPECT_EQ(flag(0x0B70), 1);
  EXPECT_EQ(onlyMessage(), "BATTLE DAMAGE (1) INCURRED|1");
  EXPECT_EQ(writtenOffsets(), std::vector<uint32_t>(Level1Flags.begin(), Level1Flags.end()));
}

TEST_F(BattleDamage, KeyItemMessagesWithSoundsOff) {
  const struct {
    platform::Action* action;
    uint32_t keyFlag;
    const char* message;
  } rows[] = {
      {&f->actBattleDamage1, 0x0B6F, edition::BattleDamage1KeyMessage},
      {&f->actBattleDamage2, 0x0B68, edition::BattleDamage2KeyMessage},
      {&f->actBattleDamage3, 0x0B69, edition::BattleDamage3KeyMessage},
  };
  for (const auto& r : rows) {
    h.clearRecords();
    h.poke<uint8_t>(r.keyFlag, 0);
    const int64_t before = h.clock.nowMs();
    r.action->execute();
    EXPECT_EQ(flag(r.keyFlag), 1);
    EXPECT_EQ(onlyMessage(), std::string(r.message) + "|5");
    EXPECT_TRUE(played().empty());
    EXPECT_EQ(h.clock.nowMs(), before);
  }
}

TEST_F(BattleDamage, SoundPathsWithSoundsOn) {
  f->chkbxDamageSounds.setChecked(true);

  // Level 2, COM radio hit: far explosion, 1200 ms, radio; no message.
  h.poke<uint8_t>(0x0B68, 0);
  int64_t before = h.clock.nowMs();
  f->actBattleDamage2.execute();
  EXPECT_EQ(played(), (std::vector<std::string>{"DamageFarExplosion.wav", "DamageRadio.wav"}));
  EXPECT_EQ(h.clock.nowMs() - before, 1200);
  EXPECT_TRUE(h.messages.empty());
  EXPECT_EQ(flag(0x0B68), 1);

  // Level 3, electrical system hit: near explosion, 1000 ms, electrical system.
  h.clearRecords();
  h.poke<uint8_t>(0x0B6A, 0);
  before = h.clock.nowMs();
  f->actBattleDamage3.execute();
  EXPECT_EQ(played(),
            (std::vector<std::string>{"DamageNearExplosion.wav", "DamageElectricalSystem.wav"}));
  EXPECT_EQ(h.clock.nowMs() - before, 1000);
  EXPECT_TRUE(h.messages.empty());

  // Levels 1 and 3 without a key-item sound: the opening sound only, no message, no pause.
  h.clearRecords();
  h.poke<uint8_t>(0x0B6F, 0);  // the transponder has no sound of its own
  h.poke<uint8_t>(0x0B69, 0);  // neither has the compass
  before = h.clock.nowMs();
  f->actBattleDamage1.execute();
  f->actBattleDamage3.execute();
  EXPECT_EQ(played(),
            (std::vector<std::string>{"DamageFarExplosion.wav", "DamageNearExplosion.wav"}));
  EXPECT_TRUE(h.messages.empty());
  EXPECT_EQ(h.clock.nowMs(), before);
}

TEST_F(BattleDamage, ExhaustedListsOnlyPlayTheOpeningSound) {
  f->chkbxDamageSounds.setChecked(true);
  f->actBattleDamage1.execute();
  f->actBattleDamage2.execute();
  f->actBattleDamage3.execute();
  EXPECT_EQ(played(), (std::vector<std::string>{"DamageFarExplosion.wav", "DamageFarExplosion.wav",
                                                "DamageNearExplosion.wav"}));
  EXPECT_TRUE(writtenOffsets().empty());
  EXPECT_TRUE(h.messages.empty());
}

TEST_F(BattleDamage, RepeatedRequestsFailTheWholeListAndNeverRepair) {
  for (uint32_t v : Level2Flags) h.poke<uint8_t>(v, 0);
  h.poke<uint8_t>(0x0B66, 2);  // an unexpected value: no candidate, written back as it was
  int requests = 0;
  int failed = 0;
  while (failed < 4 && requests < 10) {
    f->actBattleDamage2.execute();
    ++requests;
    int now = 0;
    for (uint32_t v : Level2Flags) now += flag(v) == 1 ? 1 : 0;
    EXPECT_GT(now, failed) << "every request fails at least one more item";
    failed = now;
  }
  EXPECT_EQ(failed, 4);
  EXPECT_EQ(flag(0x0B66), 2);
  EXPECT_LE(requests, 4);
}

TEST_F(BattleDamage, TwoEngineAircraftNeverTouchesBits2To7) {
  h.poke<int16_t>(EngineCountVar, 2);
  for (int i = 0; i < 40; ++i) {
    h.poke<uint8_t>(EngineFailureByte, 0);
    f->actBattleDamage3.execute();
    const uint8_t b = h.peek<uint8_t>(EngineFailureByte);
    EXPECT_NE(b, 0);
    EXPECT_EQ(b & 0xFC, 0);
  }
  // An engine whose bit is set is no candidate: engine 2 is the only one left.
  h.poke<uint8_t>(EngineFailureByte, 1);
  f->actBattleDamage3.execute();
  EXPECT_EQ(h.peek<uint8_t>(EngineFailureByte), 3);
}

TEST_F(BattleDamage, TankHits) {
  const struct {
    uint32_t capacity, level, after;
  } rows[] = {
      {100, 8388608, 6291456},
      {100, 1000000, 0},
  };
  for (const auto& r : rows) {
    setTank(3, r.capacity, r.level);
    setTank(0, 0, 8388608);  // absent tank: never hit
    setTank(1, 100, 0);      // empty tank: never hit
    h.clearRecords();
    f->actBattleDamage3.execute();
    EXPECT_EQ(h.peek<uint32_t>(TankLevelVar(3)), r.after);
    EXPECT_EQ(h.peek<uint32_t>(TankLevelVar(0)), 8388608u);
    EXPECT_EQ(h.peek<uint32_t>(TankLevelVar(1)), 0u);
    EXPECT_EQ(onlyMessage(), "BATTLE DAMAGE (3) INCURRED|1");
  }
}

TEST_F(BattleDamage, Level3WritesInOrderAndNeverTheCountOrCapacities) {
  h.poke<int16_t>(EngineCountVar, 1);
  f->actBattleDamage3.execute();
  std::vector<uint32_t> expected{0x0B69, 0x0B6A, 0x0B6C, 0x0B6B};
  for (const auto& tank : simlink::kFuelTanks) expected.push_back(tank.level.offset);
  EXPECT_EQ(writtenOffsets(), expected);
  EXPECT_EQ(h.peek<uint8_t>(EngineFailureByte), 1);
}

TEST_F(BattleDamage, FailedReadWritesNothing) {
  h.poke<uint8_t>(0x0B64, 0);
  h.transport->failSends(10, 0);
  f->actBattleDamage1.execute();
  EXPECT_EQ(flag(0x0B64), 0);
  EXPECT_TRUE(h.writes.empty());
}

}  // namespace
