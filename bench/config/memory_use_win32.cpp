#include <windows.h>

#include <psapi.h>

#include "config/memory_use.h"

MemoryUse memoryUse() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return {};
  return {static_cast<int64_t>(counters.WorkingSetSize / 1024),
          static_cast<int64_t>(counters.PeakWorkingSetSize / 1024)};
}
