// corvane-sim's command line: any arguments are taken or refused with a message.
// Input: the arguments separated by NUL bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_args.h"
#include "fuzz/fuzz_check.h"
#include "sim/sim_args.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string> args = argsFromFuzzInput(data, size);
  sim::SimArgs parsed;
  std::string error;
  if (!sim::parseSimArgs(args, parsed, error)) {
    FUZZ_CHECK(!error.empty());
    return 0;
  }
  FUZZ_CHECK(parsed.sim.stepHz >= 1 && parsed.sim.stepHz <= 10000);
  FUZZ_CHECK(parsed.serverClass == "UIPCMAIN" || parsed.serverClass == "FS98MAIN");
  FUZZ_CHECK(parsed.hangAfter >= -1);
  return 0;
}
