// Core commands that load and query windows.
#pragma once

#include <windows.h>

#include "runtime/values.h"

namespace win {
class UnitObject;
}

namespace core {

// LoadFormWindow(window, owner window (optional), modal) → logical.
void LoadFormWindow(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);
// GetWindowHandle(window or unit) → the window handle as an integer, 0 when
// the window or unit is not loaded.
void GetWindowHandle(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);

// The object of a unit reference (window ID, unit ID, unit type code) while
// its window is alive; null for anything else.
win::UnitObject* LiveUnit(const rt::ArgRecord& reference);
HWND LiveUnitHandle(const rt::ArgRecord& reference);

// DestroyFormWindow(window or unit, at once (logical, optional)) → nothing.
void DestroyFormWindow(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);

}  // namespace core
