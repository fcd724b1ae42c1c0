// The thirteen runtime services, in slot order: the only way program code
// reaches the runtime.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "runtime/library.h"
#include "runtime/values.h"

namespace rt {

struct RuntimeServices {
  void (*ReportRuntimeError)(int number);
  // Resolves DLL command `number` on first use; CallDll below calls it.
  FARPROC (*CallDllCommand)(int number);
  ArgRecord (*CallLibraryCommand)(int library, CommandEntry entry, int count, ArgRecord* arguments);
  ArgRecord (*CallCoreCommand)(CommandEntry entry, int count, ArgRecord* arguments);
  int64_t (*ReadUnitProperty)(uint32_t windowId, uint32_t unitId, int property, int element);
  void (*WriteUnitProperty)(uint32_t windowId, uint32_t unitId, int property, int element, uint32_t low,
                            uint32_t high);
  void* (*AllocMemory)(size_t size);
  void* (*ReallocMemory)(void* block, size_t size);
  void (*FreeMemory)(void* block);
  void (*ExitProgram)(int exitCode);
  void (*RunMessageLoop)();
  void (*LoadStartWindow)(uint32_t windowId);
  uint64_t (*CallRuntimeHelper)(int helper, ...);
};

static_assert(sizeof(RuntimeServices) == 13 * sizeof(void*), "thirteen slots, nothing else");

const RuntimeServices& Services();

// Calls a declared DLL command with the signature the program declares for
// it; the compiler keeps the stack balanced for that signature.
template <class Result, class... Arguments>
Result CallDll(const RuntimeServices& services, int number, Arguments... arguments) {
  using Function = Result(WINAPI*)(Arguments...);
  return reinterpret_cast<Function>(services.CallDllCommand(number))(arguments...);
}

}  // namespace rt
