#include "harness/harness.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "logbook/log_rules.h"
#include "platform/os.h"
#include "sim/log_check.h"
#include "simlink/sim_link.h"

namespace harness {

namespace fs = std::filesystem;

double SimWrite::asDouble() const {
  double v = 0;
  if (data.size() == sizeof v) std::memcpy(&v, data.data(), sizeof v);
  return v;
}

int64_t SimWrite::asInt() const {
  uint64_t v = 0;
  for (size_t i = 0; i < data.size() && i < 8; ++i) v |= static_cast<uint64_t>(data[i]) << (8 * i);
  if (data.size() < 8 && !data.empty() && (data.back() & 0x80)) {
    // sign-extend the shorter integers
    v |= ~uint64_t{0} << (8 * data.size());
  }
  return static_cast<int64_t>(v);
}

std::string messageText(const std::vector<uint8_t>& data) {
  std::string s;
  for (uint8_t c : data) {
    if (c == 0) break;
    s.push_back(static_cast<char>(c));
  }
  return s;
}

Harness::Harness(Options options) {
  random.setSeed(options.seed);
  if (options.seedFixed) random.fixSeed(options.seed);
  sim::SimulatorOptions simOptions;
  simOptions.server = options.server;
  simOptions.stepHz = options.stepHz;
  simOptions.tuning.holdClientAccel = options.holdAccel;
  simulator = std::make_unique<sim::Simulator>(clock, simOptions);
  server = &simulator->server();
  if (!options.flightModel) {
    // No aircraft: every variable reads zero until a test pokes it, except the slot count of
    // the hot-key table.
    server->beforeBlock = nullptr;
    server->space().clear(0, 0x10000);
    server->space().set<uint32_t>(0x320C, simulator->hotKeys().slotCount());
  }
  transport = std::make_unique<platform::LoopbackTransport>(
      [this](uint8_t* block, size_t size) { return simulator->handleBlock(block, size); });
  transport->setClock(&clock);
  if (options.flightModel) {
    // The aircraft flies on while the program sleeps or waits for its next tick.
    clock.onSleep = [this](int64_t) { simulator->advanceToNow(); };
  }
  flightModel_ = options.flightModel;
  if (!options.serverPresent) transport->setServer(platform::LoopbackTransport::Server::None);
  link.SimLinkConfigure(transport.get(), &clock);

  // The program's last message text, kept until its display time arrives.
  server->onClientWrite = [this, observe = server->onClientWrite](uint32_t offset, uint32_t size,
                                                                  const uint8_t* data) {
    if (observe) observe(offset, size, data);
    SimWrite w{clock.nowMs(), offset, size, std::vector<uint8_t>(data, data + size)};
    if (offset == 0x32FA && size == 2 && !writes.empty() && writes.back().offset == 0x3380) {
      messages.push_back(SimMessage{w.timeMs * 1000, messageText(writes.back().data),
                                    static_cast<int>(w.asInt())});
    }
    writes.push_back(std::move(w));
  };

  static int serial = 0;
  const fs::path dir = fs::temp_directory_path() /
                       ("corvane_harness_" + std::to_string(platform::currentProcessId()) + "_" +
                        std::to_string(++serial));
  fs::remove_all(dir);
  fs::create_directories(dir);
  folder = dir.string() + "/";
  if (options.copySamples) {
    const fs::path samples = fs::path(CORVANE_SOURCE_DIR) / "samples";
    for (const char* name : {"Corvane.dat", "Corvane.INI"}) {
      std::error_code ec;
      fs::copy_file(samples / name, dir / name, ec);
    }
  }
}

Harness::~Harness() {
  form_.reset();
  link.SimLinkConfigure(nullptr, nullptr);
  std::error_code ec;
  fs::remove_all(folder, ec);
}

void Harness::writeFile(const std::string& name, const std::string& content) const {
  std::ofstream(folder + name, std::ios::binary) << content;
}

std::string Harness::readFile(const std::string& name) const {
  std::ifstream in(folder + name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool Harness::fileExists(const std::string& name) const { return fs::exists(folder + name); }

TFormMain& Harness::start() {
  TFormServices services;
  services.loop = &loop;
  services.random = &random;
  services.programFolder = folder;
  services.link = &link;
  services.soundPlayers = [this](const std::string& name) {
    return std::make_unique<platform::RecordingSoundPlayer>(name, &sounds,
                                                            [this](const platform::SoundEvent& e) {
                                                              if (onSound) onSound(e);
                                                            });
  };
  services.errorBox = [this](const std::string& text) {
    errorBoxes.push_back(text);
    if (onErrorBox) onErrorBox(text);
  };
  form_ = std::make_unique<TFormMain>(std::move(services));
  if (beforeCreate) beforeCreate(*form_);
  // The window shows once its creation is complete, as on the desktop.
  form_->FormCreate();
  form_->FormMain.show();
  return *form_;
}

void Harness::runFor(int64_t ms) {
  runUntil([] { return false; }, ms);
}

bool Harness::loadScenario(const std::string& path, std::string& error) {
  fs::path p(path);
  if (p.is_relative()) p = fs::path(CORVANE_SOURCE_DIR) / p;
  std::ifstream in(p, std::ios::binary);
  if (!in) {
    error = "cannot open " + p.string();
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  sim::Scenario scenario;
  std::vector<sim::ScenarioError> errors;
  if (!sim::parseScenario(text.str(), scenario, errors)) {
    error.clear();
    for (const sim::ScenarioError& e : errors)
      error += "line " + std::to_string(e.line) + ": " + e.message + "\n";
    return false;
  }
  scenarioExpectsLog_ = sim::expectsLog(scenario);
  simulator->loadScenario(std::move(scenario));
  return true;
}

int Harness::flyScenario(const std::string& path, int64_t maxMs, std::string& summary) {
  if (!loadScenario(path, summary)) return -1;
  if (!started()) start();
  // A scenario that checks the trap and launch log is flown with the log kept.
  if (scenarioExpectsLog_) {
    form().chkbxTrapLog.setChecked(true);
    simulator->setLogFile(folder + TrapLogFileName);
  }
  runUntil([this] { return simulator->scenarioFinished(); }, maxMs);
  simulator->finishScenario();
  summary = simulator->summaryText();
  return simulator->exitCode();
}

bool Harness::runUntil(const std::function<bool()>& pred, int64_t maxMs) {
  const int64_t end = clock.nowMs() + maxMs;
  while (!pred()) {
    if (clock.nowMs() >= end) return false;
    int64_t next = loop.nextDueMs();
    if (next < 0 || next > end) next = end;
    loop.runUntil(std::max(next, clock.nowMs()));
    if (flightModel_) simulator->advanceToNow();
  }
  return true;
}

std::vector<std::string> Harness::messageTexts() const {
  std::vector<std::string> out;
  for (const SimMessage& m : messages) out.push_back(m.text);
  return out;
}

bool Harness::sawMessage(const std::string& text) const {
  for (const SimMessage& m : messages)
    if (m.text == text) return true;
  return false;
}

std::vector<SimWrite> Harness::writesTo(uint32_t offset) const {
  std::vector<SimWrite> out;
  for (const SimWrite& w : writes)
    if (w.offset == offset) out.push_back(w);
  return out;
}

void Harness::clearRecords() {
  messages.clear();
  writes.clear();
  sounds.clear();
  errorBoxes.clear();
}

void Harness::poke(uint32_t offset, const void* data, uint32_t size) {
  server->space().write(offset, data, size);
}

std::string lastLineColumn(const std::string& csv, const std::string& column) {
  const std::size_t headerAt = csv.rfind(TrapLogHeaderStart);
  if (headerAt == std::string::npos) return "<no header>";
  const std::size_t headerEnd = csv.find('\n', headerAt);
  std::string header = csv.substr(headerAt, headerEnd - headerAt);
  if (!header.empty() && header.back() == '\r') header.pop_back();
  const std::vector<std::string> names = sim::splitCsvLine(header);
  const std::string body = csv.substr(0, csv.size() - 2);
  const std::vector<std::string> last = sim::splitCsvLine(body.substr(body.rfind('\n') + 1));
  for (std::size_t i = 0; i < names.size() && i < last.size(); ++i)
    if (names[i] == column) return last[i];
  return "<no column " + column + ">";
}

}  // namespace harness
