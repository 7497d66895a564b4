#pragma once

#include <cstdint>

namespace platform {

/// A seedable pseudo-random source with the same sequence on every machine.
class Random {
 public:
  explicit Random(uint64_t seed = 1) { setSeed(seed); }
  /// Restarts the sequence from a seed.
  void setSeed(uint64_t seed);
  /// Re-seeds from the clock, unless a fixed seed was requested with fixSeed().
  void randomize(uint64_t clockValue);
  /// Makes every later randomize() use this seed (tests and reproducible demos).
  void fixSeed(uint64_t seed) {
    fixed_ = true;
    fixedSeed_ = seed;
  }
  /// A whole number in [0, n); 0 when n <= 0.
  int next(int n);
  /// A real number in [0, 1).
  double nextDouble();

 private:
  uint64_t step();
  uint64_t state_ = 0;
  bool fixed_ = false;
  uint64_t fixedSeed_ = 0;
};

}  // namespace platform
