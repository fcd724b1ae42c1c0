// Core commands that read files.
#pragma once

#include "runtime/values.h"

namespace core {

// ReadFileBytes(file name) → byte set: the whole file, or the empty byte set
// when it cannot be read. Nothing is reported.
void ReadFileBytes(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);

}  // namespace core
