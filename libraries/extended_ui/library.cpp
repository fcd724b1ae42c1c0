// The extended-interface library (library 1): the StatusBar unit type.
#include "libraries/extended_ui/status_bar.h"
#include "libraries/libraries.h"
#include "libraries/library_descriptor.h"
#include "libraries/runtime_link.h"

namespace lib {
namespace {

// Type numbers 1 to 5; the program uses only the StatusBar (2), the others
// keep their places as zero records so that every type code keeps its meaning.
constexpr win::UnitTypeDescriptor kDataTypes[] = {{}, extended_ui::kStatusBarType, {}, {}, {}};

}  // namespace

constinit const rt::LibraryDescriptor kExtendedUiLibrary = DescribeLibrary({
    .identifier = "56F4CFE85019C930E2569C7D7A8EEBED",
    .version = {2, 0, 3, 3, 0, 3, 0},
    .displayName = "扩展界面库",
    .dataTypes = kDataTypes,
    .notify = &Notify<rt::LIB_EXTENDED_UI>,
});

}  // namespace lib
