#include "windows/unit_list.h"

#include <gtest/gtest.h>

#include "unit_list_builder.h"

namespace {

using namespace testing_support;
using win::UnitList;

UnitList ThreeUnits() {
  return MakeUnitList({{0x06010000, UnitRecord({0x06010000, 0x00010001, 0, {}, "", {6, 0, 0, 0}})},
                       {0x16010001, UnitRecord({0x16010001, 0x00010005, 0, {}, "tag", {1, 2, 3}})},
                       {0x16010002, UnitRecord({0x16010002, 0x0001000A, 0, {}, "", {9}})}});
}

TEST(UnitList, FindsRecordsByIdAndIndex) {
  UnitList list = ThreeUnits();
  EXPECT_EQ(list.count(), 3u);
  EXPECT_EQ(list.indexOf(0), 0u);
  EXPECT_EQ(list.indexOf(0x16010002), 2u);
  EXPECT_FALSE(list.indexOf(0x16019999));
  EXPECT_FALSE(list.indexOf(0x00010002)) << "bits 24..27 must be set";
  EXPECT_FALSE(list.indexOf(0x16000000)) << "the low 24 bits must be set";
  EXPECT_EQ(list.zText(1, list.unitLayout(1).tag), "tag");
  auto blob = list.blob(1);
  EXPECT_EQ(std::vector<uint8_t>(blob.begin(), blob.end()), (std::vector<uint8_t>{1, 2, 3}));
}

TEST(UnitList, PatchingARecordMovesTheLaterOnes) {
  UnitList list = ThreeUnits();
  uint32_t before = list.word(2, 0);
  auto tagAt = list.unitLayout(1).tag;
  const uint8_t longer[] = {'l', 'o', 'n', 'g', 'e', 'r', ' ', 't', 'a', 'g', 0};
  list.replace(1, tagAt, 4, longer);
  EXPECT_EQ(list.zText(1, list.unitLayout(1).tag), "longer tag");
  EXPECT_EQ(list.word(2, 0), before) << "the record after it is still found";
  EXPECT_EQ(std::vector<uint8_t>(list.blob(2).begin(), list.blob(2).end()), std::vector<uint8_t>{9});
  EXPECT_EQ(std::vector<uint8_t>(list.blob(1).begin(), list.blob(1).end()), (std::vector<uint8_t>{1, 2, 3}));
  const uint8_t shorter[] = {0};
  list.replace(1, list.unitLayout(1).tag, 11, shorter);
  EXPECT_EQ(list.zText(1, list.unitLayout(1).tag), "");
  EXPECT_EQ(list.word(2, 0), before);
  // The patched buffer is itself a valid list.
  EXPECT_TRUE(UnitList::FromBytes(list.bytes(), 3));
}

TEST(UnitList, RejectsDamagedStructure) {
  auto bytes = UnitListBytes({{0x06010000, UnitRecord({0x06010000, 0x00010001})}});
  EXPECT_FALSE(UnitList::FromBytes(bytes, 2)) << "more records than the buffer holds";
  EXPECT_FALSE(UnitList::FromBytes(bytes, 0));
  auto cut = bytes;
  cut.resize(cut.size() - 1);
  EXPECT_FALSE(UnitList::FromBytes(cut, 1)) << "record length past the end";
  auto badOffset = bytes;
  badOffset[4] = 0xFF;
  EXPECT_FALSE(UnitList::FromBytes(badOffset, 1));
}

TEST(RecordLayouts, FieldsRunningPastTheBodyAreRejected) {
  auto body = UnitRecord({0x16010001, 0x00010005});
  EXPECT_TRUE(win::ParseUnitRecord(body));
  for (size_t n = 0; n + 20 < body.size(); ++n)
    EXPECT_FALSE(win::ParseUnitRecord(std::span(body.data(), n))) << "cut at " << n;
  auto menu = MenuRecord({0x26010001, 0, "File"});
  EXPECT_TRUE(win::ParseMenuRecord(menu));
  for (size_t n = 0; n < menu.size(); ++n) EXPECT_FALSE(win::ParseMenuRecord(std::span(menu.data(), n)));
  auto hugeChildren = body;
  hugeChildren[24 + 2 + 28] = 0xFF;  // child count
  hugeChildren[24 + 2 + 31] = 0x7F;
  EXPECT_FALSE(win::ParseUnitRecord(hugeChildren));
}

}  // namespace
