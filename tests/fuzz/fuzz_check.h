#pragma once

#include <cstdio>
#include <cstdlib>

/// Stops the run with a message when a property of the code under test does not hold; the
/// fuzzer keeps the input that did it.
#define FUZZ_CHECK(cond)                                                               \
  do {                                                                                 \
    if (!(cond)) {                                                                     \
      std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #cond); \
      std::abort();                                                                    \
    }                                                                                  \
  } while (0)
