// What program code knows of the drag-and-drop library (library 2): its unit type code and command numbers. Program code reaches
// the library only through its command entries (the descriptor's table).
#pragma once

#include "runtime/library.h"

namespace lib::drag_drop {

constexpr uint32_t kDropTargetTypeCode = rt::TypeCode(rt::LIB_DRAG_DROP, 1);

// Command numbers: the places in the library's command table.
enum DragDropCommand : int { CMD_REGISTER_DROP_WINDOW = 0 };

}  // namespace lib::drag_drop
