// Core commands that convert values and handle byte sets.
#pragma once

#include "runtime/values.h"

namespace core {

// ToInteger(value of any basic type) → integer.
void ToInteger(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);
// ToText(value of any basic type, or an array) → text.
void ToText(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);
// ByteSetLength(byte set) → integer.
void ByteSetLength(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);
// NewZeroByteSet(length) → byte set.
void NewZeroByteSet(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);
// ByteSetToValue(byte set, type number 1–10, position (optional, may be an
// integer variable)) → a value of the chosen type, with that type's tag.
void ByteSetToValue(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);

}  // namespace core
