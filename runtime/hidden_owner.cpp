#include "runtime/hidden_owner.h"

#include "runtime/shutdown.h"
#include "runtime/state.h"

namespace rt {
namespace {

constexpr wchar_t kClassName[] = L"_QX_HideOwner";

int carriedWork = 0;  // main thread only; carried work may nest

struct CarriedWork {
  CarriedWork() { ++carriedWork; }
  ~CarriedWork() { --carriedWork; }
};

LRESULT CALLBACK HiddenOwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kExitRequestMessage) ExitProgram(int(wParam));
  if (message == kRunOnMainThreadMessage) {
    CarriedWork running;
    (*reinterpret_cast<const std::function<void()>*>(lParam))();
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
  if (state.hiddenOwner) SendMessageW(state.hiddenOwner, kRunOnMainThreadMessage, 0, reinterpret_cast<LPARAM>(&work));
}

bool RunningCarriedWork() { return GetCurrentThreadId() == State().mainThreadId && carriedWork > 0; }

void DestroyHiddenOwner() {
  RuntimeState& state = State();
  if (state.hiddenOwner) DestroyWindow(state.hiddenOwner);
  state.hiddenOwner = nullptr;
}

}  // namespace rt
