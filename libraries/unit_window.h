// The windows of the libraries' units: every unit is created hidden (the
// loader shows it) as a child of the window it belongs to, at its record's
// rectangle and with its control ID.
#pragma once

#include <windows.h>

#include "windows/unit_type.h"

namespace lib {

// A class of our own for units that have no control to show (DropTarget,
// MediaPlay): such a unit still has a window, so it has a handle.
struct UnitClass {
  const wchar_t* name;
  UINT style;
  bool arrowCursor;
  bool whiteBackground;
};

// Creates a child window of an existing class; `style` is added to the
// loader's style bits and WS_CHILD.
HWND CreateUnitWindow(const wchar_t* className, DWORD style, const win::CreateArgs& args);
// Registers the class unless an earlier unit did, then creates a window of it.
HWND CreateUnitWindow(const UnitClass& unitClass, DWORD style, const win::CreateArgs& args);

// Binds the unit to its new window for the window's whole life; false when
// there is no window.
inline bool BindUnitWindow(win::UnitObject& unit, HWND window) {
  if (window) unit.Subclass(window);
  return window != nullptr;
}

}  // namespace lib
