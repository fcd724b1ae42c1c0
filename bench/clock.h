// The benchmarks' one clock: the performance counter in milliseconds. All
// processes share it, so the runner's times compare with its programs'.
#pragma once

#include <windows.h>

namespace bench {

inline double NowMs() {
  static const double ticksPerMs = [] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(frequency.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return double(now.QuadPart) / ticksPerMs;
}

}  // namespace bench
