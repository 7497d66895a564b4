#include <windows.h>

#include <chrono>

#include "link/bare_round_trip.h"

// SendMessageTimeoutA of WM_NULL to the server window the link talks to: the window answers
// it at once, so this is the message round trip alone, without the request block.
double benchBareRoundTrip(int warmUp, int rounds) {
  const HWND window = FindWindowExA(nullptr, nullptr, "UIPCMAIN", nullptr);
  if (!window) return -1;
  std::vector<double> us;
  us.reserve(static_cast<size_t>(rounds));
  for (int i = 0; i < warmUp + rounds; ++i) {
    const auto start = std::chrono::steady_clock::now();
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK, 2000, &answer)) return -1;
    if (i >= warmUp)
      us.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() -
                                                             start)
                       .count());
  }
  return report("bare SendMessageTimeoutA round trip, same window", us);
}
