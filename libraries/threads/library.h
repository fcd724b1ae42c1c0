// The multithreading library (library 5): no data types.
#pragma once

#include <cstdint>

#include "runtime/library.h"

namespace lib {

extern const rt::LibraryDescriptor kThreadsLibrary;

namespace threads {
// Asks the runtime through the callback of notify code 1; 0 before it came.
intptr_t CallRuntime(int request, intptr_t parameter1 = 0, intptr_t parameter2 = 0);
}  // namespace threads

}  // namespace lib
