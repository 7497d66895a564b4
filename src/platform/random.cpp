#include "platform/random.h"

namespace platform {

void Random::setSeed(uint64_t seed) { state_ = seed; }

void Random::randomize(uint64_t clockValue) { setSeed(fixed_ ? fixedSeed_ : clockValue); }

uint64_t Random::step() {
  // splitmix64: small, fast and identical everywhere.
  uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

int Random::next(int n) {
  if (n <= 0) return 0;
  return static_cast<int>(((step() >> 32) * static_cast<uint64_t>(n)) >> 32);
}

double Random::nextDouble() { return static_cast<double>(step() >> 11) * 0x1.0p-53; }

}  // namespace platform
