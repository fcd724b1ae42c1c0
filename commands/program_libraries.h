// The program's library list: the core library, then the six support
// libraries, in library number order.
#pragma once

#include "commands/core_library.h"
#include "libraries/libraries.h"
#include "runtime/library.h"

namespace lib {

// The program descriptor's library list: library n is entry n.
inline constexpr const rt::LibraryDescriptor* kProgramLibraries[] = {
    &core::kCoreLibrary, &kExtendedUiLibrary, &kDragDropLibrary,   &kUtilitiesLibrary,
    &kShellLibrary,      &kThreadsLibrary,    &kMultimediaLibrary,
};

}  // namespace lib
