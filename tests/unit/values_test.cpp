#include "runtime/values.h"

#include <gtest/gtest.h>

#include <cstring>

#include "heap_blocks.h"
#include "runtime/heap.h"

namespace {

using namespace rt;
using testing_support::LiveHeapBlocks;

TEST(ArgRecord, PointerFillsBothWordsOnlyWhereItIsWide) {
  int x = 0;
  ArgRecord r = MakeBlock(TYPE_TEXT, &x);
  EXPECT_EQ(r.pointer(), &x);
  if (sizeof(void*) == 4) {
    EXPECT_EQ(r.high, 0u);
  }
  EXPECT_EQ(r.tag, TYPE_TEXT);
}

TEST(ArgRecord, EightByteValuesLowWordFirst) {
  ArgRecord r = MakeInt64(0x1122334455667788LL);
  EXPECT_EQ(r.low, 0x55667788u);
  EXPECT_EQ(r.high, 0x11223344u);
  EXPECT_EQ(MakeDouble(0.1).asDouble(), 0.1);
}

TEST(Tags, ClassesAndArrayFlag) {
  EXPECT_EQ(ClassifyTag(0), TagClass::None);
  EXPECT_EQ(ClassifyTag(TYPE_TEXT), TagClass::Basic);
  EXPECT_EQ(ClassifyTag(0xA0000004), TagClass::Basic);
  EXPECT_EQ(ClassifyTag(0x40000001), TagClass::Reserved);
  EXPECT_EQ(ClassifyTag(0x00010005), TagClass::Library);
  EXPECT_EQ(ElementTag(0xA0000004), TYPE_TEXT);
  EXPECT_TRUE(IsArrayTag(0xA0000004));
  EXPECT_EQ(TypeSize(TYPE_WIDE8), 8u);
  EXPECT_EQ(TypeSize(0x00010005), 0u);
}

TEST(Text, EmptyInputGivesNull) {
  EXPECT_EQ(MakeText(nullptr), nullptr);
  EXPECT_EQ(MakeText(""), nullptr);
  EXPECT_EQ(MakeTextN("abc", 0), nullptr);
  EXPECT_EQ(MakeTextN("abc", -3), nullptr);
  HeapPtr<char> t(MakeTextN("abcdef", 3));
  EXPECT_STREQ(t.get(), "abc");
}

TEST(ByteSet, LayoutHasOneDimensionAndLength) {
  const uint8_t bytes[] = {9, 8, 7};
  EXPECT_EQ(MakeByteSet(bytes, 0), nullptr);
  EXPECT_EQ(MakeBlankByteSet(0), nullptr);
  EXPECT_EQ(MakeBlankByteSet(-1), nullptr);
  HeapPtr<> set(MakeByteSet(bytes, 3));
  int32_t words[2];
  std::memcpy(words, set.get(), 8);
  EXPECT_EQ(words[0], 1);
  EXPECT_EQ(words[1], 3);
  EXPECT_EQ(std::memcmp(ByteSetData(set.get()), bytes, 3), 0);
  HeapPtr<> blank(MakeBlankByteSet(4));
  EXPECT_EQ(ByteSetLength(blank.get()), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(ByteSetData(blank.get())[i], 0);
}

TEST(Array, FreeingATextArrayFreesEveryElementThenTheBlock) {
  const int32_t sizes[] = {2, 3};
  size_t before = LiveHeapBlocks();
  void* array = MakeArray(0xA0000004, sizes, 2);
  EXPECT_EQ(ArrayDimensions(array), 2);
  EXPECT_EQ(ArrayDimension(array, 0), 2);
  EXPECT_EQ(ArrayDimension(array, 1), 3);
  ASSERT_EQ(ArrayElementCount(array), 6u);
  EXPECT_EQ(ArrayHeaderSize(array), 12u);
  for (size_t i = 0; i < 6; ++i) {
    if (i == 2) continue;  // a null element is skipped
    char* text = MakeText("element");
    std::memcpy(ArrayData(array) + i * sizeof(char*), &text, sizeof text);
  }
  EXPECT_EQ(LiveHeapBlocks(), before + 6);
  FreeArray(0xA0000004, array);
  EXPECT_EQ(LiveHeapBlocks(), before);
}

TEST(Array, ConstantArrayIsCopiedBeforeItChanges) {
  alignas(8) static const uint8_t constant[] = {1, 0, 0, 0, 2, 0, 0, 0, 10, 0, 0, 0, 20, 0, 0, 0};
  SetConstantBlock(constant, sizeof constant);
  void* variable = const_cast<uint8_t*>(constant);
  MakeConstantArrayWritable(4, &variable);
  ASSERT_NE(variable, static_cast<const void*>(constant));
  EXPECT_EQ(std::memcmp(variable, constant, sizeof constant), 0);
  void* heapCopy = variable;
  MakeConstantArrayWritable(4, &variable);
  EXPECT_EQ(variable, heapCopy);
  FreeMemory(variable);
  SetConstantBlock(nullptr, 0);
}

}  // namespace
