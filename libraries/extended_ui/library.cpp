#include "libraries/extended_ui/library.h"

#include "libraries/extended_ui/status_bar.h"
#include "libraries/library_descriptor.h"
#include "libraries/runtime_link.h"

namespace lib {
namespace extended_ui {
namespace {

using Link = RuntimeLink<rt::LIB_EXTENDED_UI>;

// Type numbers 1 to 5; the program uses only the StatusBar (2), the others
// keep their places as zero records so that every type code keeps its meaning.
constexpr win::UnitTypeDescriptor kDataTypes[] = {{}, kStatusBarType, {}, {}, {}};

}  // namespace

intptr_t CallRuntime(int request, intptr_t parameter1, intptr_t parameter2) {
  return Link::Call(request, parameter1, parameter2);
}

}  // namespace extended_ui

constinit const rt::LibraryDescriptor kExtendedUiLibrary = DescribeLibrary({
    .identifier = "56F4CFE85019C930E2569C7D7A8EEBED",
    .version = {2, 0, 3, 3, 0, 3, 0},
    .displayName = "扩展界面库",
    .dataTypes = extended_ui::kDataTypes,
    .notify = &extended_ui::Link::Notify,
});

}  // namespace lib
