// The commands of the multithreading library (library 5): start a program
// routine on a thread of its own, end a thread by force, close its handle.
//
// Conventions of this library, written once here:
// - A thread handle is held by program code in a 32-bit integer variable,
//   also in the 64-bit build: Windows keeps kernel handles 32-bit
//   significant in 64-bit processes (that is how 32- and 64-bit programs
//   share them), so truncating one (HandleToLong) and sign-extending it back
//   (LongToHandle) gives the same handle, pseudo handles (-1, -2) included.
// - The commands keep no state and take no lock.
#pragma once

#include <windows.h>

#include "libraries/threads/library.h"
#include "runtime/values.h"

namespace lib::threads {

// The exit code of a thread ended by EndThread.
constexpr DWORD kEndedThreadExitCode = 0xFFFFFFFF;

// EndThread(handle) → the system's answer to ending the thread, unchanged
// (non-zero on success). The handle stays open. What the thread left
// waiting for the window thread is never done (rt::EndThreadByForce).
void EndThread(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);
// StartThread(routine, parameter (optional), handle variable (optional)) →
// logical: whether the thread runs.
void StartThread(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);
// CloseThreadHandle(handle) → logical: whether a thread handle was closed.
void CloseThreadHandle(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);

// Closes a handle with `close`, turning the exception that the system raises
// for a bad handle under a debugger or with strict handle checks into a
// failed close.
using CloseFunction = BOOL(WINAPI*)(HANDLE);
bool CloseCatchingHandleFaults(HANDLE handle, CloseFunction close);

}  // namespace lib::threads
