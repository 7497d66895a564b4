#include "platform/stdin_lines.h"

namespace platform {

std::vector<std::string> StdinLines::poll() {
  std::vector<std::string> lines;
  if (!open) return lines;
  if (!readAvailable()) open = false;
  size_t nl;
  while ((nl = pending_.find('\n')) != std::string::npos) {
    std::string line = pending_.substr(0, nl);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    pending_.erase(0, nl + 1);
  }
  if (!open && !pending_.empty()) {
    lines.push_back(pending_);
    pending_.clear();
  }
  return lines;
}

}  // namespace platform
