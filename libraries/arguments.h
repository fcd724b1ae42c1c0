// How a library command sees its arguments.
//
// Conventions for every library command (the core library's included),
// written once here:
// - A command reads its argument records only through Arguments. An index at
//   or past the count the caller gave reads as an omitted record (tag 0), so
//   no command reads past the records it was given, and a command that needs
//   fewer arguments than it may take never has to look at the count.
// - "Omitted" is tag 0, tested with ArgRecord::omitted() and nothing else.
// - A text argument that is null, omitted or of another type reads as the
//   empty text; a byte set likewise reads as the empty byte set (null).
// - An integer argument may be an integer variable passed by reference
//   (runtime/values.h); it then reads the variable.
// - Results are whole records built with the runtime's constructors
//   (MakeInt, MakeBlock, ...); texts and byte sets in them are new heap
//   blocks owned by the caller, null when empty.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "runtime/values.h"

namespace lib {

class Arguments {
 public:
  Arguments(int count, const rt::ArgRecord* records) : count_(count > 0 ? count : 0), records_(records) {}

  const rt::ArgRecord& operator[](int index) const {
    static constexpr rt::ArgRecord kOmitted{};
    return index >= 0 && index < count_ ? records_[index] : kOmitted;
  }

  std::string_view text(int index) const {
    const rt::ArgRecord& record = (*this)[index];
    const char* text = record.tag == rt::TYPE_TEXT ? record.text() : nullptr;
    return text ? std::string_view(text) : std::string_view();
  }

  const void* byteSet(int index) const {
    const rt::ArgRecord& record = (*this)[index];
    return record.tag == rt::TYPE_BYTESET ? record.pointer() : nullptr;
  }

  // The variable of an integer passed by reference; null for anything else.
  int32_t* integerVariable(int index) const {
    const rt::ArgRecord& record = (*this)[index];
    return rt::ReferencedTag(record.tag) == rt::TYPE_INT ? static_cast<int32_t*>(record.variable()) : nullptr;
  }

  std::optional<int32_t> optionalInteger(int index) const {
    if ((*this)[index].omitted()) return std::nullopt;
    if (const int32_t* variable = integerVariable(index)) return *variable;
    return int32_t((*this)[index].low);
  }

  int32_t integer(int index) const { return optionalInteger(index).value_or(0); }

  bool flag(int index) const { return (*this)[index].low != 0; }

 private:
  int count_;
  const rt::ArgRecord* records_;
};

}  // namespace lib
