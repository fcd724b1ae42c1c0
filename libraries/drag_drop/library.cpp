#include "libraries/drag_drop/library.h"

#include "libraries/drag_drop/drop_target.h"
#include "libraries/library_descriptor.h"
#include "libraries/runtime_link.h"

namespace lib {
namespace drag_drop {
namespace {

using Link = RuntimeLink<rt::LIB_DRAG_DROP>;

constexpr win::UnitTypeDescriptor kDataTypes[] = {kDropTargetType};

}  // namespace

intptr_t CallRuntime(int request, intptr_t parameter1, intptr_t parameter2) {
  return Link::Call(request, parameter1, parameter2);
}

}  // namespace drag_drop

constinit const rt::LibraryDescriptor kDragDropLibrary = DescribeLibrary({
    .identifier = "DDDA4008C1496C219914A5FFE664147F",
    .version = {2, 0, 0, 3, 0, 3, 8},
    .displayName = "拖放库",
    .dataTypes = drag_drop::kDataTypes,
    .notify = &drag_drop::Link::Notify,
});

}  // namespace lib
