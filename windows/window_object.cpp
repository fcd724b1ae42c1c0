#include "windows/window_object.h"

#include "runtime/fault_injection.h"
#include "windows/registry.h"

namespace win {
namespace {

bool OwnedByThisThread(HWND handle) {
  return GetWindowThreadProcessId(handle, nullptr) == GetCurrentThreadId();
}

// Before the first binding every thread may look: the map is empty.
bool OnWindowThread() {
  DWORD windowThread = Registry().windowThread;
  return !windowThread || windowThread == GetCurrentThreadId();
}

HWND ParentOf(HWND handle) {
  return (GetWindowLongPtrW(handle, GWL_STYLE) & WS_CHILD) ? GetParent(handle) : nullptr;
}

}  // namespace

WindowObject::~WindowObject() { Detach(); }

HWND CreateWindowHandle(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style, int left, int top,
                        int width, int height, HWND parent, HMENU menu) {
  if (rt::fault::FailNow(rt::fault::Fault::WindowCreation)) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return CreateWindowExW(exStyle, className, text, style, left, top, width, height, parent, menu,
                         GetModuleHandleW(nullptr), nullptr);
}

void WindowObject::Attach(HWND handle) {
  Detach();
  handle_ = handle;
  if (!handle) return;
  if (!Registry().windowThread) Registry().windowThread = GetCurrentThreadId();
  Registry().objectsByHandle[handle] = this;
}

void WindowObject::Detach() {
  if (!handle_) return;
  auto it = Registry().objectsByHandle.find(handle_);
  if (it != Registry().objectsByHandle.end() && it->second == this) Registry().objectsByHandle.erase(it);
  handle_ = nullptr;
}

WindowObject* WindowObject::FromHandle(HWND handle) {
  if (!handle || !OnWindowThread()) return nullptr;
  auto it = Registry().objectsByHandle.find(handle);
  if (it != Registry().objectsByHandle.end()) return it->second;
  if (!OwnedByThisThread(handle)) return nullptr;
  return reinterpret_cast<WindowObject*>(SendMessageW(handle, kGetWindowObjectMessage, 0, 0));
}

bool PreTranslateThroughAncestors(MSG& message) {
  for (HWND window = message.hwnd; window; window = ParentOf(window)) {
    WindowObject* object = WindowObject::FromHandle(window);
    if (object && object->PreTranslateMessage(message)) return true;
  }
  return false;
}

}  // namespace win
