// Reading and writing a loaded unit's properties in tests, through the
// framework as program code does: words, texts (GBK) and single font
// elements.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>

#include "runtime/heap.h"
#include "windows/properties.h"

namespace testing_support {

struct UnitAddress {
  uint32_t windowId;
  uint32_t unitId;

  void Write(int property, uint32_t value, int element = -1) const {
    win::WriteUnitProperty(windowId, unitId, property, element, value, 0);
  }
  // A pointer fills both words on 64-bit Windows.
  void WriteText(int property, const char* text, int element = -1) const {
    uint64_t bits = uint64_t(reinterpret_cast<uintptr_t>(text));
    win::WriteUnitProperty(windowId, unitId, property, element, uint32_t(bits), uint32_t(bits >> 32));
  }
  int64_t Read(int property, int element = -1) const {
    return win::ReadUnitProperty(windowId, unitId, property, element);
  }
  // The text read, freed after copying; null reads as "".
  std::string ReadText(int property, int element = -1) const {
    rt::HeapPtr<char> text(reinterpret_cast<char*>(static_cast<intptr_t>(Read(property, element))));
    return text ? text.get() : "";
  }
};

// A word written to a property and what reads back: a table of these
// states a type's clamps.
struct StoredWrite {
  int property;
  int32_t written;
  int64_t stored;
};

inline void ExpectStoredAsWritten(const UnitAddress& unit, std::span<const StoredWrite> writes) {
  for (const StoredWrite& w : writes) {
    unit.Write(w.property, uint32_t(w.written));
    EXPECT_EQ(unit.Read(w.property), w.stored) << "property " << w.property << " written as " << w.written;
  }
}

}  // namespace testing_support
