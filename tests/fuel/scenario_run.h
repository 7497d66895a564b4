#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/form_main.h"
#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/ipc_loopback.h"
#include "platform/random.h"
#include "platform/sound_player.h"
#include "sim/scenario.h"
#include "sim/simulator.h"
#include "simlink/sim_link.h"

namespace fuel_test {

/// Flies a sample scenario in the substitute simulator with the program connected in-process,
/// on one virtual clock and with fixed random numbers.
class ScenarioRun {
 public:
  explicit ScenarioRun(const std::string& scenarioName)
      : loop_(clock_), sim_(clock_, simOptions()), transport_(sim_.handler()) {
    namespace fs = std::filesystem;
    random_.fixSeed(7);
    transport_.setClock(&clock_);
    SimLinkConfigure(&transport_, &clock_);
    const fs::path samples = fs::path(CORVANE_SOURCE_DIR) / "samples";
    folder_ = fs::temp_directory_path() /
              ("corvane_scn_" + scenarioName + "_" + std::to_string(reinterpret_cast<uintptr_t>(this)));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    for (const char* name : {"Corvane.dat", "Corvane.INI"}) fs::copy_file(samples / name, folder_ / name);
    std::ifstream in(samples / "scenarios" / scenarioName, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    sim::Scenario scenario;
    std::vector<sim::ScenarioError> errors;
    parsed = sim::parseScenario(text.str(), scenario, errors);
    for (const auto& e : errors) parseErrors += std::to_string(e.line) + ": " + e.message + "\n";
    sim_.loadScenario(std::move(scenario));
  }
  ~ScenarioRun() {
    form_.reset();
    SimLinkClose();
    SimLinkConfigure(nullptr, nullptr);
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  ScenarioRun(const ScenarioRun&) = delete;
  ScenarioRun& operator=(const ScenarioRun&) = delete;

  /// Starts the program and runs until the scenario ends (or maxMs of virtual time).
  void run(int64_t maxMs) {
    TFormServices services;
    services.loop = &loop_;
    services.random = &random_;
    services.programFolder = folder_.string() + "/";
    services.soundPlayers = [this](const std::string& name) {
      return std::make_unique<platform::RecordingSoundPlayer>(name, &sounds);
    };
    form_ = std::make_unique<TFormMain>(std::move(services));
    form_->FormCreate();
    const int64_t end = clock_.nowMs() + maxMs;
    while (!sim_.scenarioFinished() && clock_.nowMs() < end) {
      loop_.runUntil(clock_.nowMs() + 100);
      sim_.advanceToNow();
    }
    sim_.finishScenario();
  }

  sim::Simulator& sim() { return sim_; }
  TFormMain& form() { return *form_; }
  bool parsed = false;
  std::string parseErrors;
  std::vector<platform::SoundEvent> sounds;

 private:
  static sim::SimulatorOptions simOptions() {
    sim::SimulatorOptions o;
    o.server.simIndex = IsFS2004Edition ? 7 : 6;
    return o;
  }
  platform::VirtualClock clock_;
  platform::EventLoop loop_;
  platform::Random random_;
  sim::Simulator sim_;
  platform::LoopbackTransport transport_;
  std::filesystem::path folder_;
  std::unique_ptr<TFormMain> form_;
};

}  // namespace fuel_test
