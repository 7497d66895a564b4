// The settings reader and writer: any text is parsed; setting one value and writing the file
// back changes only that value's line (or adds it with its section), every other line comes
// back byte for byte, and the value reads back from the written text.
//
// Input: "section\nkey\nvalue\n" then the file's text. Names and value that the file format
// cannot hold (line breaks, comment marks, "]" in a section, "=" in a key, blanks or quotes
// around the value)
// are replaced by fixed ones.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "platform/ini_file.h"

namespace {

std::string_view takeLine(std::string_view& in) {
  const size_t nl = in.find('\n');
  if (nl == std::string_view::npos) {
    const std::string_view all = in;
    in = {};
    return all;
  }
  const std::string_view line = in.substr(0, nl);
  in.remove_prefix(nl + 1);
  return line;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool plainName(std::string_view s, std::string_view forbidden) {
  if (s.empty() || isBlank(s.front()) || isBlank(s.back())) return false;
  for (char c : s)
    if (c == '\r' || c == '\n' || c == '\0' || c == ';' || c == '#' || c == '[' ||
        forbidden.find(c) != std::string_view::npos)
      return false;
  return true;
}

bool plainValue(std::string_view s) {
  if (!s.empty() && (isBlank(s.front()) || isBlank(s.back()) || s.front() == '"')) return false;
  for (char c : s)
    if (c == '\r' || c == '\n' || c == '\0') return false;
  return true;
}

// Lines with their line ends, as the file holds them.
std::vector<std::string_view> splitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) {
      lines.push_back(text.substr(start, i + 1 - start));
      start = i + 1;
    }
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view in(reinterpret_cast<const char*>(data), size);
  std::string section(takeLine(in)), key(takeLine(in)), value(takeLine(in));
  if (!plainName(section, "]")) section = "General";
  if (!plainName(key, "=")) key = "LastLeft";
  if (!plainValue(value)) value = "42";
  const std::string original(in);

  const platform::IniFile parsed = platform::IniFile::fromText("fuzz.ini", original);
  FUZZ_CHECK(parsed.text() == original);

  platform::IniFile changed = platform::IniFile::fromText("fuzz.ini", original);
  changed.setString(section, key, value);
  const std::string written = changed.text();
  const platform::IniFile reread = platform::IniFile::fromText("fuzz.ini", written);
  FUZZ_CHECK(reread.readValue(section, key) == value);

  // Only the key's own line differs, or the key was added, with its section header after a
  // blank line when the section is new; a last line without a line end may have gained one.
  const std::vector<std::string_view> before = splitLines(original), after = splitLines(written);
  size_t head = 0;
  while (head < before.size() && head < after.size() && before[head] == after[head]) ++head;
  size_t tail = 0;
  while (tail < before.size() - head && tail < after.size() - head &&
         before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
    ++tail;
  const size_t goneLines = before.size() - head - tail, newLines = after.size() - head - tail;
  FUZZ_CHECK(goneLines <= 1);
  FUZZ_CHECK(newLines <= goneLines + 3);
  if (goneLines == 1 && newLines >= 2) {
    // The old last line, now with a line end, then what was added.
    const std::string_view old = before[head];
    FUZZ_CHECK(after[head].substr(0, old.size()) == old);
  }
  return 0;
}
