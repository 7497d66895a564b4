#include "sim/observer.h"

#include <cstdio>
#include <cstring>

namespace sim {

std::string formatSeconds(int64_t us) {
  int64_t ms = us >= 0 ? us / 1000 : -((-us + 999) / 1000);
  char buf[32];
  const char* sign = ms < 0 ? "-" : "";
  int64_t a = ms < 0 ? -ms : ms;
  std::snprintf(buf, sizeof buf, "%s%lld.%03lld", sign, static_cast<long long>(a / 1000),
                static_cast<long long>(a % 1000));
  return buf;
}

std::string quoteText(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(static_cast<char>(c));
    } else if (c < 0x20 || c >= 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  out.push_back('"');
  return out;
}

std::string Observation::line() const { return "t=" + formatSeconds(timeUs) + " " + text; }

int64_t ClientWrite::asInt() const {
  uint64_t v = 0;
  uint32_t n = size < 8 ? size : 8;
  for (uint32_t i = 0; i < n; ++i) v |= uint64_t(value[i]) << (8 * i);
  if (n > 0 && n < 8 && (value[n - 1] & 0x80)) v |= ~uint64_t(0) << (8 * n);  // sign-extend
  return static_cast<int64_t>(v);
}

double ClientWrite::asDouble() const {
  double d = 0;
  if (size >= 8) std::memcpy(&d, value, 8);
  return d;
}

void Observer::note(int64_t timeUs, std::string text) {
  lines_.push_back({timeUs, std::move(text)});
  if (onLine) onLine(lines_.back());
}

void Observer::addMessage(int64_t timeUs, std::string text, int seconds) {
  messages_.push_back({timeUs, text, seconds});
  note(timeUs, "MSG " + std::to_string(seconds) + "s " + quoteText(text));
}

void Observer::addWrite(int64_t timeUs, uint32_t offset, uint32_t size, const uint8_t* data) {
  for (uint64_t o = offset; o < uint64_t(offset) + size && o < 0x10000; ++o) written_[o] = true;
  if (size == 0) written_[offset & 0xFFFF] = true;
  if (writes_.size() >= kMaxWrites) {
    ++dropped_;
    return;
  }
  ClientWrite w;
  w.timeUs = timeUs;
  w.offset = offset;
  w.size = size;
  std::memcpy(w.value, data, size < 8 ? size : 8);
  writes_.push_back(w);
}

bool Observer::sawMessage(const std::string& text) const {
  for (const SimMessage& m : messages_)
    if (m.text == text) return true;
  return false;
}

}  // namespace sim
