#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/form_main.h"
#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/ipc_loopback.h"
#include "platform/random.h"
#include "platform/sound_player.h"
#include "sim/scenario.h"
#include "sim/sim_server.h"
#include "sim/simulator.h"

namespace harness {

/// A message the program showed inside the simulator.
using SimMessage = sim::SimMessage;

/// A write the program sent to the simulator.
struct SimWrite {
  int64_t timeMs = 0;
  uint32_t offset = 0;
  uint32_t size = 0;
  std::vector<uint8_t> data;
  /// The value as a double (size 8) or little-endian integer (sizes 1..4).
  double asDouble() const;
  int64_t asInt() const;
};

struct Options {
  Options() { server.simIndex = IsFS2004Edition ? 7 : 6; }
  /// The server; by default it runs the simulator this edition works with.
  sim::ServerOptions server;
  /// Copy samples/Corvane.dat and samples/Corvane.INI into the program folder.
  bool copySamples = true;
  /// Whether the server's window exists when the program starts.
  bool serverPresent = true;
  /// Seed of the program's random numbers.
  uint64_t seed = 42;
  /// Every (re)start uses seed, as with corvane-cli --seed; false seeds from the wall clock.
  bool seedFixed = true;
  /// Options for flying scenarios: the flight model runs.
  static Options flying() {
    Options o;
    o.flightModel = true;
    return o;
  }
  /// Run the flight model: the aircraft moves and its state is served from the model (drive it
  /// with simulator->set()). Without it the server's bytes stay as poke() left them.
  bool flightModel = false;
  /// Integration steps per second of the flight model.
  int stepHz = 60;
  /// A written acceleration acts until the next write instead of for one step.
  bool holdAccel = false;
};

/// The program, the substitute server and a temporary program folder on one virtual clock:
/// the server runs inside each exchange, so the program's timers and the server interleave in
/// time order, and a minute of flying runs in milliseconds.
class Harness {
 public:
  explicit Harness(Options options = {});
  ~Harness();
  Harness(const Harness&) = delete;
  Harness& operator=(const Harness&) = delete;

  platform::VirtualClock clock{1'000'000};
  platform::EventLoop loop{clock};
  platform::Random random;
  /// The substitute simulator (server core, flight model, hot-key slots, scenarios).
  std::unique_ptr<sim::Simulator> simulator;
  /// Its server core.
  sim::SimServer* server = nullptr;
  std::unique_ptr<platform::LoopbackTransport> transport;
  /// The program's link to the simulator, over transport; handed to the window by start().
  simlink::Link link;
  /// The program folder (with a trailing '/'), removed when the harness ends.
  std::string folder;

  /// Writes a file into the program folder.
  void writeFile(const std::string& name, const std::string& content) const;
  /// Reads a file of the program folder ("" when missing).
  std::string readFile(const std::string& name) const;
  bool fileExists(const std::string& name) const;

  /// Creates the main window and runs its creation (the program's start-up).
  TFormMain& start();
  /// Called by start() between making the main window and its creation: where a front end
  /// binds its widgets.
  std::function<void(TFormMain&)> beforeCreate;
  TFormMain& form() { return *form_; }
  bool started() const { return form_ != nullptr; }

  /// Runs the program's timers for ms of virtual time.
  void runFor(int64_t ms);
  /// Loads a scenario file (path relative to the source tree, or absolute); false with the
  /// parser's errors in error when it does not parse.
  bool loadScenario(const std::string& path, std::string& error);
  /// Flies a scenario file of the source tree (e.g. "samples/scenarios/trap.scn") with the
  /// program connected: loads it, starts the program when not started yet, runs until the
  /// scenario ends or maxMs pass, then checks its closing expectations. Needs the flight model
  /// (Options::flightModel). A scenario with `expect log` lines is flown with the trap and launch
  /// log kept and checks the program folder's log. Returns the simulator's exit code (0 when every
  /// expectation was met), or -1 with the reason in summary when the file does not load; summary
  /// receives the simulator's summary otherwise.
  int flyScenario(const std::string& path, int64_t maxMs, std::string& summary);
  /// Runs until pred holds (checked after every tick) or maxMs pass; returns whether it held.
  bool runUntil(const std::function<bool()>& pred, int64_t maxMs);

  /// Everything the program showed, wrote, played and reported.
  std::vector<SimMessage> messages;
  std::vector<SimWrite> writes;
  std::vector<platform::SoundEvent> sounds;
  std::vector<std::string> errorBoxes;
  /// Hears of every sound event and error box as it happens (the golden recorder).
  std::function<void(const platform::SoundEvent&)> onSound;
  std::function<void(const std::string&)> onErrorBox;
  /// Texts of the messages only, in order.
  std::vector<std::string> messageTexts() const;
  /// True when a message with exactly this text was shown.
  bool sawMessage(const std::string& text) const;
  /// Writes of one offset, in order.
  std::vector<SimWrite> writesTo(uint32_t offset) const;
  /// Forgets the messages, writes and sounds seen so far.
  void clearRecords();

  /// Sets server bytes directly (the aircraft's state as the simulator would hold it).
  void poke(uint32_t offset, const void* data, uint32_t size);
  template <typename T>
  void poke(uint32_t offset, T value) {
    poke(offset, &value, sizeof value);
  }
  /// Reads server bytes.
  template <typename T>
  T peek(uint32_t offset) const {
    T v{};
    server->space().read(offset, &v, sizeof v);
    return v;
  }

 private:
  std::unique_ptr<TFormMain> form_;
  bool flightModel_ = false;
  bool scenarioExpectsLog_ = false;
};

/// Text of a request-block write of a message, up to its terminating zero.
std::string messageText(const std::vector<uint8_t>& data);

/// The value of column in the last line of a log text (CorvaneLog.csv) whose last header line
/// names the columns; "<no header>" or "<no column NAME>" when there is none.
std::string lastLineColumn(const std::string& csv, const std::string& column);

}  // namespace harness
