// The window framework as the runtime reaches it: the table of functions
// that runtime/window_framework.h declares, filled with this folder's own.
#pragma once

#include "runtime/window_framework.h"

namespace win {

extern const rt::WindowFramework kWindowFramework;

}  // namespace win
