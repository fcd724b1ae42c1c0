// The extended-interface library (library 1): the StatusBar unit type.
#pragma once

#include <cstdint>

#include "runtime/library.h"

namespace lib {

extern const rt::LibraryDescriptor kExtendedUiLibrary;

namespace extended_ui {
// Asks the runtime through the callback of notify code 1; 0 before it came.
intptr_t CallRuntime(int request, intptr_t parameter1 = 0, intptr_t parameter2 = 0);
}  // namespace extended_ui

}  // namespace lib
