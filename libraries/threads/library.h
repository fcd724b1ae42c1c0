// What program code knows of the multithreading library (library 5): its command numbers. Program code reaches
// the library only through its command entries (the descriptor's table).
#pragma once

#include "runtime/library.h"

namespace lib::threads {

// Command numbers: the places in the library's command table.
enum ThreadCommand : int {
  CMD_END_THREAD = 0,
  CMD_START_THREAD = 1,
  CMD_CLOSE_THREAD_HANDLE = 2,
};

}  // namespace lib::threads
