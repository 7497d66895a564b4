#include <charconv>
#include <cstdint>
#include <cstring>

#include "board/board.h"

// The cache file beside the page: a first line naming the format, then one record per sheet and
// one per drawn part, each with the lengths of its texts (so that no text needs escaping) and a
// check sum of the record. A rebuild after one more pass appends that pass's records; a later
// record of the same sheet or part takes the place of an earlier one.
//
//   CorvaneBoardCache 2
//   S <size> <skipped lines> <name length> <last line length> <sum>\n<name><last line>\n
//   P <key length> <part length> <sum>\n<key><part>\n

namespace {

constexpr std::string_view kFirstLine = "CorvaneBoardCache 2\n";

/// A 64-bit check sum of texts, eight bytes at a time (FNV-1a over words): a record cut short
/// or damaged on the disk does not pass it.
std::uint64_t CheckSum(std::string_view text, std::uint64_t h = 14695981039346656037ull) {
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t w;
    std::memcpy(&w, text.data() + i, 8);
    h = (h ^ w) * 1099511628211ull;
  }
  for (; i < text.size(); ++i) h = (h ^ static_cast<unsigned char>(text[i])) * 1099511628211ull;
  return h;
}

/// Reads the numbers of a record's first line ("S 12 0 5 7\n"), moving at past its end.
template <std::size_t N>
bool Numbers(std::string_view text, std::size_t& at, std::uint64_t (&out)[N]) {
  const char* p = text.data() + at;
  const char* const end = text.data() + text.size();
  for (std::uint64_t& n : out) {
    if (p == end || *p != ' ') return false;
    const auto r = std::from_chars(p + 1, end, n);
    if (r.ec != std::errc{} || r.ptr == p + 1) return false;
    p = r.ptr;
  }
  if (p == end || *p != '\n') return false;
  at = static_cast<std::size_t>(p + 1 - text.data());
  return true;
}

/// Takes n bytes of text at at, then the record's closing newline.
bool Take(std::string_view text, std::size_t& at, std::uint64_t n, std::string_view& out) {
  if (n > text.size() - at) return false;
  out = text.substr(at, n);
  at += n;
  return true;
}

bool EndOfRecord(std::string_view text, std::size_t& at) {
  if (at >= text.size() || text[at] != '\n') return false;
  ++at;
  return true;
}

}  // namespace

std::string BoardCachePath(const std::string& pagePath) {
  const std::size_t slash = pagePath.find_last_of("/\\");
  const std::size_t dot = pagePath.rfind('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExtension ? pagePath.substr(0, dot) : pagePath) + ".cache";
}

std::string_view LastLine(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  const std::size_t nl = text.rfind('\n');
  return nl == std::string_view::npos ? text : text.substr(nl + 1);
}

std::string BoardCacheRecords(const std::map<std::string, TSheetStamp>& sheets,
                              const std::map<std::string, std::string>& parts) {
  std::size_t bytes = 0;
  for (const auto& [key, part] : parts) bytes += key.size() + part.size() + 64;
  std::string out;
  out.reserve(bytes + sheets.size() * 160);
  for (const auto& [name, s] : sheets) {
    const std::string head = "S " + std::to_string(s.size) + ' ' + std::to_string(s.skippedLines) +
                             ' ' + std::to_string(name.size()) + ' ' +
                             std::to_string(s.lastLine.size());
    out += head + ' ' + std::to_string(CheckSum(s.lastLine, CheckSum(name, CheckSum(head)))) + '\n';
    out += name;
    out += s.lastLine;
    out += '\n';
  }
  for (const auto& [key, part] : parts) {
    const std::string head = "P " + std::to_string(key.size()) + ' ' + std::to_string(part.size());
    out += head + ' ' + std::to_string(CheckSum(part, CheckSum(key, CheckSum(head)))) + '\n';
    out += key;
    out += part;
    out += '\n';
  }
  return out;
}

std::string BoardCacheText(const std::map<std::string, TSheetStamp>& sheets,
                           const std::map<std::string, std::string>& parts) {
  return std::string(kFirstLine) + BoardCacheRecords(sheets, parts);
}

bool ParseBoardCache(std::string_view text, TBoardCache& cache) {
  cache = {};
  if (text.substr(0, kFirstLine.size()) != kFirstLine) return false;
  std::size_t at = kFirstLine.size();
  TBoardCache read;
  while (at < text.size()) {
    const std::size_t headAt = at;
    const char kind = text[at++];
    if (kind == 'S') {
      std::uint64_t n[5];
      std::string_view name, last;
      if (!Numbers(text, at, n)) return false;
      const std::string_view head = text.substr(headAt, text.rfind(' ', at - 2) - headAt);
      if (!Take(text, at, n[2], name) || !Take(text, at, n[3], last) || !EndOfRecord(text, at) ||
          n[4] != CheckSum(last, CheckSum(name, CheckSum(head))))
        return false;
      read.sheets[std::string(name)] = {n[0], std::string(last), static_cast<std::size_t>(n[1])};
    } else if (kind == 'P') {
      std::uint64_t n[3];
      std::string_view key, part;
      if (!Numbers(text, at, n)) return false;
      const std::string_view head = text.substr(headAt, text.rfind(' ', at - 2) - headAt);
      if (!Take(text, at, n[0], key) || !Take(text, at, n[1], part) || !EndOfRecord(text, at) ||
          n[2] != CheckSum(part, CheckSum(key, CheckSum(head))))
        return false;
      read.parts.insert_or_assign(std::string(key), std::string(part));
    } else {
      return false;
    }
  }
  cache = std::move(read);
  return true;
}
