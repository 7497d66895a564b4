// corvane-sim: the substitute simulator, served over the system's transport (a server window
// answering the FSUIPC message on Windows, a Unix-domain socket elsewhere).

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/ipc_system.h"
#include "platform/os.h"
#include "sim/sim_args.h"
#include "sim/simulator.h"

namespace {

volatile int gStop = 0;

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  sim::SimArgs opts;
  std::string error;
  if (!sim::parseSimArgs(args, opts, error)) {
    std::fprintf(stderr, "corvane-sim: %s\n%s", error.c_str(), sim::simUsage().c_str());
    return 2;
  }
  if (opts.help) {
    std::fputs(sim::simUsage().c_str(), stdout);
    return 0;
  }

  sim::Scenario scenario;
  if (!opts.scenarioFile.empty()) {
    std::vector<std::string> errors;
    if (!sim::loadScenarioFile(opts.scenarioFile, scenario, errors)) {
      for (const std::string& e : errors) std::fprintf(stderr, "corvane-sim: %s\n", e.c_str());
      return 2;
    }
  }

  std::ofstream trace;
  if (!opts.traceFile.empty()) {
    trace.open(opts.traceFile, std::ios::binary | std::ios::trunc);
    if (!trace) {
      std::fprintf(stderr, "corvane-sim: cannot write the trace file %s\n", opts.traceFile.c_str());
      return 2;
    }
  }

  platform::installStopHandler(&gStop);
  platform::RealClock clock;
  sim::Simulator simulator(clock, opts.sim);
  simulator.observer().onLine = [](const sim::Observation& o) {
    std::printf("%s\n", o.line().c_str());
    std::fflush(stdout);
  };
  if (trace.is_open()) simulator.setTrace(&trace);
  simulator.setLogFile(opts.logFile);

  platform::BlockHandler handler = simulator.handler();
  if (opts.garbageAfter >= 0) {
    handler = [served = handler, after = static_cast<uint64_t>(opts.garbageAfter),
               count = uint64_t{0}](uint8_t* block, size_t size) mutable {
      const uint32_t answer = served(block, size);
      if (++count > after) sim::scrambleReply(block, size, count);
      return answer;
    };
  }
  const std::unique_ptr<platform::ServerEndpoint> endpoint =
      platform::makeServerEndpoint(opts.serverClass, "FSASMLIB:IPC", handler);
  if (!endpoint->listen()) {
    std::fprintf(stderr, "corvane-sim: cannot serve %s: %s\n", opts.serverClass.c_str(),
                 endpoint->error().c_str());
    return 2;
  }
  const sim::ServerOptions& so = opts.sim.server;
  std::printf("corvane-sim: serving %s at %s (FSUIPC version 0x%08X, simulator index %u%s)\n",
              opts.serverClass.c_str(), endpoint->address().c_str(), so.fsuipcVersion,
              static_cast<unsigned>(so.simIndex), so.relayNoSim ? ", relay without simulator" : "");
  if (opts.scenarioFile.empty()) {
    std::printf(
        "corvane-sim: no scenario; aircraft parked on the sample deck at 36.95 N 76.30 W, "
        "deck 60 ft, heading 090 (Ctrl-C to stop)\n");
  } else {
    simulator.loadScenario(std::move(scenario));
    if (opts.startNow) simulator.startScenario();
    std::printf("corvane-sim: scenario %s %s\n", opts.scenarioFile.c_str(),
                opts.startNow ? "started" : "starts at the first handshake");
  }
  std::fflush(stdout);

  while (!gStop && !endpoint->closeRequested() && !simulator.scenarioFinished()) {
    if (opts.hangAfter >= 0 &&
        endpoint->requestsServed() >= static_cast<uint64_t>(opts.hangAfter)) {
      // Stops answering, like a simulator that hangs: clients time out until it is ended.
      clock.sleepMs(5);
      continue;
    }
    endpoint->pollOnce(5);
    simulator.advanceToNow();
  }
  if (simulator.scenarioLoaded()) simulator.finishScenario();
  endpoint->shutdown();
  if (trace.is_open()) trace.flush();

  std::string summary = simulator.summaryText();
  if (!summary.empty()) std::printf("%s", summary.c_str());
  std::printf("corvane-sim: stopped%s\n", gStop || endpoint->closeRequested() ? " by request" : "");
  std::fflush(stdout);
  return simulator.scenarioLoaded() ? simulator.exitCode() : 0;
}
