// Flies scenario files in-process on the virtual clock and writes every request block the
// program sends, one line per block: the virtual time in ms, then the block's bytes in hex.
// Two builds that send the same blocks write the same file, byte for byte.
//
//   corvane-record-blocks OUT.txt SCENARIO...   (paths relative to the source tree or absolute)

#include <cstdio>
#include <fstream>
#include <string>

#include "harness/harness.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: corvane-record-blocks OUT.txt SCENARIO...\n");
    return 2;
  }
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  if (!out) {
    std::fprintf(stderr, "corvane-record-blocks: cannot write %s\n", argv[1]);
    return 2;
  }
  int rc = 0;
  for (int i = 2; i < argc; ++i) {
    harness::Harness h(harness::Options::flying());
    out << "# " << argv[i] << "\n";
    h.server->onBlock = [&](const uint8_t* block, size_t size) {
      static const char* digits = "0123456789abcdef";
      std::string line = std::to_string(h.clock.nowMs()) + " ";
      for (size_t b = 0; b < size; ++b) {
        line.push_back(digits[block[b] >> 4]);
        line.push_back(digits[block[b] & 15]);
      }
      out << line << "\n";
    };
    std::string summary;
    const int result = h.flyScenario(argv[i], 600000, summary);
    h.server->onBlock = nullptr;
    out << "# exit " << result << "\n";
    std::printf("%s: exit %d\n", argv[i], result);
    if (result != 0) rc = 1;
  }
  return rc;
}
