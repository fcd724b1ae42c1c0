#include "commands/value_commands.h"

#include <cstring>
#include <optional>

#include "libraries/arguments.h"
#include "runtime/conversions.h"

namespace core {
namespace {

// The bytes of a byte set from a 1-based position on; none for a position
// below 1 or past the end.
struct ByteRun {
  const uint8_t* bytes;
  size_t size;
};

ByteRun BytesFrom(const void* set, std::optional<int32_t> position) {
  static constexpr uint8_t kNoBytes[1] = {};
  int64_t length = rt::ByteSetLength(set);
  int64_t offset = position ? int64_t(*position) - 1 : 0;
  if (offset < 0 || offset >= length) return {kNoBytes, 0};
  return {rt::ByteSetData(set) + offset, size_t(length - offset)};
}

// How far a read moves the position: a text with its zero byte, a number by
// its size; logical, date-time and subroutine pointer values leave it.
int64_t Advance(const rt::ArgRecord& value) {
  switch (value.tag) {
    case rt::TYPE_TEXT: return value.text() ? int64_t(std::strlen(value.text())) + 1 : 1;
    case rt::TYPE_BOOL: case rt::TYPE_DATETIME: case rt::TYPE_SUBPTR: return 0;
    default: return int64_t(rt::TypeSize(value.tag));
  }
}

// A position below 1 has no data at or after it, just like one past the end:
// both become -1, so a loop that reads until -1 ends instead of starting over.
int32_t NextPosition(int32_t position, int64_t advance, int32_t length) {
  int64_t next = int64_t(position) + advance;
  return position < 1 || next > length ? -1 : int32_t(next);
}

}  // namespace

void ToInteger(rt::ArgRecord* result, int count, rt::ArgRecord* arguments) {
  *result = rt::MakeInt(rt::AnyToInt(lib::Arguments(count, arguments)[0]));
}

void ToText(rt::ArgRecord* result, int count, rt::ArgRecord* arguments) {
  *result = rt::MakeBlock(rt::TYPE_TEXT, rt::ValueToText(lib::Arguments(count, arguments)[0]));
}

void ByteSetLength(rt::ArgRecord* result, int count, rt::ArgRecord* arguments) {
  *result = rt::MakeInt(rt::ByteSetLength(lib::Arguments(count, arguments).byteSet(0)));
}

void NewZeroByteSet(rt::ArgRecord* result, int count, rt::ArgRecord* arguments) {
  *result = rt::MakeBlock(rt::TYPE_BYTESET, rt::MakeBlankByteSet(lib::Arguments(count, arguments).integer(0)));
}

// The type number is checked (a fatal error) before the position variable
// changes.
void ByteSetToValue(rt::ArgRecord* result, int count, rt::ArgRecord* arguments) {
  lib::Arguments args(count, arguments);
  const void* set = args.byteSet(0);
  std::optional<int32_t> position = args.optionalInteger(2);
  ByteRun run = BytesFrom(set, position);
  *result = rt::TypedValueFromBytes(args.integer(1), run.bytes, run.size);
  if (int32_t* variable = args.integerVariable(2))
    *variable = NextPosition(*position, Advance(*result), rt::ByteSetLength(set));
}

}  // namespace core
