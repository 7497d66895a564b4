#pragma once

#include <string>
#include <vector>

// The golden behaviour records: everything the program does while it flies a scenario or runs
// a scripted session, as readable text with one event per line, on the virtual clock. Two
// builds that behave alike write the same records, byte for byte.

namespace golden {

/// One record to make: a sample scenario or a scripted session.
struct GoldenCase {
  /// File name of the record ("scenario-trap.txt", "session-options.txt").
  std::string recordName;
  /// The scenario or session file, relative to the source tree.
  std::string source;
  bool session = false;
};

/// Every scenario of samples/scenarios and every session of tests/golden/sessions, in name order.
std::vector<GoldenCase> GoldenCases();

/// Folder of this edition's records, relative to the source tree ("tests/golden/fs2004").
std::string EditionRecordFolder();

/// Runs one case and returns its record. Blocks for the (virtual) length of the case.
std::string MakeRecord(const GoldenCase& c);

/// Where two records first differ: "name:LINE: expected: ...\n  got: ..."; "" when equal.
std::string FirstDifference(const std::string& name, const std::string& expected,
                            const std::string& got);

}  // namespace golden
