// The hidden owner: a never-shown tool window that owns modal and
// taskbar-less top-level windows and carries ExitProgram and other work from
// worker threads to the main thread.
#pragma once

#include <windows.h>

#include <functional>

namespace rt {

constexpr UINT kExitRequestMessage = WM_APP + 999;  // 0x83E7, exit code in wParam
constexpr UINT kRunOnMainThreadMessage = WM_APP + 998;  // the sender's thread ID in wParam, the work in lParam
constexpr UINT kPostedTurnMessage = WM_APP + 997;       // posted: the main thread has come to posted messages

void CreateHiddenOwner();
void DestroyHiddenOwner();

// Runs the work on the main thread and waits for it (directly when called
// there). Once the hidden owner is gone the work is not run; nor is the
// work of a caller that EndThreadByForce ended before the main thread came
// to it. A thread takes sent messages before posted ones, so workers that
// call without pause would keep the main thread from its posted messages
// (input, timers, the calls COM delivers: a drop's) for as long as they
// run: a caller first lets the posted messages have their turn when they
// have waited too long.
void RunOnMainThread(const std::function<void()>& work);

// Ends the thread at once (TerminateThread, with its answer), and keeps
// what it left waiting in RunOnMainThread from running.
BOOL EndThreadByForce(HANDLE thread, DWORD exitCode);

// True while the main thread runs work carried there from another thread:
// that work is done for a worker, whatever thread it runs on.
bool RunningCarriedWork();

}  // namespace rt
