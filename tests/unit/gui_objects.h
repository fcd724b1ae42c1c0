// Counts of the window-system objects this process holds, compared before
// and after an operation to find what it left behind.
//
// GetGuiResources answers 0 under this Wine (ERROR_CALL_NOT_IMPLEMENTED), so
// the objects are counted another way: windows by enumerating this thread's,
// menus, accelerator tables and GDI objects by asking about every slot of
// Wine's handle tables. A handle whose high word is 0 names a slot whatever
// its generation; USER handles are 0x20 + 2 × slot, GDI handles the slot.
#pragma once

#include <windows.h>

#include <cstddef>
#include <ostream>
#include <set>

namespace testing_support {

struct GuiObjects {
  std::set<HWND> windows;
  size_t menus = 0;
  size_t acceleratorTables = 0;
  size_t gdiObjects = 0;

  bool operator==(const GuiObjects&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const GuiObjects& o) {
  return out << o.windows.size() << " windows, " << o.menus << " menus, " << o.acceleratorTables
             << " accelerator tables, " << o.gdiObjects << " GDI objects";
}

namespace gui_objects_detail {

constexpr uintptr_t kUserSlots = 0x8000;
constexpr uintptr_t kGdiSlots = 0x10000;

inline BOOL CALLBACK Collect(HWND window, LPARAM set) {
  reinterpret_cast<std::set<HWND>*>(set)->insert(window);
  EnumChildWindows(window, Collect, set);
  return TRUE;
}

template <class Live>
size_t CountSlots(uintptr_t slots, uintptr_t first, uintptr_t step, Live live) {
  size_t count = 0;
  for (uintptr_t slot = 0; slot < slots; ++slot) count += live(first + step * slot) ? 1 : 0;
  return count;
}

}  // namespace gui_objects_detail

inline GuiObjects LiveGuiObjects() {
  using namespace gui_objects_detail;
  GuiObjects o;
  EnumThreadWindows(GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(&o.windows));
  o.menus = CountSlots(kUserSlots, 0x20, 2, [](uintptr_t h) { return IsMenu(HMENU(h)) != FALSE; });
  o.acceleratorTables =
      CountSlots(kUserSlots, 0x20, 2, [](uintptr_t h) { return CopyAcceleratorTableW(HACCEL(h), nullptr, 0) > 0; });
  o.gdiObjects = CountSlots(kGdiSlots, 0, 1, [](uintptr_t h) { return GetObjectType(HGDIOBJ(h)) != 0; });
  return o;
}

}  // namespace testing_support
