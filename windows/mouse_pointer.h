// Mouse pointer data: empty (no cursor), a pointer code (a stock cursor by
// index 0..14, or by its stock ID), or code -1 followed by a cursor file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

namespace win {

constexpr int32_t kCustomCursorCode = -1;

// The pointer code of the data; 0 (the class cursor) when empty.
int32_t PointerCode(std::span<const uint8_t> data);

// Stock IDs (IDC_*) become their index before storing; reads convert back.
std::vector<uint8_t> PointerDataForStore(std::span<const uint8_t> data);
std::vector<uint8_t> PointerDataForRead(std::span<const uint8_t> data);

struct UnitCursor {
  HCURSOR cursor = nullptr;
  bool owned = false;  // made from a cursor file: destroyed with the unit
  bool operator==(const UnitCursor&) const = default;
};
UnitCursor CursorFromPointerData(std::span<const uint8_t> data);

}  // namespace win
