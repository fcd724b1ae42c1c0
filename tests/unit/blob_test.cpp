#include "windows/blob.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

TEST(Blob, WordsAreLittleEndian) {
  Bytes data = {0x01, 0x02, 0x03, 0x04, 0xFF, 0xFF, 0xFF, 0xFF};
  win::BlobReader reader(data);
  EXPECT_EQ(reader.word(), 0x04030201u);
  EXPECT_EQ(reader.word(), 0xFFFFFFFFu);
  EXPECT_TRUE(reader.ok());
  EXPECT_TRUE(reader.atEnd());
}

struct ShortReadCase {
  const char* name;
  Bytes data;
  void (*read)(win::BlobReader&);
};

const ShortReadCase kShortReads[] = {
    {"word of three bytes", {1, 2, 3}, [](win::BlobReader& r) { EXPECT_EQ(r.word(), 0u); }},
    {"count beyond the end", {5, 0, 0, 0, 'a', 'b'}, [](win::BlobReader& r) { EXPECT_TRUE(r.countedBytes().empty()); }},
    {"count near 2^32", {0xFF, 0xFF, 0xFF, 0xFF, 'a'}, [](win::BlobReader& r) { EXPECT_TRUE(r.countedBytes().empty()); }},
    {"text without terminator", {'a', 'b', 'c'}, [](win::BlobReader& r) { EXPECT_EQ(r.terminatedText(), ""); }},
    {"empty data", {}, [](win::BlobReader& r) { EXPECT_EQ(r.word(), 0u); }},
};

TEST(Blob, ShortReadsFailAndYieldNothing) {
  for (const ShortReadCase& c : kShortReads) {
    win::BlobReader reader(c.data);
    c.read(reader);
    EXPECT_FALSE(reader.ok()) << c.name;
  }
}

TEST(Blob, FailureIsStickyEvenWhenLaterFieldsWouldFit) {
  Bytes data = {0x10, 0, 0, 0, 0x2A, 0, 0, 0};
  win::BlobReader reader(data);
  EXPECT_TRUE(reader.bytes(9).empty());
  EXPECT_EQ(reader.word(), 0u);
  EXPECT_EQ(reader.terminatedText(), "");
  EXPECT_FALSE(reader.ok());
}

TEST(Blob, ZeroTerminatedTextsFollowEachOther) {
  Bytes data = {'a', 'b', 0, 0, 'c', 0};
  win::BlobReader reader(data);
  EXPECT_EQ(reader.terminatedText(), "ab");
  EXPECT_EQ(reader.terminatedText(), "");
  EXPECT_EQ(reader.terminatedText(), "c");
  EXPECT_TRUE(reader.ok());
  EXPECT_TRUE(reader.atEnd());
}

TEST(Blob, WriterOutputReadsBack) {
  win::BlobWriter writer;
  writer.word(0x11223344);
  writer.countedBytes(Bytes{9, 8, 7});
  writer.terminatedText("Wait");
  Bytes written = writer.take();
  EXPECT_EQ(written, (Bytes{0x44, 0x33, 0x22, 0x11, 3, 0, 0, 0, 9, 8, 7, 'W', 'a', 'i', 't', 0}));

  win::BlobReader reader(written);
  EXPECT_EQ(reader.word(), 0x11223344u);
  EXPECT_EQ(reader.countedBytes(), (Bytes{9, 8, 7}));
  EXPECT_EQ(reader.terminatedText(), "Wait");
  EXPECT_TRUE(reader.ok());
  EXPECT_TRUE(reader.atEnd());
}

// A member's type converts the stored word: a logical is any non-zero word,
// a signed member takes the word's bits.
TEST(Blob, FieldReadsConvertTheWordByMemberType) {
  Bytes data = {5, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0x2A, 0x81};
  win::BlobReader reader(data);
  bool flag = false;
  int32_t signedField = 0;
  uint32_t unsignedField = 0;
  uint16_t half = 0;
  reader.word(flag);
  reader.word(signedField);
  reader.word(unsignedField);
  reader.half(half);
  EXPECT_TRUE(flag);
  EXPECT_EQ(signedField, -1);
  EXPECT_EQ(unsignedField, 0xFFFFFFFEu);
  EXPECT_EQ(half, 0x812A);
  EXPECT_TRUE(reader.ok());
  EXPECT_TRUE(reader.atEnd());
}

TEST(Blob, HalfOfOneByteFails) {
  Bytes data = {7};
  win::BlobReader reader(data);
  uint16_t half = 9;
  reader.half(half);
  EXPECT_EQ(half, 0);
  EXPECT_FALSE(reader.ok());
}

// A two-field entry layout, written as the generated ones are.
struct Entry {
  uint32_t width = 0;
  std::string text;
};
struct EntryLayout {
  static void Read(win::BlobReader& in, Entry& e) {
    in.word(e.width);
    in.terminatedText(e.text);
  }
  static void Write(win::BlobWriter& out, const Entry& e) { out.word(e.width).terminatedText(e.text); }
};
using EntryList = std::optional<std::vector<Entry>>;

TEST(Blob, ListDataRoundTrips) {
  EntryList list = std::vector<Entry>{{7, "a"}, {9, ""}};
  Bytes data = win::ListData<EntryLayout>(list);
  EXPECT_EQ(data, (Bytes{2, 0, 0, 0, 7, 0, 0, 0, 'a', 0, 9, 0, 0, 0, 0}));
  EntryList read;
  ASSERT_TRUE(win::ReadListData<EntryLayout>(data, read));
  ASSERT_TRUE(read);
  ASSERT_EQ(read->size(), 2u);
  EXPECT_EQ((*read)[0].text, "a");
  EXPECT_EQ((*read)[1].width, 9u);
  EXPECT_TRUE(win::ListData<EntryLayout>(EntryList()).empty());
}

// Every cut of list data, and a count promising more entries than follow,
// is refused and leaves the list as it was.
TEST(Blob, CorruptListDataLeavesTheListAsItWas) {
  Bytes data = win::ListData<EntryLayout>(EntryList(std::vector<Entry>{{7, "ab"}}));
  std::vector<Bytes> corrupt;
  for (size_t cut = 1; cut < data.size(); ++cut) corrupt.emplace_back(data.begin(), data.begin() + ptrdiff_t(cut));
  corrupt.push_back(Bytes{2, 0, 0, 0, 7, 0, 0, 0, 'a', 0});
  for (const Bytes& bytes : corrupt) {
    EntryList list = std::vector<Entry>{{1, "kept"}};
    EXPECT_FALSE(win::ReadListData<EntryLayout>(bytes, list)) << bytes.size() << " bytes";
    ASSERT_TRUE(list && list->size() == 1) << bytes.size() << " bytes";
    EXPECT_EQ((*list)[0].text, "kept");
  }
}

TEST(Blob, EmptyListDataIsNoList) {
  EntryList list = std::vector<Entry>{{1, "gone"}};
  EXPECT_TRUE(win::ReadListData<EntryLayout>(Bytes{}, list));
  EXPECT_FALSE(list);
}

}  // namespace
