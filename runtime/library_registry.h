// The support-library table: told of the start and the end of the program.
#pragma once

#include <cstdint>

#include "runtime/library.h"

namespace rt {

// Start-up: notify code 1 with the runtime callback to every library in list
// order, then keep the descriptors with a data word of 0 each.
void RegisterLibraries();
// Shutdown: notify code 6 with each library's data word, then forget them.
void NotifyLibrariesOfEnd();

int LibraryCount();
const LibraryDescriptor* Library(int number);

}  // namespace rt
