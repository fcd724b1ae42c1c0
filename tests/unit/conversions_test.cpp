#include "runtime/conversions.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fatal_trap.h"
#include "runtime/heap.h"

namespace {

using namespace rt;

std::string Text(const ArgRecord& value) {
  HeapPtr<char> text(ValueToText(value));
  return text ? text.get() : "<null>";
}

ArgRecord Record(uint32_t low, TypeTag tag) { return {low, 0, tag}; }

struct ToTextCase {
  const char* name;
  ArgRecord value;
  const char* expected;
};

TEST(ValueToText, Table) {
  const ToTextCase cases[] = {
      {"byte", Record(200, TYPE_BYTE), "200"},
      {"short", Record(0xFFFF, TYPE_SHORT), "-1"},
      {"int", MakeInt(-123456), "-123456"},
      {"int64", MakeInt64(-9000000000LL), "-9000000000"},
      {"float 0.1", MakeFloat(0.1f), "0.1"},
      {"float rounds half away", MakeFloat(2.5000005f), "2.5"},
      {"float 1/3", MakeFloat(1.0f / 3), "0.333333"},
      {"double 13 digits", MakeDouble(1.0 / 3), "0.3333333333333"},
      {"double integral", MakeDouble(1e20), "1e+20"},
      {"true", MakeBool(true), "真"},
      {"true any word", Record(7, TYPE_BOOL), "真"},
      {"false", MakeBool(false), "假"},
      {"midnight", MakeDateTime(36526.0), "2000年1月1日"},
      {"hour", MakeDateTime(36526.5), "2000年1月1日12时"},
      {"minutes", MakeDateTime(36526.5 + 30.0 / 1440), "2000年1月1日12时30分"},
      {"seconds", MakeDateTime(36526.5 + 5.0 / 86400), "2000年1月1日12时0分5秒"},
      {"clamped high", MakeDateTime(3000000.0), "9999年12月31日"},
      {"clamped low", MakeDateTime(-1e9), "100年1月1日"},
      {"epoch", MakeDateTime(0.0), "1899年12月30日"},
      {"before epoch keeps its time", MakeDateTime(-1.25), "1899年12月29日6时"},
      {"sub-program pointer", Record(1, TYPE_SUBPTR), "<null>"},
      {"unit", Record(1, 0x00010005), "<null>"},
      {"null text", MakeBlock(TYPE_TEXT, nullptr), "<null>"},
  };
  for (const auto& c : cases) EXPECT_EQ(Text(c.value), c.expected) << c.name;
}

TEST(ValueToText, ByteSetAndNumericArrayStopAtZero) {
  const uint8_t bytes[] = {'a', 'b', 0, 'c'};
  HeapPtr<> set(MakeByteSet(bytes, 4));
  EXPECT_EQ(Text(MakeBlock(TYPE_BYTESET, set.get())), "ab");
  const int32_t size = 2;
  HeapPtr<> array(MakeArray(TYPE_INT, &size, 1));
  std::memcpy(ArrayData(array.get()), "xyz\0", 4);
  EXPECT_EQ(Text(MakeBlock(TYPE_INT | kArrayFlag, array.get())), "xyz");
  EXPECT_EQ(Text(MakeBlock(TYPE_TEXT | kArrayFlag, array.get())), "<null>");
}

TEST(AnyToInt, FullWidthTextIsNormalised) {
  struct Case {
    const char* text;
    int32_t expected;
  } cases[] = {
      {"１２３", 123},
      {"－４５", -45},
      {"　７", 7},       // a full-width space is skipped like a space
      {"  42abc", 42},
      {"+8", 8},
      {"abc", 0},
      {"99999999999", INT32_MAX},
      {"-99999999999", INT32_MIN},
      {"中12", 0},       // other double-byte characters pass unchanged
  };
  for (const auto& c : cases) EXPECT_EQ(AnyToInt(MakeBlock(TYPE_TEXT, c.text)), c.expected) << c.text;
}

TEST(AnyToInt, OtherTypes) {
  EXPECT_EQ(AnyToInt(Record(5, TYPE_BOOL)), 5);
  EXPECT_EQ(AnyToInt(MakeDouble(-2.9)), -2);
  EXPECT_EQ(AnyToInt(MakeFloat(3.99f)), 3);
  EXPECT_EQ(AnyToInt(MakeDouble(1e300)), INT32_MAX);
  EXPECT_EQ(AnyToInt(MakeInt64(0x100000005LL)), 5);
  EXPECT_EQ(AnyToInt(Record(0xFF, TYPE_BYTE)), 255);
  EXPECT_EQ(AnyToInt(Record(0x8000, TYPE_SHORT)), -32768);
  EXPECT_EQ(AnyToInt(MakeDateTime(5.0)), 0);
}

TEST(NumericToInt, NonNumericIsFatal) {
  EXPECT_EQ(NumericToInt(MakeDouble(7.7)), 7);
  auto raised = testing_support::ExpectFatal([] { NumericToInt(MakeBlock(TYPE_TEXT, "5")); });
  EXPECT_EQ(raised.message, "欲转换数据类型不是数值");
  EXPECT_EQ(raised.code, 0);
}

TEST(NormaliseFullWidth, PunctuationAndLoneLeadByte) {
  char out[16];
  NormaliseFullWidth("\xA1\xAB\xA1\xEE\xA1\xEF\xA3\xC1", out);
  EXPECT_STREQ(out, "~**A");
  NormaliseFullWidth("ab\xB0", out);
  EXPECT_STREQ(out, "ab");
}

TEST(TypedValueFromBytes, PadsClampsAndReadsText) {
  const uint8_t two[] = {0x34, 0x12};
  ArgRecord v = TypedValueFromBytes(3, two, 2);
  EXPECT_EQ(v.tag, TYPE_INT);
  EXPECT_EQ(v.low, 0x1234u);
  const uint8_t word[] = {0, 0, 1, 0};
  EXPECT_EQ(TypedValueFromBytes(7, word, 4).low, 1u);
  double huge = 1e10;
  EXPECT_EQ(TypedValueFromBytes(8, reinterpret_cast<const uint8_t*>(&huge), 8).asDouble(), kDateTimeMax);
  const uint8_t text[] = {'h', 'i', 0, 'x'};
  ArgRecord t = TypedValueFromBytes(10, text, 4);
  HeapPtr<char> owned(static_cast<char*>(t.pointer()));
  EXPECT_STREQ(owned.get(), "hi");
  EXPECT_EQ(TypedValueFromBytes(1, word + 2, 2).low, 1u);
}

TEST(TypedValueFromBytes, UnknownTypeNumberIsFatal) {
  const uint8_t b[4] = {};
  for (int number : {0, 11, -1}) {
    auto raised = testing_support::ExpectFatal([&] { TypedValueFromBytes(number, b, 4); });
    EXPECT_EQ(raised.message, "“欲取出数据的类型”参数值无效") << number;
  }
}

TEST(GbkLiterals, SourceTextsAreGbkBytes) {
  // The compiler turns the runtime's texts into code page 936 bytes.
  EXPECT_STREQ("运行时出错!", "\xD4\xCB\xD0\xD0\xCA\xB1\xB3\xF6\xB4\xED!");
}

}  // namespace
