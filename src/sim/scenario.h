#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sim/approach.h"
#include "sim/fields.h"
#include "sim/hot_keys.h"
#include "sim/reaction.h"

namespace sim {

/// Comparison of an `expect <field> <op> <value>` line.
enum class CompareOp { Less, LessEqual, Greater, GreaterEqual, Equal };

/// One scenario line.
struct ScenarioCommand {
  enum class Kind {
    Set,
    Key,
    End,
    CatchArea,
    Approach,
    ExpectMessage,
    ExpectNoMessage,
    ExpectField,
    ExpectWrite,
    ExpectLog
  };
  Kind kind = Kind::End;
  int line = 0;
  bool atEnd = false;  // `at end`: checked when the scenario ends
  int64_t atUs = 0;    // scenario time, microseconds
  std::string source;  // the line as written, without comment and surrounding blanks
  std::vector<std::pair<FieldRef, double>> sets;  // Set
  HotKey key;                                     // Key
  std::string text;                               // ExpectMessage, ExpectNoMessage, ExpectLog
  FieldRef field;                                 // ExpectField
  CompareOp op = CompareOp::Equal;                // ExpectField
  double value = 0;                               // ExpectField
  uint32_t offset = 0;                            // ExpectWrite
  CatchArea area;                                 // CatchArea
  sim::Approach approach;                         // Approach
  bool isExpectation() const { return kind >= Kind::ExpectMessage; }
};

/// A parsed scenario: timed commands sorted by time (file order for equal times), then the
/// `at end` expectations in file order.
struct Scenario {
  std::vector<ScenarioCommand> timed;
  std::vector<ScenarioCommand> atEnd;
};

/// A line of a scenario file that could not be understood.
struct ScenarioError {
  int line = 0;
  std::string message;
};

/// True when the scenario checks the program's trap and launch log (`expect log`).
bool expectsLog(const Scenario& scenario);
/// Parses a scenario text. Every bad line is reported; returns true when there was none.
bool parseScenario(std::string_view text, Scenario& out, std::vector<ScenarioError>& errors);
/// Compares with the operator; equality allows a relative difference of 1e-9.
bool compareValues(double actual, CompareOp op, double expected);
/// "<", "<=", ">", ">=", "==".
const char* compareOpText(CompareOp op);

}  // namespace sim
