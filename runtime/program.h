// What a program hands the runtime: its descriptor and its entry routine.
//
// Handlers and routines of the program all share one signature each, so the
// form data can bind them by number: a handler offset in the form data is an
// index into the descriptor's handler table (the table plays the role of the
// code base the offsets are relative to).
#pragma once

#include <cstdint>

#include "runtime/values.h"

namespace rt {

struct LibraryDescriptor;

// What an event handler receives and may answer. Arguments arrive first
// argument first; a handler that answers sets hasResult and result.
struct HandlerCall {
  static constexpr int kMaxArguments = 12;
  int64_t arguments[kMaxArguments] = {};
  int argumentCount = 0;
  bool hasResult = false;
  int64_t result = 0;

  int32_t argument(int i) const { return int32_t(arguments[i]); }
  void answer(int64_t value) {
    hasResult = true;
    result = value;
  }
};
using EventHandler = void (*)(HandlerCall& call);

using ExitRoutine = void (*)();

constexpr uint32_t kBuildKindDebug = 2;

// The format gives `reserved` and `thirdWord` no meaning at run time: start-up
// copies them (the third plus one) into the runtime state and nothing reads
// them there, so they keep the names of their places.
struct ProgramDescriptor {
  uint32_t buildKind;
  uint32_t reserved;
  uint32_t thirdWord;
  const EventHandler* handlers;  // the code base of handler offsets
  uint32_t handlerCount;
  const void* constantBlock;
  uint32_t constantSize;
  const uint8_t* formData;
  uint32_t formDataSize;
  uint32_t libraryCount;
  const LibraryDescriptor* const* libraries;
  uint32_t dllCommandCount;
  const char* const* dllFileNames;
  const char* const* dllExportNames;
};

struct RuntimeServices;
struct WindowFramework;

// The program's entry routine: initialises the runtime through helper 6,
// loads its start window and runs the message loop.
using ProgramEntry = int (*)(const RuntimeServices& services);

// The process's main routine: constructs nothing more than the runtime's
// application object, installs the window framework the program is built
// on, runs the entry routine and then shutdown with exit code 0. Returns the
// process exit code.
[[noreturn]] int RunApplication(const ProgramDescriptor& program, const WindowFramework& framework,
                                ProgramEntry entry);

}  // namespace rt
