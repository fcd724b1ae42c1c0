// Exit routines and the orderly end of the process.
#pragma once

#include "runtime/program.h"

namespace rt {

// Appends the routine unless it is already registered.
void RegisterExitRoutine(ExitRoutine routine);
// Forgets every exit routine without calling it (after a fatal error).
void DiscardExitRoutines();

// Takes everything down in order. From a worker thread the request is carried
// to the main thread, which ends the process.
void Shutdown(int exitCode);

// Shutdown, then the process ends with the exit code. Safe from any thread.
[[noreturn]] void ExitProgram(int exitCode);

}  // namespace rt
