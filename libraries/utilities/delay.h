// The command of the special-functions library (library 3): Delay, a wait
// during which the calling thread stays responsive.
#pragma once

#include "runtime/values.h"

namespace lib::utilities {

// Command numbers: the places in the library's command table.
enum UtilityCommand : int {
  CMD_DELAY = 0,
};

// Delay(milliseconds) → nothing. Returns at once for 0 or less; otherwise
// returns after at least that long, having processed the calling thread's
// messages as they came. It sleeps between messages: a long Delay on a
// worker thread costs next to no processor time.
void Delay(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);

}  // namespace lib::utilities
