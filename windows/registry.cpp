#include "windows/registry.h"

#include <algorithm>

#include "runtime/library_registry.h"
#include "runtime/program.h"
#include "runtime/state.h"
#include "windows/events.h"
#include "windows/window_unit.h"

namespace win {

WindowRegistry& Registry() {
  static WindowRegistry registry;
  return registry;
}

void InstallRegistry(std::vector<WindowTemplate> installed) { Registry().templates = std::move(installed); }
std::vector<WindowTemplate>& Templates() { return Registry().templates; }

WindowTemplate* FindTemplate(uint32_t windowId) {
  for (WindowTemplate& t : Templates())
    if (t.windowId == windowId) return &t;
  return nullptr;
}

rt::EventHandler HandlerAt(uint32_t relocated) {
  const rt::ProgramDescriptor* program = rt::State().program;
  if (!relocated || !program || relocated > program->handlerCount) return nullptr;
  return program->handlers[relocated - 1];
}

uint32_t StoreObject(UnitObject* object) { return Registry().objects.store(object); }
UnitObject* ObjectInSlot(uint32_t slot) { return Registry().objects.at(slot); }
void ReleaseObjectSlot(uint32_t slot) { Registry().objects.release(slot); }

uint32_t StoreCursor(UnitCursor cursor) { return cursor.cursor ? Registry().cursors.store(cursor) : 0; }
HCURSOR CursorInSlot(uint32_t slot) { return Registry().cursors.at(slot).cursor; }

void ReleaseCursorSlot(uint32_t slot) {
  SlotTable<UnitCursor>& cursors = Registry().cursors;
  UnitCursor entry = cursors.at(slot);
  if (entry.owned) DestroyCursor(entry.cursor);
  cursors.release(slot);
}

UnitObject* RecordObject(const WindowTemplate& t, uint32_t index) {
  if (t.units.isMenuItem(index)) return nullptr;
  return ObjectInSlot(t.units.word(index, t.units.unitLayout(index).objectSlot));
}

UnitObject* LoadedWindow(const WindowTemplate& t) {
  UnitObject* window = RecordObject(t, 0);
  return window && window->alive() ? window : nullptr;
}

bool AnyLoadedWindowAlive() {
  const auto& templates = Templates();
  return std::any_of(templates.begin(), templates.end(), [](const WindowTemplate& t) { return LoadedWindow(t); });
}

const UnitTypeDescriptor* UnitTypeOf(const WindowTemplate& t, uint32_t index) {
  return FindUnitType(t.units.word(index, 0));
}

std::optional<uint32_t> UnitIndexOfHandle(const WindowTemplate& t, HWND window) {
  for (; window; window = (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) ? GetParent(window) : nullptr)
    for (uint32_t i = 0; i < t.units.count(); ++i)
      if (UnitObject* unit = RecordObject(t, i); unit && unit->handle() == window) return i;
  return std::nullopt;
}

void DestroyAllLoadedWindows() {
  for (WindowTemplate& t : Templates())
    if (UnitObject* window = LoadedWindow(t)) DestroyWindow(window->handle());
}

void ReleaseUnitCursors() {
  Registry().cursors.forEach([](UnitCursor& entry) {
    if (entry.owned) DestroyCursor(entry.cursor);
    entry = {};
  });
}

void BeginIdlePeriod() { Registry().idleDoneWindows.clear(); }

bool RaiseIdleEvents(uint32_t elapsedMs) {
  std::vector<uint32_t>& idleDoneWindows = Registry().idleDoneWindows;
  bool wantsMore = false;
  for (WindowTemplate& t : Templates()) {
    if (!LoadedWindow(t) || std::count(idleDoneWindows.begin(), idleDoneWindows.end(), t.windowId)) continue;
    EventOutcome outcome = RaiseSimpleEvent(t.windowId, 0, WE_IDLE, {int32_t(elapsedMs)});
    if (outcome.result.value_or(0) != 0) wantsMore = true;
    else idleDoneWindows.push_back(t.windowId);
  }
  return wantsMore;
}

}  // namespace win
