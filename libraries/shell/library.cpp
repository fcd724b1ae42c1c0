#include "libraries/shell/library.h"

#include "libraries/library_descriptor.h"
#include "libraries/runtime_link.h"

namespace lib {
namespace shell {
namespace {

// The shell library answers code 1 only.
using Link = RuntimeLink<rt::LIB_SHELL>;

}  // namespace

intptr_t CallRuntime(int request, intptr_t parameter1, intptr_t parameter2) {
  return Link::Call(request, parameter1, parameter2);
}

}  // namespace shell

constinit const rt::LibraryDescriptor kShellLibrary = DescribeLibrary({
    .identifier = "8DAABE6900DDFF46B9E988961E759EAA",
    .version = {3, 0, 0, 3, 0, 3, 0},
    .displayName = "系统外壳库",
    .notify = &shell::Link::Notify,
});

}  // namespace lib
