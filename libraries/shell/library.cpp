// The shell library (library 4): no data types.
#include "libraries/libraries.h"
#include "libraries/library_descriptor.h"
#include "libraries/runtime_link.h"

namespace lib {

constinit const rt::LibraryDescriptor kShellLibrary = DescribeLibrary({
    .identifier = "8DAABE6900DDFF46B9E988961E759EAA",
    .version = {3, 0, 0, 3, 0, 3, 0},
    .displayName = "系统外壳库",
    .notify = &Notify<rt::LIB_SHELL>,
});

}  // namespace lib
