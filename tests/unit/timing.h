// Time as tests measure it: the performance counter for elapsed time, the
// thread's own processor time to tell a wait that sleeps from one that spins.
#pragma once

#include <windows.h>

#include <cstdint>

namespace testing_support {

// Milliseconds on the performance counter, from an arbitrary start.
inline double NowMs() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return double(now.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

// The processor time of the calling thread so far, in milliseconds; under
// this Wine it goes in steps of 10 ms.
inline double ThreadCpuMs() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  auto hundredNs = [](FILETIME t) { return double(uint64_t(t.dwHighDateTime) << 32 | t.dwLowDateTime); };
  return (hundredNs(kernel) + hundredNs(user)) / 10000.0;
}

}  // namespace testing_support
