// The descriptors of the six support libraries.
#pragma once

#include "runtime/library.h"

namespace lib {

extern const rt::LibraryDescriptor kExtendedUiLibrary;  // 1: the StatusBar unit type
extern const rt::LibraryDescriptor kDragDropLibrary;    // 2: the DropTarget unit type
extern const rt::LibraryDescriptor kUtilitiesLibrary;   // 3: the special functions
extern const rt::LibraryDescriptor kShellLibrary;       // 4: the operating system's shell
extern const rt::LibraryDescriptor kThreadsLibrary;     // 5: threads
extern const rt::LibraryDescriptor kMultimediaLibrary;  // 6: the MediaPlay unit type

}  // namespace lib
