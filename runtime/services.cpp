#include "runtime/services.h"

#include "runtime/dll_commands.h"
#include "runtime/fatal.h"
#include "runtime/heap.h"
#include "runtime/helpers.h"
#include "runtime/message_loop.h"
#include "runtime/shutdown.h"
#include "runtime/state.h"

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

int64_t ReadUnitProperty(uint32_t windowId, uint32_t unitId, int property, int element) {
  return Framework().readUnitProperty(windowId, unitId, property, element);
}

void WriteUnitProperty(uint32_t windowId, uint32_t unitId, int property, int element, uint32_t low, uint32_t high) {
  Framework().writeUnitProperty(windowId, unitId, property, element, low, high);
}

void LoadStartWindow(uint32_t windowId) { Framework().loadStartWindow(windowId); }

constexpr RuntimeServices kServices = {
    [](int number) { ReportRuntimeError(number); },
    ResolveDllCommand,
    CallLibraryCommandService,
    CallCommand,
    ReadUnitProperty,
    WriteUnitProperty,
    AllocMemory,
    ReallocMemory,
    FreeMemory,
    [](int exitCode) { ExitProgram(exitCode); },
    RunMessageLoop,
    LoadStartWindow,
    CallRuntimeHelper,
};

}  // namespace

const RuntimeServices& Services() { return kServices; }

}  // namespace rt
