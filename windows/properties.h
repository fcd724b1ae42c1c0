// Unit properties by (window ID, unit ID, property index): the common
// properties 0–7 from the live window or the record, menu item properties
// from their records, and each type's own properties through its
// operations, converted by the property's type.
//
// Values are the runtime's: texts, byte sets and fonts read are new heap
// blocks owned by the caller; writes copy what they are given. A pointer
// value fills both words on 64-bit Windows.
//
// Calls from other threads are carried out on the main thread, which owns
// every window and record; the caller waits until it is done. A worker's
// call for a window that was loaded and is gone (the program is closing)
// does nothing and reads 0.
#pragma once

#include <cstdint>

namespace win {

enum CommonProperty : int {
  CP_LEFT = 0,
  CP_TOP = 1,
  CP_WIDTH = 2,
  CP_HEIGHT = 3,
  CP_TAG = 4,
  CP_VISIBLE = 5,
  CP_DISABLED = 6,
  CP_MOUSE_POINTER = 7,
};
constexpr int kCommonPropertyCount = 8;

enum MenuItemProperty : int { MP_CAPTION = 0, MP_CHECKED = 1, MP_DISABLED = 2, MP_VISIBLE = 3 };

constexpr int32_t kCoordinateLimit = 32627;

int64_t ReadUnitProperty(uint32_t windowId, uint32_t unitId, int property, int element);
void WriteUnitProperty(uint32_t windowId, uint32_t unitId, int property, int element, uint32_t low, uint32_t high);

}  // namespace win
