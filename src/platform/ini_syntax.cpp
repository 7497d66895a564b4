#include "platform/ini_syntax.h"

#include <cstring>

namespace platform::ini {

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string lowerCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = asciiLower(c);
  return out;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (asciiLower(a[i]) != asciiLower(b[i])) return false;
  return true;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool isQuote(char c) { return c == '"' || c == '\''; }

std::string_view unquote(std::string_view s) {
  if (s.size() >= 2 && isQuote(s.front()) && s.front() == s.back())
    return s.substr(1, s.size() - 2);
  return s;
}

RawLine lineAt(std::string_view text, std::size_t pos) {
  // The first line feed, then the first carriage return before it: two scans the library
  // does a word at a time instead of one test per character.
  const char* begin = text.data() + pos;
  const std::size_t rest = text.size() - pos;
  const void* lf = std::memchr(begin, '\n', rest);
  std::size_t length = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - begin) : rest;
  if (const void* cr = std::memchr(begin, '\r', length))
    length = static_cast<std::size_t>(static_cast<const char*>(cr) - begin);
  const std::size_t end = pos + length;
  RawLine line{text.substr(pos, length), {}, end};
  if (end < text.size()) {
    const std::size_t eolLen =
        (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1;
    line.eol = text.substr(end, eolLen);
    line.next = end + eolLen;
  }
  return line;
}

LineMeaning classifyLine(std::string_view text, bool firstLine) {
  if (firstLine && text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  const std::string_view body = trim(text);
  if (body.empty()) return {};
  if (body.front() == '[') {
    const std::size_t close = body.find(']');
    if (close != std::string_view::npos)
      return {LineMeaning::Section, trim(body.substr(1, close - 1)), {}};
  }
  if (body.front() == ';' || body.front() == '#') return {};
  const std::size_t eq = body.find('=');
  if (eq == std::string_view::npos) return {};
  const std::string_view key = trim(body.substr(0, eq));
  if (key.empty()) return {};
  return {LineMeaning::Key, key, unquote(trim(body.substr(eq + 1)))};
}

}  // namespace platform::ini
