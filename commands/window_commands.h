// Core commands that load and query windows.
#pragma once

#include "runtime/values.h"

namespace core {

// LoadFormWindow(window, owner window (optional), modal) → logical.
void LoadFormWindow(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);

// DestroyFormWindow(window or unit, at once (logical, optional)) → nothing.
void DestroyFormWindow(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);

}  // namespace core
