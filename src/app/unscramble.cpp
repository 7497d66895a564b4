#include "app/unscramble.h"

namespace {
constexpr unsigned char kShiftCycle[6] = {3, 1, 4, 1, 5, 9};

unsigned nibble(uint32_t word, int shift) { return (word >> shift) & 0xF; }
}  // namespace

std::string Unscramble(const std::string& scrambled) {
  std::string out;
  const size_t n = scrambled.size() < 255 ? scrambled.size() : 255;
  out.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    const auto c = static_cast<unsigned char>(scrambled[i]);
    out.push_back(static_cast<char>(static_cast<unsigned char>(c - kShiftCycle[i % 6])));
  }
  return out;
}

std::string VersionText(uint32_t versionWord) {
  std::string s;
  s.push_back(static_cast<char>(48 + nibble(versionWord, 28)));
  s.push_back('.');
  s.push_back(static_cast<char>(48 + nibble(versionWord, 24)));
  s.push_back(static_cast<char>(48 + nibble(versionWord, 20)));
  s.push_back(static_cast<char>(48 + nibble(versionWord, 16)));
  if ((versionWord & 0xFFFF) != 0) s.push_back(static_cast<char>(96 + (versionWord & 0xFF)));
  return s;
}

bool VersionAtLeast283(uint32_t versionWord) {
  const unsigned d1 = nibble(versionWord, 28), d2 = nibble(versionWord, 24),
                 d3 = nibble(versionWord, 20);
  if (d1 <= 1) return false;
  if (d1 <= 2 && d2 <= 7) return false;
  if (d1 <= 2 && d2 <= 8 && d3 <= 2) return false;
  return true;
}
