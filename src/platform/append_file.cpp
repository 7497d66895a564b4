#include "platform/append_file.h"

#include <cstdio>

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

}  // namespace platform
