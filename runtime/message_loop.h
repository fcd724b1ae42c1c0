// The message loop, in its normal mode and as a modal wait, with idle
// processing and idle routines.
#pragma once

#include <windows.h>

#include <cstdint>

namespace rt {

enum class LoopMode { Normal, ModalWait };

// Normal: runs until the quit message. ModalWait: also returns as soon as the
// innermost modal wait (RuntimeState::modalWaits) has ended, and leaves a
// quit message in the queue for the outer loop.
void RunLoop(LoopMode mode);

// Marks start-up as finished and runs the normal loop while a loaded window
// is alive.
void RunMessageLoop();

// Pumps every waiting message except the quit message.
void DoEvents();

// Idle routines run while the loop is idle, each for as long as its window
// lives. A null or dead window, an already registered window or a null
// routine registers nothing.
void RegisterIdleRoutine(HWND window, void (*routine)(intptr_t), intptr_t parameter);
void UnregisterIdleRoutine(HWND window);

}  // namespace rt
