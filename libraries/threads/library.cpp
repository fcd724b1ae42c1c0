// The multithreading library (library 5): no data types.
#include <windows.h>

#include <forward_list>

#include "libraries/libraries.h"
#include "libraries/library_descriptor.h"
#include "libraries/runtime_link.h"
#include "libraries/threads/thread_commands.h"

namespace lib {
namespace {

class CriticalSection {
 public:
  CriticalSection() { InitializeCriticalSection(&section_); }
  ~CriticalSection() { DeleteCriticalSection(&section_); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;

 private:
  CRITICAL_SECTION section_;
};

// The critical sections the library holds; none of this program's commands
// adds one, and the list is emptied at the end of the program.
std::forward_list<CriticalSection> criticalSections;

void ReleaseCriticalSections() { criticalSections.clear(); }

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
