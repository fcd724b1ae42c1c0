// The window registry: every window template of the form data, by window ID,
// and the slot tables behind the records' object and cursor slots.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "runtime/program.h"
#include "windows/mouse_pointer.h"
#include "windows/unit_list.h"
#include "windows/unit_type.h"

namespace win {

// The two words after the window ID and the two remarks are design-tool data
// that the format only carries: they are read and kept, and nothing depends
// on them (moduleWord is 0 or the tool's identifier of the code module that
// holds the window's handlers; reservedA has no known meaning).
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

// 1-based slots behind the records' 32-bit words; freed slots are reused.
template <class T>
class SlotTable {
 public:
  uint32_t store(T value) {
    auto free = std::find(entries_.begin(), entries_.end(), T{});
    if (free != entries_.end()) {
      *free = value;
      return uint32_t(free - entries_.begin()) + 1;
    }
    entries_.push_back(value);
    return uint32_t(entries_.size());
  }
  T at(uint32_t slot) const { return slot && slot <= entries_.size() ? entries_[slot - 1] : T{}; }
  void release(uint32_t slot) {
    if (slot && slot <= entries_.size()) entries_[slot - 1] = T{};
  }
  template <class F>
  void forEach(F f) {
    for (T& e : entries_)
      if (e != T{}) f(e);
  }

 private:
  std::vector<T> entries_;
};

// The window framework's state: one per process. Only the main thread, which
// creates and destroys every window, touches it; a worker reaches units
// through rt::RunOnMainThread.
struct WindowRegistry {
  std::vector<WindowTemplate> templates;
  // The object slots name unit objects but do not own them; a unit object
  // owns itself (UnitObject::Pin) and std::unique_ptr cannot say when it may
  // go:
  // - its slot is cleared from inside its own WM_NCDESTROY (request 2000),
  //   while its window procedure, and any handler that destroyed the window,
  //   are still running on it;
  // - a re-created unit's old object leaves its slot before its window ends
  //   and must live on, slotless, until then;
  // - a worker thread may still hold a pin after the slot is cleared.
  // Memory goes with the window's end and the last pin, whichever comes last.
  SlotTable<UnitObject*> objects;
  SlotTable<UnitCursor> cursors;
  // Windows whose idle event asked for no more in the current idle period.
  std::vector<uint32_t> idleDoneWindows;
  // The program ends when its last window goes, but not in the middle of a
  // load: reloading the only window destroys it first.
  int loadsUnderway = 0;
  // Set while a unit is re-created: the old window's end is not the unit's
  // end for the runtime.
  bool recreating = false;
  // Set while a modal window is created: the hidden owner owns it.
  bool modalCreation = false;
  // An activation event is running: the focus moves it makes raise no other.
  bool inActivationEvent = false;
  // Every bound window's object, by handle.
  std::unordered_map<HWND, WindowObject*> objectsByHandle;
  // The thread that binds window objects, set by the first binding, before
  // any worker starts: a worker pumping its own messages (a delay on a
  // playback thread) must not read the map while this thread changes it.
  DWORD windowThread = 0;
};

WindowRegistry& Registry();

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
