#include "sim/sim_args.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace sim {
namespace {

bool parseUnsigned(const std::string& s, unsigned long long max, unsigned long long& v) {
  if (s.empty() || s[0] == '-' || s[0] == '+' || s[0] == ' ') return false;
  int base = 10;
  const char* p = s.c_str();
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    p += 2;
  }
  char* end = nullptr;
  errno = 0;
  v = std::strtoull(p, &end, base);
  return errno == 0 && end != p && *end == '\0' && v <= max;
}

}  // namespace

std::string simUsage() {
  return "usage: corvane-sim [options]\n"
         "  --sim-index N            simulator index served at 0x3308 (0..65535, default 7 = "
         "FS2004)\n"
         "  --fsuipc-version WORD    version word served at 0x3304 (default 0x36300000)\n"
         "  --relay-no-sim           answer zeros to every read, like a relay with no simulator\n"
         "  --server-class NAME      UIPCMAIN (default) or FS98MAIN\n"
         "  --scenario FILE          run a scenario file (see docs/scenarios.md)\n"
         "  --start-now              start the scenario clock at once, not at the first handshake\n"
         "  --trace FILE.csv         write the aircraft state at every step\n"
         "  --log FILE.csv           Corvane's trap and launch log, for `expect log` lines\n"
         "  --step-hz N              integration steps per second (1..10000, default 60)\n"
         "  --wind DIR/KT            wind from DIR degrees true (0..360) at KT knots (0..200)\n"
         "  --hold-accel             a written acceleration acts until the next write\n"
         "  --hang-after N           stop answering after N requests, like a hung simulator\n"
         "  --garbage-after N        corrupt the record headers of every reply after N requests\n"
         "  --help                   show this text\n";
}

bool parseSimArgs(const std::vector<std::string>& args, SimArgs& out, std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& v) {
      if (i + 1 >= args.size()) {
        error = a + " needs a value";
        return false;
      }
      v = args[++i];
      return true;
    };
    std::string v;
    unsigned long long n = 0;
    if (a == "--help" || a == "-h") {
      out.help = true;
    } else if (a == "--relay-no-sim") {
      out.sim.server.relayNoSim = true;
    } else if (a == "--start-now") {
      out.startNow = true;
    } else if (a == "--sim-index") {
      if (!value(v)) return false;
      if (!parseUnsigned(v, 0xFFFF, n)) {
        error = "--sim-index takes a number from 0 to 65535, not '" + v + "'";
        return false;
      }
      out.sim.server.simIndex = static_cast<uint16_t>(n);
    } else if (a == "--fsuipc-version") {
      if (!value(v)) return false;
      if (!parseUnsigned(v, 0xFFFFFFFFull, n)) {
        error = "--fsuipc-version takes a 32-bit number such as 0x36300000, not '" + v + "'";
        return false;
      }
      out.sim.server.fsuipcVersion = static_cast<uint32_t>(n);
    } else if (a == "--server-class") {
      if (!value(v)) return false;
      if (v != "UIPCMAIN" && v != "FS98MAIN") {
        error = "--server-class is UIPCMAIN or FS98MAIN, not '" + v + "'";
        return false;
      }
      out.serverClass = v;
    } else if (a == "--scenario") {
      if (!value(out.scenarioFile)) return false;
    } else if (a == "--trace") {
      if (!value(out.traceFile)) return false;
    } else if (a == "--log") {
      if (!value(out.logFile)) return false;
    } else if (a == "--step-hz") {
      if (!value(v)) return false;
      if (!parseUnsigned(v, 10000, n) || n == 0) {
        error = "--step-hz takes a number from 1 to 10000, not '" + v + "'";
        return false;
      }
      out.sim.stepHz = static_cast<int>(n);
    } else if (a == "--wind") {
      if (!value(v)) return false;
      const size_t slash = v.find('/');
      unsigned long long dir = 0;
      if (slash == std::string::npos || !parseUnsigned(v.substr(0, slash), 360, dir) ||
          !parseUnsigned(v.substr(slash + 1), 200, n)) {
        error = "--wind takes DIR/KT, degrees true 0 to 360 and knots 0 to 200, not '" + v + "'";
        return false;
      }
      out.sim.windFromDeg = dir == 360 ? 0 : static_cast<double>(dir);
      out.sim.windKt = static_cast<double>(n);
    } else if (a == "--hold-accel") {
      out.sim.tuning.holdClientAccel = true;
    } else if (a == "--hang-after") {
      if (!value(v)) return false;
      if (!parseUnsigned(v, 1'000'000'000, n)) {
        error = "--hang-after takes a number of requests, not '" + v + "'";
        return false;
      }
      out.hangAfter = static_cast<long long>(n);
    } else if (a == "--garbage-after") {
      if (!value(v)) return false;
      if (!parseUnsigned(v, 1'000'000'000, n)) {
        error = "--garbage-after takes a number of requests, not '" + v + "'";
        return false;
      }
      out.garbageAfter = static_cast<long long>(n);
    } else {
      error = "unknown option '" + a + "'";
      return false;
    }
  }
  return true;
}

bool loadScenarioFile(const std::string& path, Scenario& out, std::vector<std::string>& errors) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    errors.push_back(path + ": cannot open the scenario file");
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  if (text.str().size() > 16 * 1024 * 1024) {
    errors.push_back(path + ": the scenario file is larger than 16 MB");
    return false;
  }
  std::vector<ScenarioError> bad;
  if (parseScenario(text.str(), out, bad)) return true;
  for (const ScenarioError& e : bad)
    errors.push_back(path + ":" + std::to_string(e.line) + ": " + e.message);
  return false;
}

}  // namespace sim
