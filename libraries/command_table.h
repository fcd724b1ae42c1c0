// A library's commands, declared as one constexpr table in command order.
//
// Conventions of every library command (the core library's included),
// written once here:
// - A command is one CommandSpec: its name, its body (the command signature
//   of runtime/library.h), the kinds of its arguments, which of them may be
//   omitted, and where it runs.
// - The entry the program calls, made by CommandEntries<kTable>(), checks
//   the call against the table in one place, with one message: a call with
//   more argument records than the command has, with a required argument
//   missing or omitted (type tag 0), or with an argument whose tag is not of
//   its declared kind, is the fatal error "命令参数不正确: <name> <argument>"
//   (arguments count from 1). An optional argument may be omitted, or left
//   out at the end of the records.
// - A command that works on a unit or a window runs on the window thread,
//   which owns every window and record; a caller on another thread waits for
//   it. Once the program has ended its windows, such a call does nothing and
//   its result stays as the caller zero-filled it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "runtime/library.h"

namespace lib {

enum class Arg : uint8_t {
  None,           // no argument in this place
  Any,            // any value at all; the command decides what it makes of it
  Integer,        // an integer, or an integer variable passed by reference
  Logical,
  Text,
  ByteSet,
  Subroutine,
  Unit,           // a unit or window reference: a library type code as its tag
  UnitOrInteger,  // a window reference, or a window handle as an integer
};

enum class RunsOn : uint8_t { CallingThread, WindowThread };

constexpr size_t kMaxCommandArguments = 6;

struct CommandSpec {
  const char* name;
  rt::CommandEntry body;
  std::array<Arg, kMaxCommandArguments> arguments;
  uint32_t optional = 0;  // bit i: argument i (0-based) may be omitted
  RunsOn runsOn = RunsOn::CallingThread;
  uint32_t unitType = 0;  // the type code a Unit first argument must have; 0: any unit
};

// The optional-argument mask of the given 1-based argument numbers.
constexpr uint32_t Optional(std::initializer_list<int> numbers) {
  uint32_t mask = 0;
  for (int number : numbers) mask |= 1u << (number - 1);
  return mask;
}

// Checks a call against its table entry; a mismatch is a fatal error.
void CheckCall(const CommandSpec& declaration, int count, const rt::ArgRecord* arguments);
// Checks, then runs the command where its entry says.
void RunCommand(const CommandSpec& declaration, rt::ArgRecord* result, int count, rt::ArgRecord* arguments);

template <const auto& Table, size_t I>
void CheckedCommand(rt::ArgRecord* result, int count, rt::ArgRecord* arguments) {
  RunCommand(Table[I], result, count, arguments);
}

template <const auto& Table, size_t... I>
constexpr std::array<rt::CommandEntry, sizeof...(I)> MakeCommandEntries(std::index_sequence<I...>) {
  return {&CheckedCommand<Table, I>...};
}

// The entry table a library descriptor lists: one checking entry per declaration.
template <const auto& Table>
constexpr auto CommandEntries() {
  return MakeCommandEntries<Table>(std::make_index_sequence<std::size(Table)>());
}

}  // namespace lib
