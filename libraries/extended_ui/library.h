// What program code knows of the extended-interface library (library 1): its unit type code and command numbers. Program code reaches
// the library only through its command entries (the descriptor's table).
#pragma once

#include "runtime/library.h"

namespace lib::extended_ui {

inline constexpr uint32_t kStatusBarTypeCode = rt::TypeCode(rt::LIB_EXTENDED_UI, 2);

// Command numbers: the places of the library's commands in its command table.
enum StatusBarCommand : int {
  CMD_SET_PART_TEXT = 0,
  CMD_GET_PART_TEXT = 1,
  CMD_SET_PART_WIDTH = 2,
};

}  // namespace lib::extended_ui
