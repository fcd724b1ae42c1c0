// The runtime's application object: one per process, owned by the main
// thread except where a member says otherwise.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/program.h"
#include "runtime/window_framework.h"

namespace rt {

struct IdleRoutine {
  HWND window;
  void (*routine)(intptr_t parameter);
  intptr_t parameter;
};

struct RuntimeState {
  const ProgramDescriptor* program = nullptr;
  // Installed before anything runs, read-only afterwards.
  const WindowFramework* windowFramework = nullptr;
  uint32_t buildKind = 0;
  uint32_t reservedWord = 0;
  uint32_t thirdWordPlusOne = 0;

  std::string directory;               // no trailing backslash
  std::string fileName;
  std::string directoryWithBackslash;

  DWORD mainThreadId = 0;
  HWND hiddenOwner = nullptr;
  bool oleInitialisedByRuntime = false;

  std::vector<IdleRoutine> idleRoutines;
  std::vector<ExitRoutine> exitRoutines;

  // Read from any thread: a fatal error on a worker raises it too.
  std::atomic<int> eventSuppression{0};
  uint32_t eventSourceWindow = 0;
  uint32_t eventSourceUnit = 0;
  // The window ID each running modal loop waits for, innermost last; an
  // entry becomes 0 when its window is gone, which ends that loop.
  std::vector<uint32_t> modalWaits;
  std::atomic<bool> started{false};
  std::atomic<bool> shuttingDown{false};
};

RuntimeState& State();

// The event suppression counter: no handler runs while it is 1 or more.
// Lowering stops at 0, also when threads race.
inline void SuppressEvents() { ++State().eventSuppression; }
inline void ResumeEvents() {
  auto& counter = State().eventSuppression;
  int value = counter.load();
  while (value > 0 && !counter.compare_exchange_weak(value, value - 1)) {
  }
}

}  // namespace rt
