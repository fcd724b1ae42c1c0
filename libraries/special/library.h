// The special-functions library (library 3): no data types.
#pragma once

#include <cstdint>

#include "runtime/library.h"

namespace lib {

extern const rt::LibraryDescriptor kSpecialLibrary;

namespace special {
// Asks the runtime through the callback of notify code 1; 0 before it came.
intptr_t CallRuntime(int request, intptr_t parameter1 = 0, intptr_t parameter2 = 0);
}  // namespace special

}  // namespace lib
