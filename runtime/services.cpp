#include "runtime/services.h"

#include "runtime/dll_commands.h"
#include "runtime/fatal.h"
#include "runtime/heap.h"
#include "runtime/helpers.h"
#include "runtime/message_loop.h"
#include "runtime/shutdown.h"
#include "windows/loader.h"
#include "windows/properties.h"

namespace rt {
namespace {

ArgRecord CallCommand(CommandEntry entry, int count, ArgRecord* arguments) {
  ArgRecord result{};
  entry(&result, count, arguments);
  return result;
}

// The library number only tells which library the entry belongs to.
ArgRecord CallLibraryCommandService(int library, CommandEntry entry, int count, ArgRecord* arguments) {
  return CallCommand(entry, count, arguments);
}

constexpr RuntimeServices kServices = {
    [](int number) { ReportRuntimeError(number); },
    ResolveDllCommand,
    CallLibraryCommandService,
    CallCommand,
    win::ReadUnitProperty,
    win::WriteUnitProperty,
    AllocMemory,
    ReallocMemory,
    FreeMemory,
    [](int exitCode) { ExitProgram(exitCode); },
    RunMessageLoop,
    win::LoadStartWindow,
    CallRuntimeHelper,
};

}  // namespace

const RuntimeServices& Services() { return kServices; }

}  // namespace rt
