// The drag-and-drop library (library 2): the DropTarget unit type.
#pragma once

#include <cstdint>

#include "runtime/library.h"

namespace lib {

extern const rt::LibraryDescriptor kDragDropLibrary;

namespace drag_drop {
// Asks the runtime through the callback of notify code 1; 0 before it came.
intptr_t CallRuntime(int request, intptr_t parameter1 = 0, intptr_t parameter2 = 0);
}  // namespace drag_drop

}  // namespace lib
