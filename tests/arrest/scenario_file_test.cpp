#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "app/form_main.h"
#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/ipc_loopback.h"
#include "platform/random.h"
#include "platform/sound_player.h"
#include "sim/scenario.h"
#include "sim/simulator.h"
#include "simlink/sim_link.h"

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

/// Flies a sample scenario in the substitute simulator with the program connected in-process,
/// on one virtual clock, and returns the simulator's verdict and summary.
class ScenarioRun {
 public:
  explicit ScenarioRun(const std::string& scenarioName)
      : loop_(clock_), sim_(clock_, simOptions()), transport_(sim_.handler()) {
    transport_.setClock(&clock_);
    SimLinkConfigure(&transport_, &clock_);
    const fs::path samples = fs::path(CORVANE_SOURCE_DIR) / "samples";
    folder_ = fs::temp_directory_path() / ("corvane_scn_" + scenarioName + "_" +
                                           std::to_string(reinterpret_cast<uintptr_t>(this)));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    for (const char* name : {"Corvane.dat", "Corvane.INI"})
      fs::copy_file(samples / name, folder_ / name);
    sim::Scenario scenario;
    std::vector<sim::ScenarioError> errors;
    parsed = sim::parseScenario(ReadText(samples / "scenarios" / scenarioName), scenario, errors);
    for (const auto& e : errors) parseErrors += std::to_string(e.line) + ": " + e.message + "\n";
    sim_.loadScenario(std::move(scenario));
  }
  ~ScenarioRun() {
    form_.reset();
    SimLinkClose();
    SimLinkConfigure(nullptr, nullptr);
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }

  /// Starts the program and runs until the scenario ends (or maxMs of virtual time).
  void run(int64_t maxMs) {
    TFormServices services;
    services.loop = &loop_;
    services.random = &random_;
    services.programFolder = folder_.string() + "/";
    services.soundPlayers = [](const std::string& name) {
      return std::make_unique<platform::RecordingSoundPlayer>(name, nullptr);
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
  fs::path folder_;
  std::unique_ptr<TFormMain> form_;
};

TEST(ScenarioFiles, TrapIsCaughtAndStopped) {
  ScenarioRun run("trap.scn");
  ASSERT_TRUE(run.parsed) << run.parseErrors;
  run.run(60000);
  EXPECT_EQ(run.sim().exitCode(), 0) << run.sim().summaryText();
  EXPECT_EQ(run.form().lblCableCatchStatus.text(), "Cables were CAUGHT.");
  EXPECT_NE(run.form().LastArrestEnd, 0);
  EXPECT_NE(run.sim().summaryText().find("Arrest: touchdown"), std::string::npos)
      << run.sim().summaryText();
}

TEST(ScenarioFiles, BolterIsNotCaught) {
  ScenarioRun run("bolter.scn");
  ASSERT_TRUE(run.parsed) << run.parseErrors;
  run.run(60000);
  EXPECT_EQ(run.sim().exitCode(), 0) << run.sim().summaryText();
  EXPECT_EQ(run.form().lblCableCatchStatus.text(), "");
  EXPECT_EQ(run.form().LastArrestEnd, 0);
}

}  // namespace
