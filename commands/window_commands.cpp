#include "commands/window_commands.h"

#include "commands/core_library.h"
#include "runtime/callback.h"
#include "windows/loader.h"
#include "windows/window_unit.h"

namespace core {

// An owner that is not loaded makes the command return false without
// loading anything.
void LoadFormWindow(rt::ArgRecord* result, int count, rt::ArgRecord* arguments) {
  *result = rt::MakeBool(false);
  if (count < 1) return;
  const rt::ArgRecord& owner = count > 1 ? arguments[1] : rt::ArgRecord{};
  win::UnitObject* ownerObject = nullptr;
  if (!owner.omitted()) {
    ownerObject = reinterpret_cast<win::UnitObject*>(CallRuntime(rt::REQ_WINDOW_OBJECT, owner.low, owner.high));
    if (!ownerObject) return;
  }
  win::LoadRequest request{arguments[0].low, ownerObject, count > 2 && arguments[2].low != 0};
  *result = rt::MakeBool(CallRuntime(rt::REQ_LOAD_WINDOW, reinterpret_cast<intptr_t>(&request)) == 0);
}

// A window is marked as closing and closes at once, or when its thread next
// processes messages; a unit is removed from its window. A target that is
// not loaded is already gone: nothing to do.
void DestroyFormWindow(rt::ArgRecord* result, int count, rt::ArgRecord* arguments) {
  if (count < 1) return;
  auto* unit = reinterpret_cast<win::UnitObject*>(CallRuntime(rt::REQ_WINDOW_OBJECT, arguments[0].low, arguments[0].high));
  if (!unit) return;
  auto* window = win::WindowUnit::From(unit);
  if (!window) {
    DestroyWindow(unit->handle());
    return;
  }
  window->MarkClosing();
  bool atOnce = count > 1 && !arguments[1].omitted() && arguments[1].low != 0;
  if (atOnce) window->DestroyNow();
  else PostMessageW(window->handle(), win::kCloseRequestMessage, 0, 0);
}

}  // namespace core
