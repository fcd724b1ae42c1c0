#include "libraries/utilities/library.h"

#include "libraries/library_descriptor.h"
#include "libraries/runtime_link.h"

namespace lib {
namespace utilities {
namespace {

// Code 6 is answered, with nothing to release.
using Link = RuntimeLink<rt::LIB_SPECIAL, &NothingToRelease>;

}  // namespace

intptr_t CallRuntime(int request, intptr_t parameter1, intptr_t parameter2) {
  return Link::Call(request, parameter1, parameter2);
}

}  // namespace utilities

constinit const rt::LibraryDescriptor kUtilitiesLibrary = DescribeLibrary({
    .identifier = "98A39F7CFBC2D219C2002B29B312790F",
    .version = {3, 1, 0, 3, 8, 3, 0},
    .displayName = "特殊功能库",
    .stateFlags = 0xC0000000,
    .notify = &utilities::Link::Notify,
});

}  // namespace lib
