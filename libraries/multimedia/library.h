// The multimedia library (library 6): the MediaPlay unit type.
#pragma once

#include <cstdint>

#include "runtime/library.h"

namespace lib {

extern const rt::LibraryDescriptor kMultimediaLibrary;

namespace multimedia {
// Asks the runtime through the callback of notify code 1; 0 before it came.
intptr_t CallRuntime(int request, intptr_t parameter1 = 0, intptr_t parameter2 = 0);
}  // namespace multimedia

}  // namespace lib
