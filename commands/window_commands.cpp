#include "commands/window_commands.h"

#include "commands/core_runtime_link.h"
#include "libraries/arguments.h"
#include "runtime/callback.h"
#include "runtime/hidden_owner.h"
#include "windows/loader.h"
#include "windows/unit_object.h"
#include "windows/window_unit.h"

namespace core {

win::UnitObject* LiveUnit(const rt::ArgRecord& reference) {
  if (rt::ClassifyTag(reference.tag) != rt::TagClass::Library) return nullptr;
  return reinterpret_cast<win::UnitObject*>(CallRuntime(rt::REQ_WINDOW_OBJECT, reference.low, reference.high));
}

HWND LiveUnitHandle(const rt::ArgRecord& reference) {
  win::UnitObject* unit = LiveUnit(reference);
  return unit ? unit->handle() : nullptr;
}

// An owner that is not loaded makes the command return false without
// loading anything.
void LoadFormWindow(rt::ArgRecord* result, int count, rt::ArgRecord* arguments) {
  lib::Arguments args(count, arguments);
  *result = rt::MakeBool(false);
  win::UnitObject* owner = LiveUnit(args[1]);
  if (!args[1].omitted() && !owner) return;
  win::LoadRequest request{args[0].low, owner, args.flag(2)};
  *result = rt::MakeBool(CallRuntime(rt::REQ_LOAD_WINDOW, reinterpret_cast<intptr_t>(&request)) == 0);
}

// Window handles fit in 32 bits, also in a 64-bit process.
void GetWindowHandle(rt::ArgRecord* result, int count, rt::ArgRecord* arguments) {
  *result = rt::MakeInt(HandleToLong(LiveUnitHandle(lib::Arguments(count, arguments)[0])));
}

// A window is marked as closing and closes at once, or when its thread next
// processes messages; a unit is removed from its window. A target that is
// not loaded is already gone: nothing to do.
void DestroyFormWindow(rt::ArgRecord*, int count, rt::ArgRecord* arguments) {
  lib::Arguments args(count, arguments);
  win::UnitObject* unit = LiveUnit(args[0]);
  auto* window = win::WindowUnit::From(unit);
  if (!window) {
    if (unit) DestroyWindow(unit->handle());
    return;
  }
  window->MarkClosing();
  if (args.flag(1)) window->DestroyNow();
  else PostMessageW(window->handle(), win::kCloseRequestMessage, 0, 0);
}

}  // namespace core
