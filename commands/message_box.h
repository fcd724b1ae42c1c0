// The core command that shows a message box.
#pragma once

#include "runtime/values.h"

namespace core {

// ShowMessage(message of any basic type, flags, title (optional), owner
// window or window handle (optional)) → the button pressed, numbered from 0:
// OK, Cancel, Abort, Retry, Ignore, Yes, No; any other button gives 0.
void ShowMessage(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);

}  // namespace core
