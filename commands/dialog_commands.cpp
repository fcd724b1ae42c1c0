#include "commands/dialog_commands.h"

#include "commands/core_runtime_link.h"
#include "runtime/callback.h"
#include "units/common_dlg.h"
#include "units/common_dlg_run.h"

namespace core {

// A unit that is not loaded ends the program (request 2007); a unit of
// another type shows nothing and answers false.
void ShowCommonDialog(rt::ArgRecord* result, int count, rt::ArgRecord* arguments) {
  *result = rt::MakeBool(false);
  if (count < 1) return;
  auto* unit = reinterpret_cast<win::UnitObject*>(
      CallRuntime(rt::REQ_WINDOW_OBJECT_OR_FAIL, arguments[0].low, arguments[0].high));
  if (unit) *result = rt::MakeBool(units::RunCommonDialog(*unit));
}

}  // namespace core
