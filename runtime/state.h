// The runtime's application object: one per process, owned by the main
// thread except where a member says otherwise.
#pragma once

#include <windows.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "runtime/callback.h"
#include "runtime/dll_commands.h"
#include "runtime/fatal.h"
#include "runtime/program.h"
#include "runtime/window_framework.h"

namespace rt {

struct IdleRoutine {
  HWND window;
  void (*routine)(intptr_t parameter);
  intptr_t parameter;
};

struct RegisteredLibrary {
  const LibraryDescriptor* descriptor;
  intptr_t dataWord;
};

struct DefaultIcons {
  HICON large = nullptr;
  HICON small = nullptr;
  bool loaded = false;
};

struct MouseMove {
  UINT message = 0;
  POINT cursor{-1, -1};
};

// The IDs of the last threads ended by force, a ring that any thread may
// write to (atomically) and the main thread reads (hidden_owner.cpp).
struct ForcedEnds {
  std::array<std::atomic<DWORD>, 16> ids{};
  std::atomic<size_t> next = 0;
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
  // Posted messages' turn (RunOnMainThread): set while a marker posted to
  // the hidden owner waits for the main thread, with the tick it was posted
  // at; the event is set when the main thread came to it.
  struct PostedTurn {
    std::atomic<bool> pending = false;
    std::atomic<ULONGLONG> postedAt = 0;
    HANDLE reached = CreateEventW(nullptr, TRUE, TRUE, nullptr);
  } postedTurn;
  // Made and destroyed by the main thread; workers read it to send it work,
  // possibly while the program's end destroys it.
  std::atomic<HWND> hiddenOwner = nullptr;
  bool oleInitialisedByRuntime = false;

  // The program's libraries, in command order, from start-up to shutdown.
  std::vector<RegisteredLibrary> libraries;
  // Sized at start-up before any worker exists; then shared by every thread
  // that calls a DLL command, without a lock (see DllCommand).
  std::vector<DllCommand> dllCommands;
  ForcedEnds forcedEnds;
  // Objects libraries hand over to be closed at shutdown.
  std::vector<std::unique_ptr<CleanupObject>> cleanupObjects;
  DefaultIcons defaultIcons;
  // Depth of work carried over from other threads; carried work may nest.
  int carriedWork = 0;

  std::vector<IdleRoutine> idleRoutines;
  // The message loop's: the last mouse move seen, which a repeat at the same
  // place does not count as input, and when the current idle period began.
  MouseMove lastMouseMove;
  DWORD idleStartTick = 0;
  // A fatal error on a worker may discard the exit routines while the main
  // thread registers one: both hold exitRoutinesLock. The list is swapped out
  // before it is run, so no routine is called with the lock held.
  std::vector<ExitRoutine> exitRoutines;
  std::mutex exitRoutinesLock;

  // Set by the main thread, called from whichever thread fails; insideHook
  // keeps an error raised by the hook itself from calling it again.
  ErrorHook errorHook = nullptr;
  std::atomic<bool> insideHook{false};

  // The program's constant block: set once at start-up, before any worker
  // exists, and only read afterwards (from any thread that frees memory).
  const uint8_t* constantStart = nullptr;
  const uint8_t* constantEnd = nullptr;

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
