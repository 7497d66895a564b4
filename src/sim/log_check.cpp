#include "sim/log_check.h"

#include <fstream>
#include <sstream>
#include <utility>

namespace sim {
namespace {

std::vector<std::pair<std::string, std::string>> splitPairs(std::string_view text) {
  std::vector<std::pair<std::string, std::string>> pairs;
  std::istringstream in{std::string(text)};
  std::string word;
  while (in >> word) {
    const size_t eq = word.find('=');
    if (eq == std::string::npos || eq == 0) return {};
    pairs.emplace_back(word.substr(0, eq), word.substr(eq + 1));
  }
  return pairs;
}

}  // namespace

std::vector<std::string> splitCsvLine(std::string_view line) {
  if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        fields.back() += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

bool validLogPairs(std::string_view text) { return !splitPairs(text).empty(); }

bool logHasLine(const std::string& path, std::string_view text, std::string& detail) {
  if (path.empty()) {
    detail = "no log file given (--log FILE)";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  std::string line;
  if (!in || !std::getline(in, line)) {
    detail = "no log file " + path;
    return false;
  }
  const std::vector<std::string> columns = splitCsvLine(line);
  // Each pair as a column index and the value wanted there.
  std::vector<std::pair<size_t, std::string>> wanted;
  for (auto& [name, value] : splitPairs(text)) {
    size_t k = 0;
    while (k < columns.size() && columns[k] != name) ++k;
    if (k == columns.size()) {
      detail = "the log has no column " + name;
      return false;
    }
    wanted.emplace_back(k, std::move(value));
  }
  int lines = 0;
  while (std::getline(in, line)) {
    ++lines;
    const std::vector<std::string> fields = splitCsvLine(line);
    bool all = true;
    for (const auto& [k, value] : wanted) all = all && k < fields.size() && fields[k] == value;
    if (all) return true;
  }
  detail = "none of the " + std::to_string(lines) + " lines of the log matches";
  return false;
}

}  // namespace sim
