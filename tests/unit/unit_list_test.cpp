#include "windows/unit_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

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

using Starts = std::vector<std::pair<std::string, size_t>>;

// A record built field by field, with where each named field starts.
class MarkedRecord {
 public:
  MarkedRecord& at(const char* field) {
    starts.emplace_back(field, bytes.data.size());
    return *this;
  }
  MarkedRecord& word(uint32_t v) {
    bytes.word(v);
    return *this;
  }
  MarkedRecord& text(const std::string& s) {
    bytes.text(s);
    return *this;
  }
  MarkedRecord& zeros(size_t n) {
    bytes.zeros(n);
    return *this;
  }

  Bytes bytes;
  Starts starts;
};

// Where the walk found each field, named as the builder marks them.
Starts Found(const win::UnitRecordLayout& l) {
  return {
      {"typeCode", l.typeCode},     {"eventShare", l.eventShare},       {"name", l.name},
      {"remark", l.remark},         {"objectSlot", l.objectSlot},       {"left", l.geometry[0]},
      {"top", l.geometry[1]},       {"width", l.geometry[2]},           {"height", l.geometry[3]},
      {"cursorSlot", l.cursorSlot}, {"parent", l.parent},               {"childCount", l.childCount},
      {"childIds", l.childIds},     {"pointerLength", l.pointerLength}, {"pointerData", l.pointerData},
      {"tag", l.tag},               {"flags", l.flags},                 {"tabOrder", l.tabOrder},
      {"eventCount", l.eventCount}, {"bindings", l.bindings},           {"blob", l.blob},
  };
}

Starts Found(const win::MenuRecordLayout& l) {
  return {
      {"typeCode", l.typeCode}, {"name", l.name},   {"remark", l.remark},   {"shortcut", l.shortcut},
      {"level", l.level},       {"flags", l.flags}, {"caption", l.caption}, {"handler", l.handler},
  };
}

// A unit record whose variable parts are all filled: each field the walk
// finds must start where the builder put it.
TEST(RecordLayouts, EachUnitFieldStartsAfterTheVariablePartsBeforeIt) {
  MarkedRecord r;
  r.at("typeCode").word(0x00010005).at("eventShare").word(0x16010002).zeros(16);
  r.at("name").text("编辑框1").at("remark").text("r").at("objectSlot").word(0);
  r.at("left").word(1).at("top").word(2).at("width").word(3).at("height").word(4);
  r.at("cursorSlot").word(0).at("parent").word(0x16010003);
  r.at("childCount").word(3).at("childIds").word(0x16010004).word(0).word(0x16010005);
  r.at("pointerLength").word(8).at("pointerData").word(1).word(2);
  r.at("tag").text("tag").word(0).at("flags").word(5).at("tabOrder").word(6);
  r.at("eventCount").word(2).at("bindings").word(0).word(1).word(3).word(2).zeros(20);
  r.at("blob").word(7);

  auto l = win::ParseUnitRecord(r.bytes.data);
  ASSERT_TRUE(l);
  EXPECT_EQ(r.starts, Found(*l));
}

TEST(RecordLayouts, EachMenuFieldStartsAfterTheTextsBeforeIt) {
  MarkedRecord r;
  r.at("typeCode").word(0x00010003).zeros(20).at("name").text("n").at("remark").text("remark");
  r.at("shortcut").word(15).at("level").word(1).at("flags").word(2).at("caption").text("Open");
  r.at("handler").word(0xFFFFFFFF).zeros(16);

  auto l = win::ParseMenuRecord(r.bytes.data);
  ASSERT_TRUE(l);
  EXPECT_EQ(r.starts, Found(*l));
}

TEST(RecordLayouts, CountsBeyondTheBodyAreRejected) {
  auto body = UnitRecord({0x16010001, 0x00010005, 0, {{0, 1}}});
  ASSERT_TRUE(win::ParseUnitRecord(body));
  size_t eventCount = win::ParseUnitRecord(body)->eventCount;
  const struct {
    const char* name;
    uint32_t count;
  } kCases[] = {{"one binding too many", 2}, {"a count whose bytes overflow 32 bits", 0x20000000},
                {"the largest count", 0xFFFFFFFF}};
  for (const auto& c : kCases) {
    auto damaged = body;
    std::memcpy(damaged.data() + eventCount, &c.count, 4);
    EXPECT_FALSE(win::ParseUnitRecord(damaged)) << c.name;
  }
}

}  // namespace
