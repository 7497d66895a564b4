#include "sim/scenario.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "sim/log_check.h"

namespace sim {
namespace {

struct Token {
  std::string text;
  bool quoted = false;
};

// Splits a line into blank-separated tokens; "..." is one token with \" and \\ escapes;
// an unquoted # starts a comment, also right after a word.
bool tokenize(std::string_view line, std::vector<Token>& out, std::string& error) {
  size_t i = 0;
  while (i < line.size()) {
    char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
      continue;
    }
    if (c == '#') break;
    Token t;
    if (c == '"') {
      t.quoted = true;
      ++i;
      bool closed = false;
      while (i < line.size()) {
        char d = line[i++];
        if (d == '\\' && i < line.size() && (line[i] == '"' || line[i] == '\\')) {
          t.text.push_back(line[i++]);
        } else if (d == '"') {
          closed = true;
          break;
        } else {
          t.text.push_back(d);
        }
      }
      if (!closed) {
        error = "text has no closing quote";
        return false;
      }
      if (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
        error = "a blank must follow the closing quote";
        return false;
      }
    } else {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
        if (line[i] == '#') {  // a comment may follow a word directly
          out.push_back(std::move(t));
          return true;
        }
        if (line[i] == '"') {
          error = "a quote inside a word";
          return false;
        }
        t.text.push_back(line[i++]);
      }
    }
    out.push_back(std::move(t));
  }
  return true;
}

bool parseNumber(const std::string& s, double& v) {
  if (s.empty() || s.size() > 64) return false;
  char* end = nullptr;
  bool hex = s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
  if (hex) {
    unsigned long long u = std::strtoull(s.c_str() + 2, &end, 16);
    if (*end != '\0' || end == s.c_str() + 2 || u > 0xFFFFFFFFull) return false;
    v = static_cast<double>(u);
    return true;
  }
  if (s.find_first_of("xXpP") != std::string::npos)
    return false;  // no hex floats, no inf/nan tricks
  v = std::strtod(s.c_str(), &end);
  return *end == '\0' && end != s.c_str() && std::isfinite(v);
}

std::string trim(std::string_view s) {
  size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string_view::npos) return {};
  size_t b = s.find_last_not_of(" \t\r");
  return std::string(s.substr(a, b - a + 1));
}

std::string stripComment(std::string_view line) {
  bool inQuote = false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (inQuote && line[i] == '\\' && i + 1 < line.size()) {
      ++i;
      continue;
    }
    if (line[i] == '"') inQuote = !inQuote;
    if (line[i] == '#' && !inQuote) return trim(line.substr(0, i));
  }
  return trim(line);
}

// Parses the command after `at <time>`; returns an error text or empty.
std::string parseCommand(const std::vector<Token>& t, size_t i, ScenarioCommand& c) {
  using Kind = ScenarioCommand::Kind;
  if (i >= t.size()) return "a command must follow the time";
  const std::string& verb = t[i].text;
  size_t rest = t.size() - i - 1;
  if (t[i].quoted) return "expected a command, found a quoted text";
  if (verb == "set") {
    c.kind = Kind::Set;
    if (rest == 0 || rest % 2 != 0) return "set needs pairs of <field> <value>";
    for (size_t k = i + 1; k < t.size(); k += 2) {
      auto f = parseField(t[k].text);
      if (!f || t[k].quoted) return "unknown field '" + t[k].text + "'";
      if (!fieldSettable(*f)) return "field '" + t[k].text + "' can only be tested, not set";
      double v;
      if (!parseNumber(t[k + 1].text, v) || t[k + 1].quoted)
        return "'" + t[k + 1].text + "' is not a number (for " + t[k].text + ")";
      std::string bad = checkFieldValue(*f, v);
      if (!bad.empty()) return bad;
      c.sets.emplace_back(*f, v);
    }
    return {};
  }
  if (verb == "key") {
    c.kind = Kind::Key;
    if (rest != 1) return "key needs one key, such as SHIFT+F9 or SHIFT+CTRL+F12";
    auto k = parseHotKey(t[i + 1].text);
    if (!k) return "unknown key '" + t[i + 1].text + "' (SHIFT+F<n> or SHIFT+CTRL+F<n>, n 1..12)";
    c.key = *k;
    return {};
  }
  if (verb == "end") {
    c.kind = Kind::End;
    if (rest != 0) return "end takes nothing after it";
    return {};
  }
  if (verb == "catch-area") {
    c.kind = Kind::CatchArea;
    double v[6];
    // Optionally `landing <heading true>`: the direction the deck is landed on.
    const bool landing = rest == 8 && t[i + 7].text == "landing" && !t[i + 7].quoted;
    for (size_t k = 0; k < 6; ++k)
      if ((rest != 6 && !landing) || t[i + 1 + k].quoted || !parseNumber(t[i + 1 + k].text, v[k]))
        return "catch-area needs <lat> <lon> <lat> <lon> <floor ft> <ceiling ft>, then optionally "
               "`landing <heading true>`";
    if (std::fabs(v[0]) > 90 || std::fabs(v[2]) > 90 || std::fabs(v[1]) > 180 ||
        std::fabs(v[3]) > 180 || v[4] > v[5])
      return "catch-area: latitudes within 90, longitudes within 180, floor not above ceiling";
    c.area = CatchArea{std::min(v[0], v[2]),
                       std::max(v[0], v[2]),
                       std::min(v[1], v[3]),
                       std::max(v[1], v[3]),
                       v[4],
                       v[5],
                       {}};
    if (landing) {
      double heading = 0;
      if (t[i + 8].quoted || !parseNumber(t[i + 8].text, heading) || !(heading >= 0) ||
          !(heading < 360))
        return "catch-area: landing heading 0 to 360";
      c.area.landingDeg = heading;
    }
    return {};
  }
  if (verb == "approach") {
    c.kind = Kind::Approach;
    double v[9];
    const char* usage =
        "approach needs <lat> <lon> <deck ft> <heading mag> <glide slope> <distance nm> "
        "<slope error> <lineup error> <speed kt>, then optionally `through <nm> <slope error> "
        "<lineup error>` (nearer each time) and `flare <ft> <sink fpm>`";
    for (size_t k = 0; k < 9; ++k)
      if (rest < 9 || t[i + 1 + k].quoted || !parseNumber(t[i + 1 + k].text, v[k])) return usage;
    if (!(std::fabs(v[0]) < 89 && std::fabs(v[1]) <= 180 && std::fabs(v[2]) <= 30000 && v[3] >= 0 &&
          v[3] < 360 && v[4] > 0 && v[4] <= 10 && v[5] > 0 && v[5] <= 20 && v[4] + v[6] > 0 &&
          v[4] + v[6] < 30 && std::fabs(v[7]) < 45 && v[8] > 0 && v[8] <= 400))
      return "approach: latitude within 89, longitude within 180, deck within 30000 ft, heading "
             "0 to 360, glide slope 0 to 10, distance 0 to 20 NM, slope plus error 0 to 30, "
             "lineup error within 45, speed 0 to 400 kt";
    c.approach = sim::Approach{v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], {}, 0, 0};
    // The optional parts: keyword, then its numbers.
    size_t k = i + 10;
    const size_t end = i + 1 + rest;
    auto numbers = [&](size_t n, double* out) {
      if (k + n >= end) return false;
      for (size_t j = 0; j < n; ++j)
        if (t[k + 1 + j].quoted || !parseNumber(t[k + 1 + j].text, out[j])) return false;
      return true;
    };
    double last = v[5];
    while (k < end) {
      const std::string& word = t[k].text;
      double w[3];
      if (word == "through" && !t[k].quoted && numbers(3, w)) {
        if (!(w[0] >= 0 && w[0] < last && v[4] + w[1] > 0 && v[4] + w[1] < 30 &&
              std::fabs(w[2]) < 45))
          return "approach: each `through` nearer than the last, slope plus error 0 to 30, "
                 "lineup error within 45";
        c.approach.profile.push_back({w[0], w[1], w[2]});
        last = w[0];
        k += 4;
      } else if (word == "flare" && !t[k].quoted && numbers(2, w)) {
        if (!(w[0] > 0 && w[0] <= 500 && w[1] >= 0 && w[1] <= 5000))
          return "approach: flare height 0 to 500 ft, sink 0 to 5000 fpm";
        c.approach.flareFt = w[0];
        c.approach.flareSinkFpm = w[1];
        k += 3;
      } else {
        return usage;
      }
    }
    return {};
  }
  if (verb != "expect")
    return "unknown command '" + verb + "' (set, key, end, catch-area, approach or expect)";
  if (rest == 0) return "expect needs what to check";
  const std::string& what = t[i + 1].text;
  if (what == "message" || what == "no-message") {
    c.kind = what == "message" ? Kind::ExpectMessage : Kind::ExpectNoMessage;
    if (rest != 2 || !t[i + 2].quoted) return "expect " + what + " needs one quoted text";
    c.text = t[i + 2].text;
    return {};
  }
  if (what == "log") {
    c.kind = Kind::ExpectLog;
    if (rest != 2 || !t[i + 2].quoted || !validLogPairs(t[i + 2].text))
      return "expect log needs one quoted text of <column>=<value> pairs";
    c.text = t[i + 2].text;
    return {};
  }
  if (what == "write") {
    c.kind = Kind::ExpectWrite;
    double v;
    if (rest != 2 || !parseNumber(t[i + 2].text, v) || v < 0 || v > 0xFFFF || v != std::floor(v))
      return "expect write needs one offset from 0 to 0xFFFF";
    c.offset = static_cast<uint32_t>(v);
    return {};
  }
  c.kind = Kind::ExpectField;
  auto f = parseField(what);
  if (!f) return "unknown field '" + what + "'";
  if (rest != 3) return "expect <field> needs an operator and a value";
  c.field = *f;
  const std::string& op = t[i + 2].text;
  if (op == "<")
    c.op = CompareOp::Less;
  else if (op == "<=")
    c.op = CompareOp::LessEqual;
  else if (op == ">")
    c.op = CompareOp::Greater;
  else if (op == ">=")
    c.op = CompareOp::GreaterEqual;
  else if (op == "==")
    c.op = CompareOp::Equal;
  else
    return "unknown operator '" + op + "' (<, <=, >, >=, ==)";
  if (!parseNumber(t[i + 3].text, c.value)) return "'" + t[i + 3].text + "' is not a number";
  return {};
}

}  // namespace

const char* compareOpText(CompareOp op) {
  switch (op) {
    case CompareOp::Less:
      return "<";
    case CompareOp::LessEqual:
      return "<=";
    case CompareOp::Greater:
      return ">";
    case CompareOp::GreaterEqual:
      return ">=";
    case CompareOp::Equal:
      return "==";
  }
  return "?";
}

bool compareValues(double a, CompareOp op, double b) {
  switch (op) {
    case CompareOp::Less:
      return a < b;
    case CompareOp::LessEqual:
      return a <= b;
    case CompareOp::Greater:
      return a > b;
    case CompareOp::GreaterEqual:
      return a >= b;
    case CompareOp::Equal:
      return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(b));
  }
  return false;
}

bool expectsLog(const Scenario& scenario) {
  for (const auto* list : {&scenario.timed, &scenario.atEnd})
    for (const ScenarioCommand& c : *list)
      if (c.kind == ScenarioCommand::Kind::ExpectLog) return true;
  return false;
}

bool parseScenario(std::string_view text, Scenario& out, std::vector<ScenarioError>& errors) {
  out = Scenario{};
  size_t errorsBefore = errors.size();
  int lineNo = 0;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t nl = text.find('\n', pos);
    std::string_view line =
        text.substr(pos, nl == std::string_view::npos ? text.size() - pos : nl - pos);
    pos = nl == std::string_view::npos ? text.size() + 1 : nl + 1;
    ++lineNo;
    if (line.find('\0') != std::string_view::npos) {
      errors.push_back({lineNo, "line holds a zero byte"});
      continue;
    }
    std::vector<Token> t;
    std::string error;
    if (!tokenize(line, t, error)) {
      errors.push_back({lineNo, error});
      continue;
    }
    if (t.empty()) continue;
    if (t[0].text != "at" || t[0].quoted) {
      errors.push_back({lineNo, "a line must begin with 'at <seconds>' or 'at end'"});
      continue;
    }
    ScenarioCommand c;
    c.line = lineNo;
    c.source = stripComment(line);
    if (t.size() < 2) {
      errors.push_back({lineNo, "'at' needs a time in seconds or 'end'"});
      continue;
    }
    if (t[1].text == "end" && !t[1].quoted) {
      c.atEnd = true;
    } else {
      double sec;
      if (!parseNumber(t[1].text, sec) || t[1].quoted || sec < 0 || sec > 1e7) {
        errors.push_back({lineNo, "'" + t[1].text + "' is not a time in seconds (0 or more)"});
        continue;
      }
      c.atUs = std::llround(sec * 1e6);
    }
    error = parseCommand(t, 2, c);
    if (error.empty() && c.atEnd && !c.isExpectation())
      error = "only expectations can run 'at end'";
    if (!error.empty()) {
      errors.push_back({lineNo, error});
      continue;
    }
    (c.atEnd ? out.atEnd : out.timed).push_back(std::move(c));
  }
  std::stable_sort(
      out.timed.begin(), out.timed.end(),
      [](const ScenarioCommand& a, const ScenarioCommand& b) { return a.atUs < b.atUs; });
  return errors.size() == errorsBefore;
}

}  // namespace sim
