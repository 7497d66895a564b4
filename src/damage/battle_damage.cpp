#include <array>
#include <string>

#include "damage/battle_damage.h"

#include "cues/cues.h"
#include "damage/damage_rules.h"
#include "edition/edition.h"
#include "simlink/batch.h"

namespace {

/// One draw of a whole number from 1 to 100.
int Draw(platform::Random& random) { return random.next(100) + 1; }

/// The headline when the key item was not hit and sounds are off.
std::string Headline(int level) { return "BATTLE DAMAGE (" + std::to_string(level) + ") INCURRED"; }

/// What differs between levels 1 and 2.
struct FlagLevel {
  int level;
  const char* refusal;
  const char* keyMessage;
  std::size_t keyItem;
  /// Level 2 follows a COM radio hit with the radio sound.
  bool radioSoundOnKeyHit;
};

/// Levels 1 and 2: fail at least one working item of the list, then write the list back.
template <std::size_t N>
void DamageFlagList(const TBattleDamageView& view, const std::array<simlink::Var<uint8_t>, N>& vars,
                    const FlagLevel& lvl) {
  if (view.btnManualDisable.down()) {
    view.cues.ShowSimMessage(lvl.refusal, 3);
    return;
  }
  view.cues.PlayDamageSound(damage::FarExplosion);

  std::array<uint8_t, N> flags{};
  simlink::Batch read(view.link);
  for (std::size_t i = 0; i < N; ++i) read.read(vars[i], flags[i]);
  if (!read.process()) return;

  std::array<bool, N> candidate{};
  int count = 0;
  for (std::size_t i = 0; i < N; ++i) {
    candidate[i] = flags[i] == 0;
    if (candidate[i]) ++count;
  }
  if (count == 0) return;

  std::array<bool, N> hit{};
  damage::DrawHits(
      candidate, damage::HitChance(count), [&view] { return Draw(view.random); }, hit);
  std::array<uint8_t, N> results = flags;
  for (std::size_t i = 0; i < N; ++i)
    if (hit[i]) results[i] = 1;
  const bool keyHit = hit[lvl.keyItem];

  if (!view.chkbxDamageSounds.checked()) {
    if (keyHit)
      view.cues.ShowSimMessage(lvl.keyMessage, 5);
    else
      view.cues.ShowSimMessage(Headline(lvl.level), 1);
  } else if (lvl.radioSoundOnKeyHit && keyHit) {
    view.clock.sleepMs(1200);
    view.cues.PlayDamageSound(damage::Radio);
  }

  simlink::Batch write(view.link);
  for (std::size_t i = 0; i < N; ++i) write.write(vars[i], results[i]);
  write.process();
}

}  // namespace

void TBattleDamage::actBattleDamage1Execute() {
  DamageFlagList(view_, simlink::kDamageLevel1,
                 {1, "Battle Damage 1 not available - Corvane has been manually disabled",
                  edition::BattleDamage1KeyMessage, damage::Level1KeyItem, false});
}

void TBattleDamage::actBattleDamage2Execute() {
  DamageFlagList(view_, simlink::kDamageLevel2,
                 {2, "Battle Damage 2 not available - Corvane has been manually disabled",
                  edition::BattleDamage2KeyMessage, damage::Level2KeyItem, true});
}

void TBattleDamage::actBattleDamage3Execute() {
  if (view_.btnManualDisable.down()) {
    view_.cues.ShowSimMessage("Battle Damage 3 not available - Corvane has been manually disabled",
                              3);
    return;
  }
  view_.cues.PlayDamageSound(damage::NearExplosion);

  damage::Level3State s;
  simlink::Batch read(view_.link);
  for (std::size_t i = 0; i < s.flags.size(); ++i) read.read(simlink::kDamageLevel3[i], s.flags[i]);
  read.read(simlink::kEngineFailures, s.engineFailures).read(simlink::kEngineCount, s.engineCount);
  for (std::size_t t = 0; t < damage::TankCount; ++t)
    read.read(simlink::kFuelTanks[t].level, s.tankLevels[t]);
  for (std::size_t t = 0; t < damage::TankCount; ++t)
    read.read(simlink::kFuelTanks[t].capacity, s.tankCapacities[t]);
  if (!read.process()) return;

  std::array<uint8_t, damage::MaxEngines> masks{};
  for (std::size_t j = 1; j <= damage::MaxEngines; ++j)
    masks[j - 1] = static_cast<uint8_t>(EngineMaskTable[j]);
  const auto candidate = damage::Level3Candidates(s, masks);
  int count = 0;
  for (bool c : candidate) count += c ? 1 : 0;
  if (count == 0) return;

  std::array<bool, damage::Level3Positions> hit{};
  damage::DrawHits(
      candidate, damage::HitChance(count), [this] { return Draw(view_.random); }, hit);
  const damage::Level3State r = damage::ApplyLevel3Hits(s, hit, masks);
  const bool compassHit = hit[damage::Level3CompassItem];
  const bool electricsHit = hit[damage::Level3ElectricsItem];

  if (!view_.chkbxDamageSounds.checked()) {
    if (compassHit)
      view_.cues.ShowSimMessage(edition::BattleDamage3KeyMessage, 5);
    else
      view_.cues.ShowSimMessage(Headline(3), 1);
  } else if (electricsHit) {
    view_.clock.sleepMs(1000);
    view_.cues.PlayDamageSound(damage::ElectricalSystem);
  }

  simlink::Batch write(view_.link);
  for (std::size_t i = 0; i < r.flags.size(); ++i)
    write.write(simlink::kDamageLevel3[i], r.flags[i]);
  write.write(simlink::kEngineFailures, r.engineFailures);
  for (std::size_t t = 0; t < damage::TankCount; ++t)
    write.write(simlink::kFuelTanks[t].level, r.tankLevels[t]);
  write.process();
}
