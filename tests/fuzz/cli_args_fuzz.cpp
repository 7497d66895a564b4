// corvane-cli's command line: any arguments are taken or refused with a message; a duration
// that is taken is a finite number of seconds the program can count in milliseconds.
// Input: the arguments separated by NUL bytes.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/cli_args.h"
#include "fuzz/fuzz_args.h"
#include "fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string> args = argsFromFuzzInput(data, size);
  CliArgs parsed;
  std::string error;
  if (!ParseCliArgs(args, parsed, error)) {
    FUZZ_CHECK(!error.empty());
    return 0;
  }
  FUZZ_CHECK(parsed.durationMs >= -1);
  return 0;
}
