#include "windows/unit_object.h"

#include "runtime/callback.h"
#include "windows/registry.h"

namespace win {
namespace {

constexpr wchar_t kObjectProperty[] = L"OmbreUnitObject";

}  // namespace

UnitObject::~UnitObject() {
  if (handle_ && original_) {
    SetWindowLongPtrW(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    RemovePropW(handle_, kObjectProperty);
  }
}

void UnitObject::Subclass(HWND handle) {
  Attach(handle);
  SetPropW(handle, kObjectProperty, this);
  original_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&UnitObject::SubclassProc)));
}

LRESULT UnitObject::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return CallOriginal(message, wParam, lParam);
}

// Nothing is left to call once a handler has destroyed the window.
LRESULT UnitObject::CallOriginal(UINT message, WPARAM wParam, LPARAM lParam) {
  return original_ ? CallWindowProcW(original_, handle_, message, wParam, lParam) : 0;
}

LRESULT CALLBACK UnitObject::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* unit = static_cast<UnitObject*>(GetPropW(window, kObjectProperty));
  if (!unit) return DefWindowProcW(window, message, wParam, lParam);
  if (message == kGetWindowObjectMessage) return reinterpret_cast<LRESULT>(unit);
  Pin pin(unit);
  if (message == WM_NCDESTROY) return unit->FinalDestroy(wParam, lParam);
  return unit->WindowProc(message, wParam, lParam);
}

LRESULT UnitObject::FinalDestroy(WPARAM wParam, LPARAM lParam) {
  OnFinalDestroy();
  HWND window = handle_;
  WNDPROC original = original_;
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
  RemovePropW(window, kObjectProperty);
  original_ = nullptr;
  Detach();
  LRESULT result = CallWindowProcW(original, window, WM_NCDESTROY, wParam, lParam);
  if (!Registry().recreating) rt::RuntimeCallbackEntry(rt::REQ_UNIT_DESTROYED, windowId_, unitId_);
  finished_ = true;  // deleted when SubclassProc's pin goes
  return result;
}

}  // namespace win
