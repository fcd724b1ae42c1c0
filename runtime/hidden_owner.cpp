#include "runtime/hidden_owner.h"

#include <algorithm>
#include <atomic>

#include "runtime/shutdown.h"
#include "runtime/state.h"

namespace rt {
namespace {

constexpr wchar_t kClassName[] = L"_QX_HideOwner";

// Posted messages waiting longer than this behind workers' calls get their
// turn: the next caller waits for the main thread to come to them, at most
// kPostedTurnWaitMs. The main thread free of sent messages comes to its
// queue at once; the wait runs out only when it is in a wait that takes
// sent messages only (a playback's Stop or Pause), which it slows by as much.
constexpr ULONGLONG kPostedTurnDueMs = 100;
constexpr DWORD kPostedTurnWaitMs = 50;
// A marker out this long counts as lost and is posted again: its poster may
// have been ended by force between taking it and posting it. A second
// marker in the queue does no harm.
constexpr ULONGLONG kPostedTurnLostMs = 2000;

struct CarriedWork {
  CarriedWork() { ++State().carriedWork; }
  ~CarriedWork() { --State().carriedWork; }
};

// A thread ended by force while it waited for the main thread leaves its
// message behind, and the system still delivers it. The work, and whatever
// it refers to, lived on that thread's stack: it is not run, nor even read.
// The sender is known by its thread ID alone. Asking the system whether a
// thread has ended costs every carried call a round trip, so only the IDs
// of the threads recently ended by force are asked about.

bool Ended(DWORD threadId) {
  HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, threadId);
  if (!thread) return true;
  bool ended = WaitForSingleObject(thread, 0) != WAIT_TIMEOUT;
  CloseHandle(thread);
  return ended;
}

bool EndedByForce(DWORD threadId) {
  const auto& ids = State().forcedEnds.ids;
  bool named = std::any_of(ids.begin(), ids.end(), [&](const auto& id) { return id == threadId; });
  return named && Ended(threadId);
}

void RunCarriedWork(LPARAM work) {
  CarriedWork running;
  (*reinterpret_cast<const std::function<void()>*>(work))();
}

// Due once it has been out too long. The posting time is read before the
// clock: read after, a marker posted meanwhile would look due for ages.
bool MarkerDue(const RuntimeState::PostedTurn& turn) {
  ULONGLONG postedAt = turn.postedAt;
  return GetTickCount64() - postedAt > kPostedTurnDueMs;
}

// One caller of those that find the marker lost takes the posting over.
bool TakeOverLostMarker(RuntimeState::PostedTurn& turn) {
  ULONGLONG postedAt = turn.postedAt;
  ULONGLONG now = GetTickCount64();
  return now - postedAt > kPostedTurnLostMs && turn.postedAt.compare_exchange_strong(postedAt, now);
}

void PostMarker(HWND owner, RuntimeState::PostedTurn& turn) {
  turn.postedAt = GetTickCount64();
  ResetEvent(turn.reached);
  if (!PostMessageW(owner, kPostedTurnMessage, 0, 0)) {
    turn.pending = false;
    SetEvent(turn.reached);
  }
}

// One marker at a time, shared by every worker: posted when none is out,
// waited for once it is due. A wait that runs out means the main thread is
// in a wait that takes sent messages only: waiting for the same marker on
// every call would slow each by the whole wait, so the marker no longer
// holds callers back.
void LetPostedMessagesThrough(HWND owner) {
  RuntimeState::PostedTurn& turn = State().postedTurn;
  if (!turn.pending.exchange(true) || TakeOverLostMarker(turn)) return PostMarker(owner, turn);
  if (MarkerDue(turn) && WaitForSingleObject(turn.reached, kPostedTurnWaitMs) == WAIT_TIMEOUT)
    SetEvent(turn.reached);
}

// The event first: set after the marker is released, it could undo the
// reset of the next marker posted meanwhile.
void PostedTurnReached() {
  RuntimeState::PostedTurn& turn = State().postedTurn;
  SetEvent(turn.reached);
  turn.pending = false;
}

LRESULT CALLBACK HiddenOwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kPostedTurnMessage) return PostedTurnReached(), 0;
  if (message == kExitRequestMessage) ExitProgram(int(wParam));
  if (message == kRunOnMainThreadMessage) {
    if (!EndedByForce(DWORD(wParam))) RunCarriedWork(lParam);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

void CreateHiddenOwner() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{sizeof wc};
  wc.lpfnWndProc = HiddenOwnerProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = HBRUSH(GetStockObject(NULL_BRUSH));
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);
  State().hiddenOwner = CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"", WS_OVERLAPPED, 0, 0, 0, 0,
                                        nullptr, nullptr, instance, nullptr);
}

void RunOnMainThread(const std::function<void()>& work) {
  const RuntimeState& state = State();
  if (!state.mainThreadId || GetCurrentThreadId() == state.mainThreadId) return work();
  // A window destroyed meanwhile just refuses the message.
  if (HWND owner = state.hiddenOwner.load()) {
    LetPostedMessagesThrough(owner);
    SendMessageW(owner, kRunOnMainThreadMessage, GetCurrentThreadId(), reinterpret_cast<LPARAM>(&work));
  }
}

// Named before it ends: by the time the thread is gone, its ID is known.
BOOL EndThreadByForce(HANDLE thread, DWORD exitCode) {
  ForcedEnds& ends = State().forcedEnds;
  if (DWORD id = GetThreadId(thread)) ends.ids[ends.next++ % ends.ids.size()] = id;
  return TerminateThread(thread, exitCode);
}

bool RunningCarriedWork() { return GetCurrentThreadId() == State().mainThreadId && State().carriedWork > 0; }

void DestroyHiddenOwner() {
  RuntimeState& state = State();
  if (HWND owner = state.hiddenOwner.load()) DestroyWindow(owner);
  state.hiddenOwner = nullptr;
  PostedTurnReached();  // a marker still out went with the window
}

}  // namespace rt
