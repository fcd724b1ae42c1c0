// The drag-and-drop library (library 2): the DropTarget unit type and its
// one command.
#include "libraries/drag_drop/drop_target.h"
#include "libraries/libraries.h"
#include "libraries/library_descriptor.h"
#include "libraries/runtime_link.h"

namespace lib {
namespace {

constexpr win::UnitTypeDescriptor kDataTypes[] = {drag_drop::kDropTargetType};

// OLE calls a drop target on the thread that registered its window, which
// must be the window thread that owns the unit and runs its handlers.
constexpr CommandSpec kCommandSpecs[] = {
    {"RegisterDropWindow", drag_drop::RegisterDropWindow, {Arg::Unit, Arg::Integer}, 0, RunsOn::WindowThread,
     drag_drop::kDropTargetTypeCode},
};

constexpr auto kCommands = CommandEntries<kCommandSpecs>();

}  // namespace

constinit const rt::LibraryDescriptor kDragDropLibrary = DescribeLibrary({
    .identifier = "DDDA4008C1496C219914A5FFE664147F",
    .version = {2, 0, 0, 3, 0, 3, 8},
    .displayName = "拖放库",
    .dataTypes = kDataTypes,
    .commandSpecs = kCommandSpecs,
    .commands = kCommands,
    .notify = &Notify<rt::LIB_DRAG_DROP>,
});

}  // namespace lib
