#include "windows/blob.h"

#include <gtest/gtest.h>

#include <cstdint>
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

}  // namespace
