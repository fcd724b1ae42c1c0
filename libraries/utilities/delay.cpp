#include "libraries/utilities/delay.h"

#include <windows.h>

#include "libraries/arguments.h"
#include "libraries/runtime_link.h"
#include "runtime/callback.h"

namespace lib::utilities {
namespace {

// Time is read from the performance counter: the system tick count moves in
// steps of about 16 ms, which would stretch a 10 ms delay to 16-32 ms.
int64_t CounterNow() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

int64_t CounterFrequency() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart;
}

void ProcessMessages() { CallRuntime<rt::LIB_SPECIAL>(rt::REQ_DO_EVENTS); }

// Message processing leaves a quit message for the loop that owns it. While
// one waits, only input that arrives afterwards may end a wait: counting
// what is already there would end every wait at once.
DWORD WaitFlags() {
  MSG msg;
  return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) ? 0 : MWMO_INPUTAVAILABLE;
}

// Counter counts up to 2^31 ms at any real frequency stay far inside 64 bits.
DWORD MillisecondsUp(int64_t counts, int64_t frequency) { return DWORD((counts * 1000 + frequency - 1) / frequency); }

}  // namespace

void Delay(rt::ArgRecord*, int count, rt::ArgRecord* arguments) {
  int32_t time = lib::Arguments(count, arguments).integer(0);
  if (time <= 0) return;
  const int64_t frequency = CounterFrequency();
  const int64_t end = CounterNow() + (time * frequency + 999) / 1000;
  for (;;) {
    DWORD flags = WaitFlags();
    ProcessMessages();
    int64_t left = end - CounterNow();
    if (left <= 0) return;
    MsgWaitForMultipleObjectsEx(0, nullptr, MillisecondsUp(left, frequency), QS_ALLINPUT, flags);
  }
}

}  // namespace lib::utilities
