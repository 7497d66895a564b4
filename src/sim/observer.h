#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace sim {

/// One observation: simulated time in microseconds on the scenario clock, and the line
/// without its time prefix ("MSG 3s \"TRAPPING ACTIVE\"").
struct Observation {
  int64_t timeUs = 0;
  std::string text;
  /// The full line as printed: "t=12.350 MSG 3s \"TRAPPING ACTIVE\"".
  std::string line() const;
};

/// A message the client showed in the simulator (0x3380 with its display time at 0x32FA).
struct SimMessage {
  int64_t timeUs = 0;
  std::string text;
  int seconds = 0;
};

/// A write record the client sent: time, offset, size and up to 8 bytes of the value.
struct ClientWrite {
  int64_t timeUs = 0;
  uint32_t offset = 0;
  uint32_t size = 0;
  uint8_t value[8] = {};
  /// The first bytes of the value as a little-endian integer / double.
  int64_t asInt() const;
  double asDouble() const;
};

/// Collects what the simulator saw and prints it as it happens.
class Observer {
 public:
  /// Most client writes kept; later ones are counted in writesDropped() only.
  static constexpr size_t kMaxWrites = 1'000'000;

  /// Records a line and hands it to onLine.
  void note(int64_t timeUs, std::string text);
  void addMessage(int64_t timeUs, std::string text, int seconds);
  void addWrite(int64_t timeUs, uint32_t offset, uint32_t size, const uint8_t* data);

  const std::vector<Observation>& lines() const { return lines_; }
  const std::vector<SimMessage>& messages() const { return messages_; }
  const std::vector<ClientWrite>& writes() const { return writes_; }
  size_t writesDropped() const { return dropped_; }
  /// True when a message with exactly this text was shown.
  bool sawMessage(const std::string& text) const;
  /// True when a client write record covered this offset.
  bool sawWrite(uint32_t offset) const { return written_[offset & 0xFFFF]; }

  /// Receives every line as it is recorded (corvane-sim prints it).
  std::function<void(const Observation&)> onLine;

 private:
  std::vector<Observation> lines_;
  std::vector<SimMessage> messages_;
  std::vector<ClientWrite> writes_;
  std::vector<bool> written_ = std::vector<bool>(0x10000, false);
  size_t dropped_ = 0;
};

/// Formats microseconds as seconds with three decimals ("12.350", "-0.016").
std::string formatSeconds(int64_t us);
/// Quotes a text for an observation line, escaping quotes, backslashes and control bytes.
std::string quoteText(const std::string& text);

}  // namespace sim
