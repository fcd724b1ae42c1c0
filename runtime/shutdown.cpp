#include "runtime/shutdown.h"

#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <mutex>
#include <utility>

#include "runtime/callback.h"
#include "runtime/dll_commands.h"
#include "runtime/hidden_owner.h"
#include "runtime/library_registry.h"
#include "runtime/state.h"

namespace rt {
namespace {

std::vector<ExitRoutine> TakeExitRoutines() {
  RuntimeState& state = State();
  std::lock_guard lock(state.exitRoutinesLock);
  return std::exchange(state.exitRoutines, {});
}

void RunExitRoutines() {
  for (ExitRoutine routine : TakeExitRoutines()) routine();
}

// A worker thread never takes the runtime down itself: the main thread owns
// every window and runs the exit routines.
[[noreturn]] void CarryExitToMainThread(int exitCode) {
  RuntimeState& state = State();
  if (state.shuttingDown) ExitThread(DWORD(exitCode));  // the main thread is ending the process
  if (state.hiddenOwner) SendMessageW(state.hiddenOwner, kExitRequestMessage, WPARAM(exitCode), 0);
  ExitProcess(UINT(exitCode));
}

}  // namespace

void RegisterExitRoutine(ExitRoutine routine) {
  RuntimeState& state = State();
  std::lock_guard lock(state.exitRoutinesLock);
  auto& routines = state.exitRoutines;
  if (routine && std::find(routines.begin(), routines.end(), routine) == routines.end())
    routines.push_back(routine);
}

void DiscardExitRoutines() { TakeExitRoutines(); }

void Shutdown(int exitCode) {
  RuntimeState& state = State();
  ++state.eventSuppression;
  if (state.mainThreadId && GetCurrentThreadId() != state.mainThreadId) CarryExitToMainThread(exitCode);
  if (state.shuttingDown.exchange(true)) return;
  state.idleRoutines.clear();
  Framework().destroyAllLoadedWindows();
  RunExitRoutines();
  NotifyLibrariesOfEnd();
  FreeDllModules();
  state.directory.clear();
  state.fileName.clear();
  state.directoryWithBackslash.clear();
  DestroyDefaultIcons();
  DestroyHiddenOwner();
  ReleaseCleanupObjects();
  Framework().releaseUnitCursors();
  if (state.oleInitialisedByRuntime) OleUninitialize();
  state.oleInitialisedByRuntime = false;
}

void ExitProgram(int exitCode) {
  Shutdown(exitCode);
  ExitProcess(UINT(exitCode));
}

}  // namespace rt
