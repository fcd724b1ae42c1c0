// Calling the core library's commands as program code does: argument records
// in a vector, the entry taken from the library's command table, the call
// made through CallCoreCommand. Results are taken over and freed here.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "commands/core_library.h"
#include "heap_blocks.h"
#include "runtime/heap.h"
#include "runtime/services.h"
#include "runtime/values.h"

namespace commands_test {

constexpr rt::ArgRecord kOmitted{};

// `count` below the number of records leaves the rest in memory, where the
// command must not look.
inline rt::ArgRecord Call(core::CoreCommand command, std::vector<rt::ArgRecord> arguments,
                          std::optional<int> count = std::nullopt) {
  return rt::Services().CallCoreCommand(core::kCoreLibrary.commands[command],
                                        count.value_or(int(arguments.size())), arguments.data());
}

inline rt::ArgRecord Text(const char* text) { return rt::MakeBlock(rt::TYPE_TEXT, text); }
inline rt::ArgRecord ByteSet(const void* set) { return rt::MakeBlock(rt::TYPE_BYTESET, set); }
inline rt::ArgRecord OptionalInt(std::optional<int32_t> v) { return v ? rt::MakeInt(*v) : kOmitted; }

// A result text, freed; "<null>" stands for the null (empty) text.
inline std::string TakeText(const rt::ArgRecord& result) {
  rt::HeapPtr<char> text(static_cast<char*>(result.pointer()));
  return text ? std::string(text.get()) : "<null>";
}

// A result byte set's bytes, freed; std::nullopt stands for the null set.
inline std::optional<std::vector<uint8_t>> TakeByteSet(const rt::ArgRecord& result) {
  rt::HeapPtr<> set(result.pointer());
  if (!set) return std::nullopt;
  const uint8_t* data = rt::ByteSetData(set.get());
  return std::vector<uint8_t>(data, data + rt::ByteSetLength(set.get()));
}

// Calls a command that returns a text or byte set, and checks that the
// result is exactly one new heap block (none for an empty result).
inline rt::ArgRecord CallCountingBlocks(core::CoreCommand command, std::vector<rt::ArgRecord> arguments) {
  size_t before = testing_support::LiveHeapBlocks();
  rt::ArgRecord result = Call(command, std::move(arguments));
  bool block = result.tag == rt::TYPE_TEXT || result.tag == rt::TYPE_BYTESET;
  EXPECT_EQ(testing_support::LiveHeapBlocks(), before + (block && result.pointer() ? 1 : 0)) << "command " << command;
  return result;
}

}  // namespace commands_test
