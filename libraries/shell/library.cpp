// The shell library (library 4): no data types.
#include "libraries/libraries.h"
#include "libraries/library_descriptor.h"
#include "libraries/runtime_link.h"
#include "libraries/shell/shell_commands.h"

namespace lib {
namespace {

// In command order (shell::ShellCommand). The folder dialog disables and
// restores the program's windows, which belong to the window thread; the
// folder paths are read where they are asked for.
constexpr CommandSpec kCommandSpecs[] = {
    {"BrowseForFolder", shell::BrowseForFolder, {Arg::Text, Arg::Logical}, Optional({2}), RunsOn::WindowThread},
    {"GetSpecialFolder", shell::GetSpecialFolder, {Arg::Integer}},
};
static_assert(std::size(kCommandSpecs) == shell::CMD_GET_SPECIAL_FOLDER + 1, "every command, in command order");

constexpr auto kCommands = CommandEntries<kCommandSpecs>();

}  // namespace

constinit const rt::LibraryDescriptor kShellLibrary = DescribeLibrary({
    .identifier = "8DAABE6900DDFF46B9E988961E759EAA",
    .version = {3, 0, 0, 3, 0, 3, 0},
    .displayName = "系统外壳库",
    .commandSpecs = kCommandSpecs,
    .commands = kCommands,
    .notify = &Notify<rt::LIB_SHELL>,
});

}  // namespace lib
