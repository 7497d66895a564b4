#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// The command line of corvane-cli.
struct CliArgs {
  /// Close by itself after this many milliseconds (-1: run until stopped).
  int64_t durationMs = -1;
  bool useStdin = true;
  bool seedFixed = false;
  uint64_t seed = 0;
  bool help = false;
  /// --check-dat FILE: check that carrier data file and exit.
  std::string checkDat;
  /// --board [LOG.csv] [OUT.html]: build the greenie board from a log and exit.
  bool board = false;
  std::string boardLog = "CorvaneLog.csv";
  std::string boardOut = "CorvaneBoard.html";
};

/// Longest --duration taken, in seconds (a year).
inline constexpr double kCliMaxDurationSeconds = 366.0 * 24 * 3600;

/// Parses the arguments after the program name; false with a message on a bad option.
bool ParseCliArgs(const std::vector<std::string>& args, CliArgs& out, std::string& error);
