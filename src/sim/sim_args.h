#pragma once

#include <string>
#include <vector>

#include "sim/simulator.h"

namespace sim {

/// The command line of corvane-sim.
struct SimArgs {
  SimulatorOptions sim;
  std::string serverClass = "UIPCMAIN";
  std::string scenarioFile;
  std::string traceFile;
  /// The program's trap and launch log, for `expect log` lines.
  std::string logFile;
  bool startNow = false;
  /// Stop answering after this many requests (-1: never), to test clients against a hung server.
  long long hangAfter = -1;
  /// Corrupt every reply after this many requests (-1: never), to test clients against a
  /// server answering garbage (see scrambleReply).
  long long garbageAfter = -1;
  bool help = false;
};

/// Parses the arguments after the program name; false with a message on a bad option.
bool parseSimArgs(const std::vector<std::string>& args, SimArgs& out, std::string& error);
/// The usage text.
std::string simUsage();
/// Reads a scenario file; false with messages "FILE:LINE: text" on failure.
bool loadScenarioFile(const std::string& path, Scenario& out, std::vector<std::string>& errors);

}  // namespace sim
