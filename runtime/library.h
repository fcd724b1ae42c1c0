// Support libraries: descriptors, command entries, notify codes and the
// runtime callback through which a library asks the runtime for services.
//
// Every command has one signature: (result record, argument count, argument
// records). The caller zero-fills the result; an optional argument that was
// left out still arrives, as a record with tag 0.
#pragma once

#include <cstdint>

#include "runtime/values.h"

namespace win {
struct UnitTypeDescriptor;
}

namespace rt {

using CommandEntry = void (*)(ArgRecord* result, int count, ArgRecord* arguments);
// The runtime callback: (request, parameter 1, parameter 2) → answer. Pointer
// parameters and answers take a pointer's width.
using RuntimeCallback = intptr_t (*)(int request, intptr_t parameter1, intptr_t parameter2);
using NotifyFunction = intptr_t (*)(int code, intptr_t parameter1, intptr_t parameter2);

enum NotifyCode : int {
  NOTIFY_START = 1,      // parameter 1: the runtime callback
  NOTIFY_END = 6,        // parameter 1: the library's data word
  NOTIFY_DESCRIBE_TYPE = 8,
};
constexpr intptr_t kNotifyUnhandled = -1;

constexpr uint32_t kLibraryFormatMark = 0x01312D65;

// Thirty-six words on the 32-bit target; pointer fields take a pointer's
// width elsewhere.
struct LibraryDescriptor {
  uint32_t formatMark;
  const char* identifier;
  uint32_t version[7];
  const char* displayName;
  uint32_t textEncoding;
  const char* description;
  uint32_t stateFlags;
  const char* furtherTexts[8];
  int32_t dataTypeCount;
  const win::UnitTypeDescriptor* dataTypes;
  uint32_t reserved1;
  const void* reserved1Pointer;
  int32_t commandCount;
  const void* commandDescriptions;
  const CommandEntry* commands;
  uint32_t reserved2;
  const void* reserved2Pointer;
  NotifyFunction notify;
  uint32_t reserved3;
  const void* reserved3Pointer;
  int32_t constantCount;
  const void* constants;
  const void* dependencies;
};
static_assert(sizeof(void*) != 4 || sizeof(LibraryDescriptor) == 36 * 4);

// Library numbers, in the program's library list order.
enum LibraryNumber : int {
  LIB_CORE = 0,
  LIB_EXTENDED_UI = 1,
  LIB_DRAG_DROP = 2,
  LIB_SPECIAL = 3,
  LIB_SHELL = 4,
  LIB_THREADS = 5,
  LIB_MULTIMEDIA = 6,
};

// A library data-type code: (library number + 1) << 16 | type number.
constexpr uint32_t TypeCode(int library, int typeNumber) { return uint32_t(library + 1) << 16 | uint32_t(typeNumber); }

}  // namespace rt
