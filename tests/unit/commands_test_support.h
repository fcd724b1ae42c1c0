// Calling the core library's commands as program code does: argument records
// in a vector, the entry taken from the library's command table, the call
// made through CallCoreCommand. Results are taken over and freed here.
//
// A case of a call the table refuses names the refusal: the text of the
// fatal message after "命令参数不正确: " ("FindText 4"). Such a call must end
// with that message; the body, which the table keeps such calls from, is
// then called alone and must still give a sound result (defence in depth).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "commands/core_library.h"
#include "fatal_trap.h"
#include "heap_blocks.h"
#include "libraries/library_descriptor.h"
#include "runtime/heap.h"
#include "runtime/services.h"
#include "runtime/values.h"

namespace commands_test {

constexpr rt::ArgRecord kOmitted{};

// `count` below the number of records leaves the rest in memory, where the
// command must not look.
inline rt::ArgRecord CallEntry(rt::CommandEntry entry, std::vector<rt::ArgRecord> arguments,
                               std::optional<int> count = std::nullopt) {
  return rt::Services().CallCoreCommand(entry, count.value_or(int(arguments.size())), arguments.data());
}

inline rt::ArgRecord Call(core::CoreCommand command, std::vector<rt::ArgRecord> arguments,
                          std::optional<int> count = std::nullopt) {
  return CallEntry(core::kCoreLibrary.commands[command], std::move(arguments), count);
}

// The command's body alone, without the table's checks.
inline rt::ArgRecord CallBody(core::CoreCommand command, std::vector<rt::ArgRecord> arguments,
                              std::optional<int> count = std::nullopt) {
  return CallEntry(lib::CommandSpecsOf(core::kCoreLibrary)[size_t(command)].body, std::move(arguments), count);
}

inline std::string Refusal(std::string_view refusal) { return "命令参数不正确: " + std::string(refusal); }

// Expects the table to refuse the call with that message.
inline void ExpectRefused(core::CoreCommand command, const std::vector<rt::ArgRecord>& arguments, const char* refusal,
                          std::optional<int> count = std::nullopt) {
  EXPECT_EQ(testing_support::ExpectFatalMessage([&] { Call(command, arguments, count); }), Refusal(refusal));
}

// Calls through the table; with a refusal, expects it and calls the body alone.
inline rt::ArgRecord CallOrRefuse(core::CoreCommand command, std::vector<rt::ArgRecord> arguments,
                                  const char* refusal, std::optional<int> count = std::nullopt) {
  if (!refusal) return Call(command, std::move(arguments), count);
  ExpectRefused(command, arguments, refusal, count);
  return CallBody(command, std::move(arguments), count);
}

inline rt::ArgRecord Text(const char* text) { return rt::MakeBlock(rt::TYPE_TEXT, text); }
inline rt::ArgRecord ByteSet(const void* set) { return rt::MakeBlock(rt::TYPE_BYTESET, set); }
inline rt::ArgRecord OptionalInt(std::optional<int32_t> v) { return v ? rt::MakeInt(*v) : kOmitted; }

// A result text, freed; "<null>" stands for the null (empty) text.
inline std::string TakeText(const rt::ArgRecord& result) {
  rt::HeapPtr<char> text(static_cast<char*>(result.pointer()));
  return text ? std::string(text.get()) : "<null>";
}

// A result as a case writes it: a text's bytes, else its low word as a signed
// integer.
inline std::string Shown(const rt::ArgRecord& result) {
  return result.tag == rt::TYPE_TEXT ? TakeText(result) : std::to_string(int32_t(result.low));
}

// A result byte set's bytes, freed; std::nullopt stands for the null set.
inline std::optional<std::vector<uint8_t>> TakeByteSet(const rt::ArgRecord& result) {
  rt::HeapPtr<> set(result.pointer());
  if (!set) return std::nullopt;
  const uint8_t* data = rt::ByteSetData(set.get());
  return std::vector<uint8_t>(data, data + rt::ByteSetLength(set.get()));
}

// Calls a command that returns a text or byte set, and checks that the
// result is exactly one new heap block (none for an empty result). What is
// counted is a later, identical call: the first may leave blocks the system
// keeps for good (the first fatal error of a process, Wine's file layer on
// its first use of a path). The heap is the process's, which Wine's own
// threads use now and then too: a count is taken again, up to three times,
// before it fails; a command that leaks is off every time.
inline rt::ArgRecord CallCountingBlocks(core::CoreCommand command, std::vector<rt::ArgRecord> arguments,
                                        const char* refusal = nullptr) {
  constexpr int kCounts = 3;
  if (refusal) ExpectRefused(command, arguments, refusal);
  auto call = [&] { return refusal ? CallBody(command, arguments) : Call(command, arguments); };
  auto isBlock = [](const rt::ArgRecord& r) { return r.tag == rt::TYPE_TEXT || r.tag == rt::TYPE_BYTESET; };
  auto freeBlock = [&](const rt::ArgRecord& r) {
    if (isBlock(r)) rt::FreeMemory(r.pointer());
  };
  freeBlock(call());
  for (int count = 1;; ++count) {
    size_t before = testing_support::LiveHeapBlocks();
    rt::ArgRecord result = call();
    size_t expected = before + (isBlock(result) && result.pointer() ? 1 : 0);
    size_t after = testing_support::LiveHeapBlocks();
    if (after == expected || count == kCounts) {
      EXPECT_EQ(after, expected) << "command " << command << ", counted " << count << " times";
      return result;
    }
    freeBlock(result);
  }
}

// For a command that works with the system (files): the same call made many
// times, each result freed, leaves the heap grown by less than one block a
// call. An exact count would also see what Wine's file layer allocates and
// frees on its own. Returns one more call's result.
inline rt::ArgRecord CallCheckingLeaks(core::CoreCommand command, const std::vector<rt::ArgRecord>& arguments,
                                       const char* refusal = nullptr) {
  constexpr size_t kCalls = 16;
  if (refusal) ExpectRefused(command, arguments, refusal);
  auto call = [&] { return refusal ? CallBody(command, arguments) : Call(command, arguments); };
  auto callAndFree = [&] {
    rt::ArgRecord result = call();
    if (result.tag == rt::TYPE_TEXT || result.tag == rt::TYPE_BYTESET) rt::FreeMemory(result.pointer());
  };
  callAndFree();
  size_t before = testing_support::LiveHeapBlocks();
  for (size_t i = 0; i < kCalls; ++i) callAndFree();
  EXPECT_LT(testing_support::LiveHeapBlocks(), before + kCalls) << "command " << command << " leaks";
  return call();
}

}  // namespace commands_test
