#include "runtime/heap.h"

#include <gtest/gtest.h>

#include <cstring>

#include "fatal_trap.h"

namespace {

using namespace rt;

class ConstantBlock : public ::testing::Test {
 protected:
  void SetUp() override { SetConstantBlock(block_, sizeof block_); }
  void TearDown() override { SetConstantBlock(nullptr, 0); }
  char block_[16] = "literal\0tail";
};

TEST_F(ConstantBlock, FreeIgnoresNullAndConstants) {
  FreeMemory(nullptr);
  FreeMemory(block_);
  FreeMemory(block_ + 8);
  EXPECT_STREQ(block_, "literal");
}

TEST_F(ConstantBlock, ReallocOfAConstantCopiesWhatTheBlockHolds) {
  auto* copy = static_cast<char*>(ReallocMemory(block_ + 8, 100));
  ASSERT_NE(copy, block_ + 8);
  EXPECT_FALSE(IsInConstantBlock(copy));
  EXPECT_EQ(std::memcmp(copy, "tail", 5), 0);  // only up to the block's end is copied
  EXPECT_STREQ(block_ + 8, "tail");
  FreeMemory(copy);
}

TEST_F(ConstantBlock, ReallocSmallerThanTheRestCopiesOnlySize) {
  auto* copy = static_cast<char*>(ReallocMemory(block_, 3));
  EXPECT_EQ(std::memcmp(copy, "lit", 3), 0);
  FreeMemory(copy);
}

TEST(Heap, ReallocNullAllocates) {
  auto* p = static_cast<char*>(ReallocMemory(nullptr, 8));
  std::memcpy(p, "1234567", 8);
  p = static_cast<char*>(ReallocMemory(p, 4096));
  EXPECT_STREQ(p, "1234567");
  FreeMemory(p);
}

TEST(Heap, ExhaustionIsFatalWithTheSize) {
  auto raised = testing_support::ExpectFatal([] { AllocMemory(size_t(1) << 62); });
  EXPECT_EQ(raised.message, "分配 4611686018427387904 字节内存失败!");
  EXPECT_EQ(TryAllocMemory(size_t(1) << 62), nullptr);
}

}  // namespace
