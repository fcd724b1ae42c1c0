// The descriptors of the support libraries. A library's commands come as its
// table of command declarations (libraries/command_table.h) and the checking entries
// made from it; the descriptor's command descriptions point at the declarations.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "libraries/command_table.h"
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
  std::span<const CommandSpec> commandSpecs = {};   // in command order
  std::span<const rt::CommandEntry> commands = {};  // CommandEntries<the declarations>()
  rt::NotifyFunction notify = nullptr;
};

// The descriptor record; every field not named here stays zero.

// The command declarations of a library descriptor (empty for none).
inline std::span<const CommandSpec> CommandSpecsOf(const rt::LibraryDescriptor& library) {
  return {static_cast<const CommandSpec*>(library.commandDescriptions), size_t(library.commandCount)};
}

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
  if (facts.commands.size() != facts.commandSpecs.size()) throw "one command entry per command declaration";
  descriptor.commandCount = int32_t(facts.commands.size());
  descriptor.commandDescriptions = facts.commandSpecs.data();
  descriptor.commands = facts.commands.data();
  descriptor.notify = facts.notify;
  return descriptor;
}

}  // namespace lib
