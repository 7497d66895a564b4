#include "cli/cli_args.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {

bool parseSeconds(const std::string& s, double& seconds) {
  if (s.empty()) return false;
  char* end = nullptr;
  errno = 0;
  seconds = std::strtod(s.c_str(), &end);
  // "inf", "nan" and values past a year are refused: the end time is counted in milliseconds.
  return errno == 0 && end == s.c_str() + s.size() && std::isfinite(seconds) && seconds >= 0 &&
         seconds <= kCliMaxDurationSeconds;
}

bool parseSeed(const std::string& s, uint64_t& seed) {
  if (s.empty() || s[0] < '0' || s[0] > '9') return false;
  char* end = nullptr;
  errno = 0;
  seed = std::strtoull(s.c_str(), &end, 10);
  return errno == 0 && end == s.c_str() + s.size();
}

}  // namespace

bool ParseCliArgs(const std::vector<std::string>& args, CliArgs& out, std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](const char* what, std::string& v) {
      if (i + 1 >= args.size()) {
        error = a + " needs " + what;
        return false;
      }
      v = args[++i];
      return true;
    };
    std::string v;
    if (a == "--duration") {
      if (!value("a number of seconds", v)) return false;
      double seconds = 0;
      if (!parseSeconds(v, seconds)) {
        error = "bad value for --duration: '" + v + "'";
        return false;
      }
      out.durationMs = static_cast<int64_t>(seconds * 1000);
    } else if (a == "--seed") {
      if (!value("a number", v)) return false;
      if (!parseSeed(v, out.seed)) {
        error = "bad value for --seed: '" + v + "'";
        return false;
      }
      out.seedFixed = true;
    } else if (a == "--check-dat") {
      if (!value("a data file", out.checkDat)) return false;
      if (out.checkDat.empty()) {
        error = "--check-dat needs a data file";
        return false;
      }
    } else if (a == "--board") {
      out.board = true;
      // Up to two names follow: the log, then the page.
      if (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) out.boardLog = args[++i];
      if (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) out.boardOut = args[++i];
      if (out.boardLog.empty() || out.boardOut.empty()) {
        error = "--board needs file names that are not empty";
        return false;
      }
    } else if (a == "--no-stdin") {
      out.useStdin = false;
    } else if (a == "--help" || a == "-h") {
      out.help = true;
    } else {
      error = "unknown option " + a;
      return false;
    }
  }
  return true;
}
