// What program code knows of the special-functions library (library 3): its command numbers. Program code reaches
// the library only through its command entries (the descriptor's table).
#pragma once

#include "runtime/library.h"

namespace lib::utilities {

// Command numbers: the places in the library's command table.
enum UtilityCommand : int {
  CMD_DELAY = 0,
};

}  // namespace lib::utilities
