// The value and byte-set commands, called through the core library's
// command table. A case with a refusal is a call the table refuses
// (commands_test_support.h).
#include "commands/value_commands.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "commands_test_support.h"
#include "fatal_trap.h"
#include "runtime/conversions.h"

namespace {

using namespace commands_test;

rt::ArgRecord Record(uint32_t low, rt::TypeTag tag) { return {low, 0, tag}; }

TEST(ToInteger, Table) {
  struct Case {
    const char* name;
    rt::ArgRecord value;
    int32_t expected;
    const char* refusal = nullptr;
  } cases[] = {
      {"text without digits first", Text("x12"), 0},
      {"spaces, sign, digits, rest", Text("  -12abc"), -12},
      {"full-width digits", Text("\xA3\xB1\xA3\xB2"), 12},
      {"null text", Text(nullptr), 0},
      {"double toward zero", rt::MakeDouble(-2.9), -2},
      {"float toward zero", rt::MakeFloat(3.99f), 3},
      {"byte", Record(0xFF, rt::TYPE_BYTE), 255},
      {"short sign-extended", Record(0xFFFF, rt::TYPE_SHORT), -1},
      {"long integer's low word", rt::MakeInt64(0x100000005LL), 5},
      {"logical's word", Record(7, rt::TYPE_BOOL), 7},
      {"subroutine pointer", Record(0x401000, rt::TYPE_SUBPTR), 0x401000},
      {"date-time", rt::MakeDateTime(5.0), 0},
      {"unit", Record(0x52010001, 0x00010001), 0},
      {"omitted", kOmitted, 0, "ToInteger 1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(int32_t(CallOrRefuse(core::CMD_TO_INTEGER, {c.value}, c.refusal).low), c.expected);
  }
}

TEST(ToText, Table) {
  const uint8_t bytes[] = {'a', 'b', 0, 'c'};
  rt::HeapPtr<> set(rt::MakeByteSet(bytes, 4));
  const int32_t size = 1;
  rt::HeapPtr<> array(rt::MakeArray(rt::TYPE_INT, &size, 1));
  std::memcpy(rt::ArrayData(array.get()), "xyz", 4);
  struct Case {
    const char* name;
    rt::ArgRecord value;
    const char* expected;
    const char* refusal = nullptr;
  } cases[] = {
      {"integral double", rt::MakeDouble(59.0), "59"},
      {"another integral double", rt::MakeDouble(21.0), "21"},
      {"half", rt::MakeDouble(0.5), "0.5"},
      {"true", rt::MakeBool(true), "真"},
      {"false", rt::MakeBool(false), "假"},
      {"integer", rt::MakeInt(-5), "-5"},
      {"text", Text("abc"), "abc"},
      {"null text", Text(nullptr), "<null>"},
      {"byte set up to its zero byte", ByteSet(set.get()), "ab"},
      {"integer array's bytes", rt::MakeBlock(rt::TYPE_INT | rt::kArrayFlag, array.get()), "xyz"},
      {"text array", rt::MakeBlock(rt::TYPE_TEXT | rt::kArrayFlag, array.get()), "<null>"},
      {"unit", Record(0x52010001, 0x00010001), "<null>"},
      {"omitted", kOmitted, "<null>", "ToText 1"},
  };
  // The C runtime sets up its number formatting, in the same heap, on first use.
  TakeText(Call(core::CMD_TO_TEXT, {rt::MakeDouble(1.5)}));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    rt::ArgRecord result = CallCountingBlocks(core::CMD_TO_TEXT, {c.value}, c.refusal);
    if (result.pointer()) {
      EXPECT_NE(result.pointer(), c.value.pointer()) << "not a new text";
    }
    EXPECT_EQ(TakeText(result), c.expected);
  }
}

TEST(ByteSetLength, Table) {
  const uint8_t bytes[] = {1, 2, 3};
  rt::HeapPtr<> set(rt::MakeByteSet(bytes, 3));
  struct Case {
    const char* name;
    std::vector<rt::ArgRecord> arguments;
    int32_t expected;
    const char* refusal = nullptr;
  } cases[] = {
      {"three bytes", {ByteSet(set.get())}, 3},
      {"empty", {ByteSet(nullptr)}, 0},
      {"a text is no byte set", {Text("abc")}, 0, "ByteSetLength 1"},
      {"missing", {}, 0, "ByteSetLength 1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(int32_t(CallOrRefuse(core::CMD_BYTE_SET_LENGTH, c.arguments, c.refusal).low), c.expected);
  }
}

TEST(NewZeroByteSet, Table) {
  struct Case {
    const char* name;
    std::vector<rt::ArgRecord> arguments;
    std::optional<std::vector<uint8_t>> expected;
    const char* refusal = nullptr;
  } cases[] = {
      {"five", {rt::MakeInt(5)}, std::vector<uint8_t>(5, 0)},
      {"one", {rt::MakeInt(1)}, std::vector<uint8_t>{0}},
      {"zero", {rt::MakeInt(0)}, std::nullopt},
      {"negative", {rt::MakeInt(-1)}, std::nullopt},
      {"missing", {}, std::nullopt, "NewZeroByteSet 1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(TakeByteSet(CallCountingBlocks(core::CMD_NEW_ZERO_BYTE_SET, c.arguments, c.refusal)), c.expected);
  }
}

std::vector<uint8_t> BytesOf(double v) {
  std::vector<uint8_t> bytes(8);
  std::memcpy(bytes.data(), &v, 8);
  return bytes;
}

uint64_t BitsOf(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, 8);
  return bits;
}

// ByteSetToValue's result for the bytes, type number and position; a text
// is compared by its bytes, every other type by its two value words.
struct ValueCase {
  const char* name;
  std::vector<uint8_t> bytes;
  int32_t type;
  std::optional<int32_t> position;
  rt::TypeTag tag;
  uint64_t bits;
  const char* text = nullptr;
};

TEST(ByteSetToValue, EveryTypeReadsPadsAndClamps) {
  const std::vector<uint8_t> eight = {1, 2, 3, 4, 5, 6, 7, 8};
  const ValueCase cases[] = {
      {"byte", eight, 1, {}, rt::TYPE_BYTE, 0x01},
      {"short", eight, 2, {}, rt::TYPE_SHORT, 0x0201},
      {"integer", eight, 3, {}, rt::TYPE_INT, 0x04030201},
      {"long integer", eight, 4, {}, rt::TYPE_INT64, 0x0807060504030201},
      {"float", eight, 5, {}, rt::TYPE_FLOAT, 0x04030201},
      {"double", eight, 6, {}, rt::TYPE_DOUBLE, 0x0807060504030201},
      {"logical", eight, 7, {}, rt::TYPE_BOOL, 1},
      {"date-time", eight, 8, {}, rt::TYPE_DATETIME, 0x0807060504030201},
      {"subroutine pointer, as wide as a pointer", eight, 9, {}, rt::TYPE_SUBPTR,
       sizeof(void*) == 8 ? 0x0807060504030201 : 0x04030201},
      {"text of all bytes", eight, 10, {}, rt::TYPE_TEXT, 0, "\x01\x02\x03\x04\x05\x06\x07\x08"},
      {"byte from position 8", eight, 1, 8, rt::TYPE_BYTE, 0x08},
      {"short padded", eight, 2, 8, rt::TYPE_SHORT, 0x08},
      {"integer padded", eight, 3, 7, rt::TYPE_INT, 0x0807},
      {"long integer padded", eight, 4, 6, rt::TYPE_INT64, 0x080706},
      {"double padded", eight, 6, 5, rt::TYPE_DOUBLE, 0x08070605},
      {"logical from a word of zeros", {0, 0, 0, 0}, 7, {}, rt::TYPE_BOOL, 0},
      {"logical from a high byte", {0, 0, 0, 0x80}, 7, {}, rt::TYPE_BOOL, 1},
      {"date-time above the range", BytesOf(3e6), 8, {}, rt::TYPE_DATETIME, BitsOf(rt::kDateTimeMax)},
      {"date-time below the range", BytesOf(-1e7), 8, {}, rt::TYPE_DATETIME, BitsOf(rt::kDateTimeMin)},
      {"text up to a zero byte", {0x41, 0x42, 0, 0x43}, 10, {}, rt::TYPE_TEXT, 0, "AB"},
      {"text after a zero byte", {0x41, 0x42, 0, 0x43}, 10, 4, rt::TYPE_TEXT, 0, "C"},
      {"text of a zero byte", {0x41, 0}, 10, 2, rt::TYPE_TEXT, 0, "<null>"},
      {"past the end", eight, 3, 9, rt::TYPE_INT, 0},
      {"position 0", eight, 3, 0, rt::TYPE_INT, 0},
      {"negative position", eight, 1, -1, rt::TYPE_BYTE, 0},
      {"text past the end", eight, 10, 9, rt::TYPE_TEXT, 0, "<null>"},
      {"empty byte set", {}, 6, {}, rt::TYPE_DOUBLE, 0},
  };
  for (const ValueCase& c : cases) {
    rt::HeapPtr<> set(rt::MakeByteSet(c.bytes.data(), int64_t(c.bytes.size())));
    rt::ArgRecord result =
        CallCountingBlocks(core::CMD_BYTE_SET_TO_VALUE, {ByteSet(set.get()), rt::MakeInt(c.type), OptionalInt(c.position)});
    EXPECT_EQ(result.tag, c.tag) << c.name;
    if (c.text)
      EXPECT_EQ(TakeText(result), c.text) << c.name;
    else
      EXPECT_EQ(uint64_t(result.bits64()), c.bits) << c.name;
  }
}

// The position variable after one read from `start`.
struct PositionCase {
  const char* name;
  std::vector<uint8_t> bytes;
  int32_t type;
  int32_t start;
  int32_t next;
};

TEST(ByteSetToValue, PositionVariableAdvances) {
  const std::vector<uint8_t> eight = {1, 2, 3, 4, 5, 6, 7, 8};
  const std::vector<uint8_t> texts = {'A', 'B', 0, 'C'};
  const PositionCase cases[] = {
      {"byte", eight, 1, 1, 2},
      {"short", eight, 2, 1, 3},
      {"integer", eight, 3, 1, 5},
      {"long integer to just past the end", eight, 4, 1, -1},
      {"float", eight, 5, 3, 7},
      {"double", eight, 6, 1, -1},
      {"the last byte", eight, 1, 8, -1},
      {"logical stays", eight, 7, 2, 2},
      {"date-time stays", eight, 8, 1, 1},
      {"subroutine pointer stays", eight, 9, 5, 5},
      {"logical past the end", eight, 7, 9, -1},
      {"text and its zero byte", texts, 10, 1, 4},
      {"text without a zero byte", texts, 10, 4, -1},
      {"position 0", eight, 1, 0, -1},
      {"negative position", eight, 1, -1, -1},
      {"the lowest position", eight, 3, INT32_MIN, -1},
      {"empty byte set", {}, 1, 1, -1},
  };
  for (const PositionCase& c : cases) {
    rt::HeapPtr<> set(rt::MakeByteSet(c.bytes.data(), int64_t(c.bytes.size())));
    int32_t position = c.start;
    rt::ArgRecord result = Call(core::CMD_BYTE_SET_TO_VALUE,
                                {ByteSet(set.get()), rt::MakeInt(c.type), rt::MakeReference(rt::TYPE_INT, &position)});
    if (result.tag == rt::TYPE_TEXT) TakeText(result);
    EXPECT_EQ(position, c.next) << c.name;
  }
}

TEST(ByteSetToValue, OneVariableWalksARecord) {
  const uint8_t record[] = {7, 0, 0, 0, 'h', 'i', 0, 3, 0};
  rt::HeapPtr<> set(rt::MakeByteSet(record, sizeof record));
  int32_t position = 1;
  auto read = [&](int32_t type) {
    return Call(core::CMD_BYTE_SET_TO_VALUE,
                {ByteSet(set.get()), rt::MakeInt(type), rt::MakeReference(rt::TYPE_INT, &position)});
  };
  EXPECT_EQ(read(3).low, 7u);
  EXPECT_EQ(position, 5);
  EXPECT_EQ(TakeText(read(10)), "hi");
  EXPECT_EQ(position, 8);
  EXPECT_EQ(read(2).low, 3u);
  EXPECT_EQ(position, -1);
}

TEST(ByteSetToValue, PositionGivenAsAValueIsOnlyRead) {
  const uint8_t bytes[] = {1, 2, 3};
  rt::HeapPtr<> set(rt::MakeByteSet(bytes, 3));
  std::vector<rt::ArgRecord> arguments = {ByteSet(set.get()), rt::MakeInt(1), rt::MakeInt(2)};
  rt::ArgRecord result =
      rt::Services().CallCoreCommand(core::kCoreLibrary.commands[core::CMD_BYTE_SET_TO_VALUE], 3, arguments.data());
  EXPECT_EQ(result.low, 2u);
  EXPECT_EQ(arguments[2].low, 2u);
  EXPECT_EQ(arguments[2].tag, rt::TYPE_INT);
}

// An omitted type number never reaches the body through the table; the body
// alone refuses it like any other number outside 1 … 10.
TEST(ByteSetToValue, TypeNumberOutsideOneToTenIsFatal) {
  const uint8_t bytes[] = {1, 2, 3, 4};
  rt::HeapPtr<> set(rt::MakeByteSet(bytes, 4));
  const std::string invalidType = "“欲取出数据的类型”参数值无效";
  struct Case {
    const char* name;
    rt::ArgRecord type;
    decltype(&Call) call;
    std::string message;
  } cases[] = {
      {"0", rt::MakeInt(0), Call, invalidType},
      {"11", rt::MakeInt(11), Call, invalidType},
      {"-1", rt::MakeInt(-1), Call, invalidType},
      {"omitted", kOmitted, Call, Refusal("ByteSetToValue 2")},
      {"omitted, to the body alone", kOmitted, CallBody, invalidType},
  };
  for (const Case& c : cases) {
    int32_t position = 1;
    std::string message = testing_support::ExpectFatalMessage([&] {
      c.call(core::CMD_BYTE_SET_TO_VALUE, {ByteSet(set.get()), c.type, rt::MakeReference(rt::TYPE_INT, &position)},
             std::nullopt);
    });
    EXPECT_EQ(message, c.message) << c.name;
    EXPECT_EQ(position, 1) << c.name << ": the variable changed";
  }
}

TEST(ByteSetToValue, ReadsOnlyTheRecordsItWasGiven) {
  const uint8_t bytes[] = {1, 2, 3};
  rt::HeapPtr<> set(rt::MakeByteSet(bytes, 3));
  int32_t position = 2;
  rt::ArgRecord result = Call(core::CMD_BYTE_SET_TO_VALUE,
                              {ByteSet(set.get()), rt::MakeInt(1), rt::MakeReference(rt::TYPE_INT, &position)}, 2);
  EXPECT_EQ(result.low, 1u) << "read from the start";
  EXPECT_EQ(position, 2) << "the variable past the count changed";
}

}  // namespace
