// The scenario parser: any text gives a scenario or a list of bad lines, never a crash; a
// parsed scenario is kept in time order, and flying its first seconds on the simulator (any
// field set to any value) runs without undefined behaviour.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "platform/clock.h"
#include "sim/scenario.h"
#include "sim/simulator.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  sim::Scenario scenario;
  std::vector<sim::ScenarioError> errors;
  const bool ok = sim::parseScenario(text, scenario, errors);
  FUZZ_CHECK(ok == errors.empty());
  for (const sim::ScenarioError& e : errors) FUZZ_CHECK(e.line >= 1 && !e.message.empty());
  if (!ok) return 0;
  for (size_t i = 1; i < scenario.timed.size(); ++i)
    FUZZ_CHECK(scenario.timed[i - 1].atUs <= scenario.timed[i].atUs);
  for (const sim::ScenarioCommand& c : scenario.atEnd) FUZZ_CHECK(c.atEnd);

  platform::VirtualClock clock;
  auto simulator = std::make_unique<sim::Simulator>(clock);
  simulator->loadScenario(std::move(scenario));
  simulator->startScenario();
  for (int i = 0; i < 4; ++i) {
    clock.advanceTo(clock.nowMs() + 500);
    simulator->advanceToNow();
  }
  simulator->finishScenario();
  FUZZ_CHECK(simulator->scenarioFinished());
  (void)simulator->summaryText();
  return 0;
}
