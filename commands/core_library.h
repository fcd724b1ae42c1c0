// The core library: library number 0. Its data types are the Window, the
// menu and the standard units; its commands are the basic commands.
#pragma once

#include "runtime/library.h"

namespace core {

extern const rt::LibraryDescriptor kCoreLibrary;

// Type numbers of the core data types this program uses.
enum CoreType : int {
  CORE_WINDOW = 1,
  CORE_MENU = 3,
  CORE_EDIT_BOX = 5,
  CORE_LABEL = 10,
  CORE_BUTTON = 11,
  CORE_CHECK_BOX = 12,
  CORE_HYPER_LINKER = 29,
  CORE_COMMON_DLG = 31,
};
constexpr int kCoreTypeCount = 51;

// The runtime callback as the core library received it.
intptr_t CallRuntime(int request, intptr_t parameter1 = 0, intptr_t parameter2 = 0);

}  // namespace core
