#pragma once

#include <array>

#include "platform/clock.h"
#include "platform/controls.h"
#include "platform/random.h"
#include "simlink/sim_link.h"

class TCues;

/// What battle damage sees of the window and its services: the override button it obeys, the
/// sound option that chooses between a message and a sound, the cues that show and play them,
/// the random source of the draws, the clock of the pause before a follow-up sound and the link
/// to the simulator.
struct TBattleDamageView {
  /// Down while the program is manually disabled.
  const platform::SpeedButton& btnManualDisable;
  const platform::CheckBox& chkbxDamageSounds;
  TCues& cues;
  platform::Random& random;
  platform::Clock& clock;
  /// The window's link to the simulator.
  simlink::Link& link;
};

/// The three battle-damage actions. Failure flags, engines and tanks are read from and written
/// back to the simulator through the window's link (simlink::Batch on view.link).
class TBattleDamage {
 public:
  explicit TBattleDamage(TBattleDamageView view) : view_(view) {}

  /// Level 1: at least one working item of the first list fails.
  void actBattleDamage1Execute();
  /// Level 2: the same with the second list; a COM radio hit is followed by the radio sound.
  void actBattleDamage2Execute();
  /// Level 3: compass, electrics, tanks and engines.
  void actBattleDamage3Execute();

  /// Failure bit of engine j (1..8) in the engine-failure byte; filled when the window is
  /// created.
  std::array<float, 9> EngineMaskTable{};

 private:
  TBattleDamageView view_;
};
