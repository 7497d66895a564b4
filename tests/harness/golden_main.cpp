// corvane-golden: makes the golden behaviour records of this edition -- one per sample scenario
// and per scripted session, everything the program did on the virtual clock -- and compares
// them with the committed ones or rewrites them.
//
//   corvane-golden --check [DIR]   compare (default DIR: tests/golden/<edition> of the source
//                                  tree); prints the first differing line of each record that
//                                  differs, exits 1 when any does
//   corvane-golden --write [DIR]   rewrite the records (scripts/golden --update runs this)
//   corvane-golden --print NAME    print one record ("scenario-trap.txt") on standard output

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>

#include "harness/golden_record.h"

namespace fs = std::filesystem;

namespace {

int usage() {
  std::fprintf(stderr, "usage: corvane-golden --check [DIR] | --write [DIR] | --print NAME\n");
  return 2;
}

std::string readFile(const fs::path& path, bool& found) {
  std::ifstream in(path, std::ios::binary);
  found = static_cast<bool>(in);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) return usage();
  const std::string mode = argv[1];
  const std::vector<golden::GoldenCase> cases = golden::GoldenCases();
  try {
    if (mode == "--print") {
      if (argc != 3) return usage();
      for (const golden::GoldenCase& c : cases) {
        if (c.recordName != argv[2]) continue;
        std::cout << golden::MakeRecord(c);
        return 0;
      }
      std::fprintf(stderr, "corvane-golden: no scenario or session makes %s\n", argv[2]);
      return 2;
    }
    if (mode != "--check" && mode != "--write") return usage();
    const fs::path dir = argc == 3 ? fs::path(argv[2])
                                   : fs::path(CORVANE_SOURCE_DIR) / golden::EditionRecordFolder();
    int differing = 0;
    std::set<std::string> made;
    for (const golden::GoldenCase& c : cases) {
      const std::string record = golden::MakeRecord(c);
      made.insert(c.recordName);
      if (mode == "--write") {
        fs::create_directories(dir);
        std::ofstream(dir / c.recordName, std::ios::binary | std::ios::trunc) << record;
        continue;
      }
      bool found = false;
      const std::string expected = readFile(dir / c.recordName, found);
      if (!found) {
        std::cout << c.recordName << ": no committed record (run scripts/golden --update)\n";
        ++differing;
        continue;
      }
      const std::string diff =
          golden::FirstDifference((dir / c.recordName).string(), expected, record);
      if (!diff.empty()) {
        std::cout << diff;
        ++differing;
      }
    }
    // A record whose scenario or session is gone would never be checked again.
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(dir, ec)) {
      const std::string name = e.path().filename().string();
      if (e.path().extension() != ".txt" || made.count(name)) continue;
      if (mode == "--write") {
        fs::remove(e.path(), ec);
      } else {
        std::cout << name << ": no scenario or session makes this record any more\n";
        ++differing;
      }
    }
    if (mode == "--write") {
      std::cout << "corvane-golden: " << cases.size() << " records written to " << dir.string()
                << "\n";
      return 0;
    }
    if (differing > 0) {
      std::cout << "corvane-golden: " << differing << " of " << cases.size()
                << " records differ from " << dir.string()
                << ".\nIf the change of behaviour is intended, run scripts/golden --update and "
                   "say why in the commit.\n";
      return 1;
    }
    std::cout << "corvane-golden: " << cases.size() << " records match\n";
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "corvane-golden: %s\n", e.what());
    return 2;
  }
}
