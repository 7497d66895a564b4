#pragma once

#include <cstdint>

/// Resident memory of this process now and at its peak so far, in kilobytes (0 when unknown).
struct MemoryUse {
  int64_t currentKb = 0;
  int64_t peakKb = 0;
};
MemoryUse memoryUse();
