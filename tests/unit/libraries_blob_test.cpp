#include "libraries/blob.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

TEST(LibraryBlob, WordsAreLittleEndian) {
  Bytes data = {0x01, 0x02, 0x03, 0x04, 0xFF, 0xFF, 0xFF, 0xFF};
  lib::BlobReader reader(data);
  EXPECT_EQ(reader.Word(), 0x04030201u);
  EXPECT_EQ(reader.Word(), 0xFFFFFFFFu);
  EXPECT_TRUE(reader.ok());
  EXPECT_TRUE(reader.atEnd());
}

struct ShortReadCase {
  const char* name;
  Bytes data;
  void (*read)(lib::BlobReader&);
};

const ShortReadCase kShortReads[] = {
    {"word of three bytes", {1, 2, 3}, [](lib::BlobReader& r) { EXPECT_EQ(r.Word(), 0u); }},
    {"count beyond the end", {5, 0, 0, 0, 'a', 'b'}, [](lib::BlobReader& r) { EXPECT_TRUE(r.CountedBytes().empty()); }},
    {"count near 2^32", {0xFF, 0xFF, 0xFF, 0xFF, 'a'}, [](lib::BlobReader& r) { EXPECT_TRUE(r.CountedBytes().empty()); }},
    {"text without terminator", {'a', 'b', 'c'}, [](lib::BlobReader& r) { EXPECT_EQ(r.ZText(), ""); }},
    {"empty data", {}, [](lib::BlobReader& r) { EXPECT_EQ(r.Word(), 0u); }},
};

TEST(LibraryBlob, ShortReadsFailAndYieldNothing) {
  for (const ShortReadCase& c : kShortReads) {
    lib::BlobReader reader(c.data);
    c.read(reader);
    EXPECT_FALSE(reader.ok()) << c.name;
  }
}

TEST(LibraryBlob, FailureIsStickyEvenWhenLaterFieldsWouldFit) {
  Bytes data = {0x10, 0, 0, 0, 0x2A, 0, 0, 0};
  lib::BlobReader reader(data);
  EXPECT_TRUE(reader.Bytes(9).empty());
  EXPECT_EQ(reader.Word(), 0u);
  EXPECT_EQ(reader.ZText(), "");
  EXPECT_FALSE(reader.ok());
}

TEST(LibraryBlob, ZeroTerminatedTextsFollowEachOther) {
  Bytes data = {'a', 'b', 0, 0, 'c', 0};
  lib::BlobReader reader(data);
  EXPECT_EQ(reader.ZText(), "ab");
  EXPECT_EQ(reader.ZText(), "");
  EXPECT_EQ(reader.ZText(), "c");
  EXPECT_TRUE(reader.ok());
  EXPECT_TRUE(reader.atEnd());
}

TEST(LibraryBlob, WriterOutputReadsBack) {
  lib::BlobWriter writer;
  writer.Word(0x11223344);
  writer.CountedBytes(Bytes{9, 8, 7});
  writer.ZText("Wait");
  Bytes written = writer.Take();
  EXPECT_EQ(written, (Bytes{0x44, 0x33, 0x22, 0x11, 3, 0, 0, 0, 9, 8, 7, 'W', 'a', 'i', 't', 0}));

  lib::BlobReader reader(written);
  EXPECT_EQ(reader.Word(), 0x11223344u);
  std::span<const uint8_t> counted = reader.CountedBytes();
  EXPECT_EQ(Bytes(counted.begin(), counted.end()), (Bytes{9, 8, 7}));
  EXPECT_EQ(reader.ZText(), "Wait");
  EXPECT_TRUE(reader.ok());
  EXPECT_TRUE(reader.atEnd());
}

}  // namespace
