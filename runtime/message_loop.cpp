#include "runtime/message_loop.h"

#include <algorithm>

#include "runtime/state.h"

namespace rt {
namespace {

constexpr UINT kCaretBlinkTimer = 0x118;

// A repeated mouse move at the same place, a paint or the caret blink does
// not end an idle period.
bool ResetsIdle(const MSG& msg) {
  if (msg.message == WM_PAINT || msg.message == kCaretBlinkTimer) return false;
  if (msg.message != WM_MOUSEMOVE && msg.message != WM_NCMOUSEMOVE) return true;
  MouseMove& last = State().lastMouseMove;
  bool same = msg.message == last.message && msg.pt.x == last.cursor.x && msg.pt.y == last.cursor.y;
  last = {msg.message, msg.pt};
  return !same;
}

// Gets one message and hands it on; false on the quit message.
bool PumpMessage(MSG& msg) {
  if (GetMessageW(&msg, nullptr, 0, 0) <= 0) return false;
  if (!Framework().preTranslateMessage(msg)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

bool MessageWaiting(MSG& msg) { return PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) != 0; }

// Visits the table from the last entry to the first; routines may register
// or unregister others while they run, so indexes are re-checked each step.
void RunIdleRoutines() {
  auto& table = State().idleRoutines;
  for (size_t i = table.size(); i-- > 0;) {
    if (i >= table.size()) continue;
    IdleRoutine entry = table[i];
    if (IsWindow(entry.window)) entry.routine(entry.parameter);
    else table.erase(table.begin() + ptrdiff_t(i));
  }
}

// The application's idle operation. The framework itself keeps no idle work,
// so its first two calls of a period simply keep the loop idle; from the
// third on, each loaded window gets its idle event until its handler stops
// asking for more.
bool OnIdle(long count) {
  DWORD& startTick = State().idleStartTick;
  if (count == 0) {
    startTick = GetTickCount();
    Framework().beginIdlePeriod();
  }
  if (count < 2) return true;
  return Framework().raiseIdleEvents(GetTickCount() - startTick);
}

bool ModalWaitOver(LoopMode mode) {
  const auto& waits = State().modalWaits;
  return mode == LoopMode::ModalWait && (waits.empty() || waits.back() == 0);
}

}  // namespace

void RunLoop(LoopMode mode) {
  bool idle = true;
  long idleCount = 0;
  MSG msg;
  for (;;) {
    while (idle && !MessageWaiting(msg)) {
      RunIdleRoutines();
      if (!OnIdle(idleCount++)) idle = false;
      if (ModalWaitOver(mode)) return;
    }
    do {
      if (mode == LoopMode::ModalWait && MessageWaiting(msg) && msg.message == WM_QUIT) return;
      if (!PumpMessage(msg)) {
        if (mode == LoopMode::ModalWait) PostQuitMessage(int(msg.wParam));
        return;
      }
      if (ModalWaitOver(mode)) return;
      if (ResetsIdle(msg)) {
        idle = true;
        idleCount = 0;
      }
    } while (MessageWaiting(msg));
  }
}

void RunMessageLoop() {
  State().started = true;
  if (Framework().anyLoadedWindowAlive()) RunLoop(LoopMode::Normal);
}

void DoEvents() {
  MSG msg;
  while (MessageWaiting(msg) && msg.message != WM_QUIT) PumpMessage(msg);
}

void RegisterIdleRoutine(HWND window, void (*routine)(intptr_t), intptr_t parameter) {
  auto& table = State().idleRoutines;
  if (!window || !IsWindow(window) || !routine) return;
  if (std::any_of(table.begin(), table.end(), [&](const IdleRoutine& e) { return e.window == window; })) return;
  table.push_back({window, routine, parameter});
}

void UnregisterIdleRoutine(HWND window) {
  auto& table = State().idleRoutines;
  std::erase_if(table, [&](const IdleRoutine& e) { return e.window == window; });
}

}  // namespace rt
