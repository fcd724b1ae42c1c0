// Menu bars built from the run of menu item records, with their shortcut
// accelerators.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "windows/unit_list.h"

namespace win {

constexpr UINT kFirstMenuCommand = 20000;
constexpr UINT kLastMenuCommand = 57599;

enum MenuFlags : uint32_t { MENU_HIDDEN = 1, MENU_DISABLED = 2, MENU_CHECKED = 4 };

struct Shortcut {
  const char* name;
  BYTE virtualFlags;  // FCONTROL / FSHIFT
  WORD key;
};
// Shortcut index 1..76; null for 0 and out-of-range indexes.
const Shortcut* FindShortcut(uint32_t index);

// The contiguous run of menu item records: first index and length.
struct MenuRun {
  uint32_t first = 0;
  uint32_t count = 0;
};
MenuRun FindMenuRun(const UnitList& units);

struct BuiltMenu {
  HMENU bar = nullptr;
  HACCEL accelerators = nullptr;
};
// An empty run gives neither a bar nor a table. Command IDs are 20000 plus
// the record's position in the run.
BuiltMenu BuildMenu(const UnitList& units);

}  // namespace win
