#include "platform/append_file.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace platform {

bool appendToFile(const std::string& path, std::string_view header, std::string_view text) {
  std::FILE* f = std::fopen(path.c_str(), "ab");
  if (!f) return false;
  // Append mode writes at the end whatever the position; the position only tells whether the
  // file already holds something.
  bool ok = std::fseek(f, 0, SEEK_END) == 0;
  const long size = ok ? std::ftell(f) : -1;
  ok = ok && size >= 0;
  std::string block;
  if (ok && size == 0) block.append(header);
  block.append(text);
  ok = ok && std::fwrite(block.data(), 1, block.size(), f) == block.size();
  ok = std::fflush(f) == 0 && ok;
  ok = std::fclose(f) == 0 && ok;
  return ok;
}

namespace {

/// The last line of text beginning with start, without its line end; empty when none.
std::string_view lastLineStarting(std::string_view text, std::string_view start) {
  std::string_view found;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    if (line.substr(0, start.size()) == start) found = line;
    pos = end + 1;
  }
  while (!found.empty() && (found.back() == '\r' || found.back() == '\n')) found.remove_suffix(1);
  return found;
}

std::string readWhole(const std::string& path) {
  std::string content;
  if (std::FILE* in = std::fopen(path.c_str(), "rb")) {
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, in)) > 0) content.append(buf, n);
    std::fclose(in);
  }
  return content;
}

}  // namespace

std::string lastHeaderLine(const std::string& path, std::string_view headerStart) {
  return std::string(lastLineStarting(readWhole(path), headerStart));
}

bool appendUnderHeader(const std::string& path, std::string_view header,
                       std::string_view headerStart, std::string_view text) {
  const std::string content = readWhole(path);
  std::string_view current = header;
  while (!current.empty() && (current.back() == '\r' || current.back() == '\n'))
    current.remove_suffix(1);
  if (content.empty() || lastLineStarting(content, headerStart) == current)
    return appendToFile(path, header, text);
  std::string block;
  // A file whose last line lacks its end gets one, so the header starts a line of its own.
  if (content.back() != '\n') block += "\r\n";
  block.append(header);
  block.append(text);
  return appendToFile(path, header, block);
}

bool writeNewFile(const std::string& folder, const std::string& name, std::string_view text) {
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(folder), ec);
  if (ec) return false;
  std::FILE* f = std::fopen((folder + name).c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  ok = std::fflush(f) == 0 && ok;
  ok = std::fclose(f) == 0 && ok;
  return ok;
}

}  // namespace platform
