// The window registry: every window template of the form data, by window ID,
// and the slot tables behind the records' object and cursor slots.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "runtime/program.h"
#include "windows/mouse_pointer.h"
#include "windows/unit_list.h"
#include "windows/unit_type.h"

namespace win {

struct WindowTemplate {
  uint32_t windowId = 0;
  uint32_t reservedA = 0;
  uint32_t moduleWord = 0;
  std::string remark1;
  std::string remark2;
  UnitList units;
  std::optional<UnitList> snapshot;  // taken when a load begins
  bool loadedOnce = false;           // its window has been created at least once
};

// Reads the whole form data; nullopt on any read error. Handler offsets are
// relocated against the program's handler table: an offset k becomes k + 1,
// 0xFFFFFFFF becomes 0 (no handler); an offset past the table is an error.
std::optional<std::vector<WindowTemplate>> ReadFormData(std::span<const uint8_t> data, uint32_t handlerCount);

void InstallRegistry(std::vector<WindowTemplate> templates);
std::vector<WindowTemplate>& Templates();
WindowTemplate* FindTemplate(uint32_t windowId);

// The handler a relocated word names, or null.
rt::EventHandler HandlerAt(uint32_t relocated);

// Unit objects and cursors referenced by the records' 32-bit slots.
uint32_t StoreObject(UnitObject* object);
UnitObject* ObjectInSlot(uint32_t slot);
void ReleaseObjectSlot(uint32_t slot);
uint32_t StoreCursor(UnitCursor cursor);  // 0 when there is no cursor
HCURSOR CursorInSlot(uint32_t slot);
void ReleaseCursorSlot(uint32_t slot);  // destroys a cursor made from a file

// The live object of a record, or null.
UnitObject* RecordObject(const WindowTemplate& t, uint32_t index);
// The window object of a loaded template (record 0), or null.
UnitObject* LoadedWindow(const WindowTemplate& t);
bool AnyLoadedWindowAlive();
// The unit type of a record.
const UnitTypeDescriptor* UnitTypeOf(const WindowTemplate& t, uint32_t index);
// The record whose unit owns this window (a unit's inner windows count as
// the unit's own); the window's own record for the window itself.
std::optional<uint32_t> UnitIndexOfHandle(const WindowTemplate& t, HWND window);

// Shutdown: destroys every loaded window, then every cursor units made.
void DestroyAllLoadedWindows();
void ReleaseUnitCursors();

// Idle events (event 7) for loaded windows, once a period starts.
void BeginIdlePeriod();
bool RaiseIdleEvents(uint32_t elapsedMs);

}  // namespace win
