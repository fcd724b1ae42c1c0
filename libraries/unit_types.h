// Descriptors of the libraries' unit types and their property tables.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "windows/unit_type.h"

namespace lib {

constexpr uint16_t kOwnPropertyState = 0x8000;

// The eight common properties, which the framework serves, by index.
constexpr std::array<int16_t, 8> kCommonPropertyTypes = {
    win::PROP_INT,  win::PROP_INT,  win::PROP_INT,  win::PROP_INT,  // left, top, width, height
    win::PROP_TEXT,                                                 // tag
    win::PROP_BOOL, win::PROP_BOOL,                                 // visible, disabled
    win::PROP_MOUSE_POINTER,
};

// A visual unit type's table: the common properties, then its own.
template <size_t N>
constexpr std::array<win::PropertyDescriptor, 8 + N> PropertyTable(const std::array<int16_t, N>& ownTypes) {
  std::array<win::PropertyDescriptor, 8 + N> table{};
  for (size_t i = 0; i < 8; ++i) table[i] = {nullptr, nullptr, nullptr, kCommonPropertyTypes[i], win::kCommonPropertyState, nullptr};
  for (size_t i = 0; i < N; ++i) table[8 + i] = {nullptr, nullptr, nullptr, ownTypes[i], kOwnPropertyState, nullptr};
  return table;
}

struct UnitTypeFacts {
  const char* name = nullptr;  // GBK
  const char* englishName = nullptr;
  uint32_t state = 0;
  std::span<const win::PropertyDescriptor> properties = {};
  void* (*interfaceFunction)(int number) = nullptr;
};

// The descriptor record; description and reserved words stay zero.
constexpr win::UnitTypeDescriptor DescribeUnitType(const UnitTypeFacts& facts) {
  win::UnitTypeDescriptor descriptor{};
  descriptor.name = facts.name;
  descriptor.englishName = facts.englishName;
  descriptor.state = facts.state;
  descriptor.propertyCount = int32_t(facts.properties.size());
  descriptor.properties = facts.properties.data();
  descriptor.interfaceFunction = facts.interfaceFunction;
  return descriptor;
}

}  // namespace lib
