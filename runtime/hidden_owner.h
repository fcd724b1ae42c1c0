// The hidden owner: a never-shown tool window that owns modal and
// taskbar-less top-level windows and carries ExitProgram from worker threads
// to the main thread.
#pragma once

#include <windows.h>

#include <functional>

namespace rt {

constexpr UINT kExitRequestMessage = WM_APP + 999;  // 0x83E7, exit code in wParam
constexpr UINT kRunOnMainThreadMessage = WM_APP + 998;

void CreateHiddenOwner();
void DestroyHiddenOwner();

// Runs the work on the main thread and waits for it (directly when called
// there). Once the hidden owner is gone the work is not run.
void RunOnMainThread(const std::function<void()>& work);

// True while the main thread runs work carried there from another thread:
// that work is done for a worker, whatever thread it runs on.
bool RunningCarriedWork();

}  // namespace rt
