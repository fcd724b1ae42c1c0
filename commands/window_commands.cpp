#include "commands/window_commands.h"

#include "commands/core_library.h"
#include "runtime/callback.h"
#include "windows/loader.h"

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

}  // namespace core
