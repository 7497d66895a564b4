#include <cstdio>
#include <fstream>
#include <string>

#include "config/memory_use.h"

MemoryUse memoryUse() {
  MemoryUse use;
  std::ifstream status("/proc/self/status");
  std::string line;
  long long kb = 0;
  while (std::getline(status, line)) {
    if (std::sscanf(line.c_str(), "VmRSS: %lld", &kb) == 1) use.currentKb = kb;
    if (std::sscanf(line.c_str(), "VmHWM: %lld", &kb) == 1) use.peakKb = kb;
  }
  return use;
}
