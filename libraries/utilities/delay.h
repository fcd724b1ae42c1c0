// The command of the special-functions library (library 3): Delay, a wait
// during which the calling thread stays responsive.
#pragma once

#include "libraries/utilities/library.h"
#include "runtime/values.h"

namespace lib::utilities {

// Delay(milliseconds) → nothing. Returns at once for 0 or less; otherwise
// returns after at least that long, having processed the calling thread's
// messages as they came. It sleeps between messages: a long Delay on a
// worker thread costs next to no processor time.
void Delay(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);

}  // namespace lib::utilities
