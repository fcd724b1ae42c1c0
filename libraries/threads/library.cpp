// The multithreading library (library 5): no data types.
#include "libraries/libraries.h"
#include "libraries/library_descriptor.h"
#include "libraries/threads/state.h"
#include "libraries/threads/thread_commands.h"

namespace lib {
namespace {

void ReleaseCriticalSections() { State<rt::LIB_THREADS>().criticalSections.clear(); }

// In command order (threads::ThreadCommand). They work on threads, not on
// windows: all run where they are called.
constexpr CommandSpec kCommandSpecs[] = {
    {"EndThread", threads::EndThread, {Arg::Integer}},
    {"StartThread", threads::StartThread, {Arg::Subroutine, Arg::Integer, Arg::Integer}, Optional({2, 3})},
    {"CloseThreadHandle", threads::CloseThreadHandle, {Arg::Integer}},
};
static_assert(std::size(kCommandSpecs) == threads::CMD_CLOSE_THREAD_HANDLE + 1, "every command, in command order");

constexpr auto kCommands = CommandEntries<kCommandSpecs>();

}  // namespace

constinit const rt::LibraryDescriptor kThreadsLibrary = DescribeLibrary({
    .identifier = "A577E6CB929E483AF39F3087A6EF74CD",
    .version = {2, 0, 3, 3, 7, 3, 7},
    .displayName = "多线程库",
    .stateFlags = 0xC0000000,
    .commandSpecs = kCommandSpecs,
    .commands = kCommands,
    .notify = &Notify<rt::LIB_THREADS, &ReleaseCriticalSections>,
});

}  // namespace lib
