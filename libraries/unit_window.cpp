#include "libraries/unit_window.h"

#include <cstdint>

namespace lib {
namespace {

// A class already registered by an earlier unit counts as registered.
bool RegisterUnitClass(const UnitClass& unitClass) {
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = unitClass.style;
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = unitClass.arrowCursor ? LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)) : nullptr;
  windowClass.hbrBackground = unitClass.whiteBackground ? HBRUSH(GetStockObject(WHITE_BRUSH)) : nullptr;
  windowClass.lpszClassName = unitClass.name;
  return RegisterClassExW(&windowClass) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

HWND CreateUnitWindow(const wchar_t* className, DWORD style, const win::CreateArgs& args) {
  // A child window's menu handle carries its control ID.
  HMENU controlId = reinterpret_cast<HMENU>(static_cast<intptr_t>(args.controlId));
  return CreateWindowExW(0, className, L"", args.style | WS_CHILD | style, args.left, args.top, args.width,
                         args.height, args.parent, controlId, GetModuleHandleW(nullptr), nullptr);
}

HWND CreateUnitWindow(const UnitClass& unitClass, DWORD style, const win::CreateArgs& args) {
  return RegisterUnitClass(unitClass) ? CreateUnitWindow(unitClass.name, style, args) : nullptr;
}

}  // namespace lib
