// The descriptors of the support libraries.
//
// The extension libraries' command tables stay empty (count 0, no entry
// table) until their commands are written.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "runtime/library.h"
#include "windows/unit_type.h"

namespace lib {

constexpr uint32_t kGbkTextEncoding = 1;

struct LibraryFacts {
  const char* identifier = nullptr;  // 32 hexadecimal digits
  std::array<uint32_t, 7> version = {};
  const char* displayName = nullptr;  // GBK
  uint32_t stateFlags = 0;
  // By type number; a type the program does not use is a zero record.
  std::span<const win::UnitTypeDescriptor> dataTypes = {};
  std::span<const rt::CommandEntry> commands = {};  // in command order
  rt::NotifyFunction notify = nullptr;
};

// The descriptor record; every field not named here stays zero.
constexpr rt::LibraryDescriptor DescribeLibrary(const LibraryFacts& facts) {
  rt::LibraryDescriptor descriptor{};
  descriptor.formatMark = rt::kLibraryFormatMark;
  descriptor.identifier = facts.identifier;
  for (size_t i = 0; i < facts.version.size(); ++i) descriptor.version[i] = facts.version[i];
  descriptor.displayName = facts.displayName;
  descriptor.textEncoding = kGbkTextEncoding;
  descriptor.stateFlags = facts.stateFlags;
  descriptor.dataTypeCount = int32_t(facts.dataTypes.size());
  descriptor.dataTypes = facts.dataTypes.data();
  descriptor.commandCount = int32_t(facts.commands.size());
  descriptor.commands = facts.commands.data();
  descriptor.notify = facts.notify;
  return descriptor;
}

}  // namespace lib
