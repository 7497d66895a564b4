#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "sim/catch_entry.h"
#include "sim/flight_model.h"
#include "sim/hot_keys.h"
#include "sim/motion_summary.h"
#include "sim/observer.h"
#include "sim/reaction.h"
#include "sim/scenario.h"
#include "sim/sim_server.h"

namespace sim {

/// Everything that shapes a simulator run.
struct SimulatorOptions {
  ServerOptions server;
  /// Integration steps per second of the flight model.
  int stepHz = 60;
  /// Number of hot-key slots offered (at most HotKeyTable::kMaxSlots).
  uint32_t hotKeySlots = 56;
  ModelTuning tuning;
  /// The wind at the aircraft when the simulator starts: knots, and degrees true it blows from.
  double windKt = 0;
  double windFromDeg = 0;
};

/// Outcome of one expectation line.
struct ExpectationResult {
  int line = 0;
  bool passed = false;
  std::string source;
  std::string detail;  // why it failed
};

/// The substitute simulator: the server core, the flight model on its own fixed step, the
/// hot-key table, the observation log and the scenario runner, all on one clock. Single-
/// threaded: the caller serializes handleBlock and advanceTo.
class Simulator {
 public:
  Simulator(platform::Clock& clock, SimulatorOptions options = {});
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  /// Serves one request block (brings the model up to the clock's time first). Returns 1 when
  /// done, 0 for a malformed block. Does not block.
  uint32_t handleBlock(uint8_t* block, size_t size);
  /// A handler for a transport: calls handleBlock.
  std::function<uint32_t(uint8_t*, size_t)> handler();
  /// Integrates fixed steps up to the clock time ms (never backwards).
  void advanceTo(int64_t ms);
  /// Integrates up to the clock's current time.
  void advanceToNow() { advanceTo(server_.clock().nowMs()); }

  /// Takes a parsed scenario; its clock starts at the first handshake or at startScenario().
  void loadScenario(Scenario scenario);
  /// Starts the scenario clock now (no effect when started already).
  void startScenario();
  /// Ends the scenario now: runs the `at end` expectations; timed expectations not yet reached
  /// fail. No effect when it ended already.
  void finishScenario();
  bool scenarioLoaded() const { return loaded_; }
  bool scenarioStarted() const { return startUs_.has_value(); }
  bool scenarioFinished() const { return finished_; }
  const std::vector<ExpectationResult>& results() const { return results_; }
  int failedExpectations() const;
  /// 0 when every expectation was met, 1 otherwise.
  int exitCode() const { return failedExpectations() == 0 ? 0 : 1; }
  /// The end-of-run summary: expectations, then the arrest and launch figures and the
  /// client's reaction times.
  std::string summaryText() const;

  /// Sets a field in user units (as a scenario's `set` does, ending the approach when it moves
  /// the aircraft); returns an error text or empty.
  std::string set(const std::string& field, double value);
  /// Presses a key in the hot-key table; returns the slots marked.
  int pressKey(HotKey key);
  /// Copies the model's state into the offset space (after changing model().state() directly).
  void publish();

  /// The approach being flown (from an `approach` line until the aircraft is on the surface
  /// or a `set` line moves it), if any.
  const std::optional<Approach>& approach() const { return approach_; }

  /// The program's trap and launch log that `expect log` lines read.
  void setLogFile(std::string path) { logFile_ = std::move(path); }

  /// Writes a CSV line of the aircraft state after every step (header written at once);
  /// null stops the trace.
  void setTrace(std::ostream* out);

  /// Time on the observation clock (scenario time once started), microseconds.
  int64_t observationUs() const;
  /// Microseconds from the simulator's start to the end of the last step.
  int64_t simUs() const;

  SimServer& server() { return server_; }
  FlightModel& model() { return model_; }
  HotKeyTable& hotKeys() { return hotKeys_; }
  Observer& observer() { return observer_; }
  const Observer& observer() const { return observer_; }
  const MotionTracker& motion() const { return motion_; }
  const ReactionTracker& reaction() const { return reaction_; }
  /// Where the path entered a catch area given with its landing direction.
  const CatchEntryTracker& catchEntries() const { return catchEntries_; }

 private:
  int64_t stepUs(int64_t n) const { return n * 1'000'000 / options_.stepHz; }
  int64_t clockUs() const { return server_.clock().nowUs() - originMs_ * 1000; }
  int64_t obsTime(int64_t usSinceOrigin) const;
  void doStep();
  void runDue(int64_t usSinceOrigin);
  void execute(const ScenarioCommand& c, int64_t usSinceOrigin);
  ExpectationResult check(const ScenarioCommand& c) const;
  void installHooks();
  void flushMessage();
  void traceRow(int64_t usSinceOrigin);
  void noteApproach(int64_t when);

  SimulatorOptions options_;
  SimServer server_;
  FlightModel model_;
  HotKeyTable hotKeys_;
  Observer observer_;
  MotionTracker motion_;
  ReactionTracker reaction_;
  CatchEntryTracker catchEntries_;
  int64_t originMs_;
  int64_t steps_ = 0;
  bool messagePending_ = false;

  Scenario scenario_;
  bool loaded_ = false;
  size_t next_ = 0;
  std::optional<int64_t> startUs_;
  bool finished_ = false;
  int64_t finishedUs_ = 0;
  std::vector<ExpectationResult> results_;

  std::optional<Approach> approach_;
  int64_t approachNotedUs_ = 0;

  std::ostream* trace_ = nullptr;
  std::string logFile_;
};

}  // namespace sim
