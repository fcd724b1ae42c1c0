// The core library's link to the runtime: the callback it received with
// notify code 1.
#pragma once

#include <cstdint>

#include "libraries/runtime_link.h"

namespace core {

// Asks the runtime through the callback the core library received.
inline intptr_t CallRuntime(int request, intptr_t parameter1 = 0, intptr_t parameter2 = 0) {
  return lib::CallRuntime<rt::LIB_CORE>(request, parameter1, parameter2);
}

}  // namespace core
