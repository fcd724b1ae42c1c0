// The extended-interface library (library 1): the StatusBar unit type and
// the three commands on its parts.
#include <iterator>

#include "libraries/extended_ui/status_bar.h"
#include "libraries/libraries.h"
#include "libraries/library_descriptor.h"
#include "libraries/runtime_link.h"

namespace lib {
namespace {

// Type numbers 1 to 5; the program uses only the StatusBar (2), the others
// keep their places as zero records so that every type code keeps its meaning.
constexpr win::UnitTypeDescriptor kDataTypes[] = {{}, extended_ui::kStatusBarType, {}, {}, {}};

// In command order. The player writes its status bar from its playback and
// counting threads: the window thread runs every call, so the parts data
// is never walked by one thread while another changes it.
constexpr CommandSpec kCommandSpecs[] = {
    {"SetPartText", extended_ui::SetPartText, {Arg::Unit, Arg::Integer, Arg::Text}, Optional({3}),
     RunsOn::WindowThread, extended_ui::kStatusBarTypeCode},
    {"GetPartText", extended_ui::GetPartText, {Arg::Unit, Arg::Integer}, 0, RunsOn::WindowThread,
     extended_ui::kStatusBarTypeCode},
    {"SetPartWidth", extended_ui::SetPartWidth, {Arg::Unit, Arg::Integer, Arg::Integer}, Optional({3}),
     RunsOn::WindowThread, extended_ui::kStatusBarTypeCode},
};

static_assert(std::size(kCommandSpecs) == extended_ui::CMD_SET_PART_WIDTH + 1, "every command, in command order");

constexpr auto kCommands = CommandEntries<kCommandSpecs>();

}  // namespace

constinit const rt::LibraryDescriptor kExtendedUiLibrary = DescribeLibrary({
    .identifier = "56F4CFE85019C930E2569C7D7A8EEBED",
    .version = {2, 0, 3, 3, 0, 3, 0},
    .displayName = "扩展界面库",
    .dataTypes = kDataTypes,
    .commandSpecs = kCommandSpecs,
    .commands = kCommands,
    .notify = &Notify<rt::LIB_EXTENDED_UI>,
});

}  // namespace lib
