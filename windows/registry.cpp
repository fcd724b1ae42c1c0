#include "windows/registry.h"

#include <algorithm>

#include "runtime/library_registry.h"
#include "runtime/program.h"
#include "runtime/state.h"
#include "windows/events.h"

namespace win {
namespace {

std::vector<WindowTemplate> templates;

// 1-based slots; freed slots are reused.
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

// The object slots name unit objects but do not own them; a unit object owns
// itself (UnitObject::Pin) and std::unique_ptr cannot say when it may go:
// - its slot is cleared from inside its own WM_NCDESTROY (request 2000), while
//   its window procedure, and any handler that destroyed the window, are still
//   running on it;
// - a re-created unit's old object leaves its slot before its window ends and
//   must live on, slotless, until then;
// - a worker thread may still hold a pin after the slot is cleared.
// Memory goes with the window's end and the last pin, whichever comes last.
SlotTable<UnitObject*> objects;
SlotTable<UnitCursor> cursors;

std::vector<uint32_t> idleDoneWindows;

}  // namespace

void InstallRegistry(std::vector<WindowTemplate> installed) { templates = std::move(installed); }
std::vector<WindowTemplate>& Templates() { return templates; }

WindowTemplate* FindTemplate(uint32_t windowId) {
  for (WindowTemplate& t : templates)
    if (t.windowId == windowId) return &t;
  return nullptr;
}

rt::EventHandler HandlerAt(uint32_t relocated) {
  const rt::ProgramDescriptor* program = rt::State().program;
  if (!relocated || !program || relocated > program->handlerCount) return nullptr;
  return program->handlers[relocated - 1];
}

uint32_t StoreObject(UnitObject* object) { return objects.store(object); }
UnitObject* ObjectInSlot(uint32_t slot) { return objects.at(slot); }
void ReleaseObjectSlot(uint32_t slot) { objects.release(slot); }

uint32_t StoreCursor(UnitCursor cursor) { return cursor.cursor ? cursors.store(cursor) : 0; }
HCURSOR CursorInSlot(uint32_t slot) { return cursors.at(slot).cursor; }

void ReleaseCursorSlot(uint32_t slot) {
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
  for (WindowTemplate& t : templates)
    if (UnitObject* window = LoadedWindow(t)) DestroyWindow(window->handle());
}

void ReleaseUnitCursors() {
  cursors.forEach([](UnitCursor& entry) {
    if (entry.owned) DestroyCursor(entry.cursor);
    entry = {};
  });
}

void BeginIdlePeriod() { idleDoneWindows.clear(); }

bool RaiseIdleEvents(uint32_t elapsedMs) {
  constexpr int32_t kIdleEvent = 7;
  bool wantsMore = false;
  for (WindowTemplate& t : templates) {
    if (!LoadedWindow(t) || std::count(idleDoneWindows.begin(), idleDoneWindows.end(), t.windowId)) continue;
    EventOutcome outcome = RaiseSimpleEvent(t.windowId, 0, kIdleEvent, {int32_t(elapsedMs)});
    if (outcome.result.value_or(0) != 0) wantsMore = true;
    else idleDoneWindows.push_back(t.windowId);
  }
  return wantsMore;
}

}  // namespace win
