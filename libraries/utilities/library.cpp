// The special-functions library (library 3): no data types; code 6 is
// answered, with nothing to release.
#include "libraries/libraries.h"
#include "libraries/library_descriptor.h"
#include "libraries/runtime_link.h"
#include "libraries/utilities/delay.h"

namespace lib {
namespace {

// In command order (utilities::UtilityCommand); Delay waits on the thread
// that calls it.
constexpr CommandSpec kCommandSpecs[] = {
    {"Delay", utilities::Delay, {Arg::Integer}},
};
static_assert(std::size(kCommandSpecs) == utilities::CMD_DELAY + 1, "every command, in command order");

constexpr auto kCommands = CommandEntries<kCommandSpecs>();

}  // namespace

constinit const rt::LibraryDescriptor kUtilitiesLibrary = DescribeLibrary({
    .identifier = "98A39F7CFBC2D219C2002B29B312790F",
    .version = {3, 1, 0, 3, 8, 3, 0},
    .displayName = "特殊功能库",
    .stateFlags = 0xC0000000,
    .commandSpecs = kCommandSpecs,
    .commands = kCommands,
    .notify = &Notify<rt::LIB_SPECIAL, &NothingToRelease>,
});

}  // namespace lib
