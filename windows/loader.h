// Loading windows from their templates, and the runtime's view of loaded
// windows and units.
#pragma once

#include <windows.h>

#include <cstdint>

#include "windows/registry.h"

namespace win {

// Request 2005: loads the window and, when its template marks it visible,
// shows it; a modal window is waited for until it closes.
struct LoadRequest {
  uint32_t windowId;
  UnitObject* owner;  // a loaded window or unit, or null
  int32_t modal;
};
intptr_t LoadWindowRequest(const LoadRequest& request);  // 0 on success, -1 on failure

// The LoadStartWindow service: a failure is fatal.
void LoadStartWindow(uint32_t windowId);

// Loads template `t` (no show); false on failure.
bool LoadWindow(WindowTemplate& t, bool modal, HWND owner);

// Request 2006: the unit's object while its window is alive, else null.
UnitObject* LiveUnitObject(uint32_t windowId, uint32_t unitId);
// Whether the call is made for a worker thread and the window has been
// loaded and is gone now (the program is closing): such a call does
// nothing, where the window thread's would be a fatal error.
bool WindowGoneForWorker(uint32_t windowId);
// Request 2007: the same, but a missing unit is a fatal error, except for a
// worker thread whose unit's window has been loaded and is gone now (the
// program is closing): that call gets null and does nothing.
UnitObject* RequireUnitObject(uint32_t windowId, uint32_t unitId);
// Request 2007's unit, pinned for a caller on any thread: found on the
// window thread, it stays readable until the pin goes. Empty when the
// program has ended its windows or the window is gone.
UnitObject::Pin PinLiveUnit(uint32_t windowId, uint32_t unitId);
// Request 2000: the unit's window has been finally destroyed.
void ForgetUnit(uint32_t windowId, uint32_t unitId);
// Request 2022 and 2029.
uint32_t UnitTypeCodeOf(const UnitObject& unit);
intptr_t WindowUnitKind(uint32_t typeCode);
// Request 2033.
HWND TemplateWindowHandle(size_t index);

// The record index of a unit in its template, found by its object.
struct UnitLocation {
  WindowTemplate* window;
  uint32_t index;
};
UnitLocation Locate(uint32_t windowId, uint32_t unitId);

}  // namespace win
