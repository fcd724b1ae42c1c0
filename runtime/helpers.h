// The runtime helpers program code reaches through CallRuntimeHelper.
#pragma once

#include <windows.h>

#include <cstdint>

namespace rt {

enum RuntimeHelper : int {
  HELPER_FIND_FILE = 0,
  HELPER_CLOSE_FIND = 1,
  HELPER_MAKE_ARRAY_WRITABLE = 2,
  HELPER_REGISTER_EXIT_ROUTINE = 3,
  HELPER_READ_HELD_UNIT_PROPERTY = 4,
  HELPER_WRITE_HELD_UNIT_PROPERTY = 5,
  HELPER_INIT_RUNTIME = 6,
};

// File attribute bits a FindFile mask may select.
constexpr DWORD kFindFileMaskBits = 0x37;

// Starts a search when the pattern is not empty (closing any search held in
// the variable), else continues the held one. Returns the next acceptable
// entry's name as a new text, or null once the search runs out (the handle is
// then closed and the variable cleared).
char* FindFile(const char* pattern, uint32_t attributeMask, bool filesOnly, HANDLE* search);
void CloseFind(HANDLE* search);

// A unit value held in a variable: the window ID and the unit ID.
struct HeldUnit {
  uint32_t windowId;
  uint32_t unitId;
};

// Dispatches helper `number` with its arguments read from the list. Helpers
// 4 and 5 take (type code, address of a HeldUnit, property, element[, low,
// high]) and read or write the unit's property.
uint64_t CallRuntimeHelper(int number, ...);

}  // namespace rt
