#include "player/frame_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <string_view>

#include "heap_blocks.h"
#include "program_fixture.h"
#include "commands/core_library.h"
#include "runtime/dll_commands.h"
#include "runtime/fault_injection.h"
#include "runtime/gbk.h"
#include "runtime/state.h"
#include "runtime/values.h"

namespace {

using player::OwnedBytes;
using player::OwnedText;

using FrameText = testing_support::ProgramFixture;

TEST_F(FrameText, FramePathKeepsTheLastFourDigits) {
  const struct {
    const char* name;
    const char* prefix;
    int32_t frame;
    const char* expected;
  } cases[] = {
      {"1", "a", 1, "D:\\frames\\a0001.txt"},
      {"12", "a", 12, "D:\\frames\\a0012.txt"},
      {"9999", "a", 9999, "D:\\frames\\a9999.txt"},
      {"10000", "a", 10000, "D:\\frames\\a0000.txt"},
      {"10001", "a", 10001, "D:\\frames\\a0001.txt"},
      {"123456", "a", 123456, "D:\\frames\\a3456.txt"},
      {"an empty prefix", "", 7, "D:\\frames\\0007.txt"},
      {"a Chinese prefix", "帧", 42, "D:\\frames\\帧0042.txt"},
  };
  for (const auto& c : cases) EXPECT_EQ(player::FramePath("D:\\frames", c.prefix, c.frame), c.expected) << c.name;
}

struct BetweenCase {
  const char* name;
  const char* text;
  const char* left;
  const char* right;
  int32_t start;
  bool ignoreCase;
  const char* expected;
};

TEST_F(FrameText, TextBetweenTheMarks) {
  const BetweenCase cases[] = {
      {"both found", "Find...250item...", "...", "i", 0, false, "250"},
      {"left mark missing", "Find 250item", "...", "i", 0, false, ""},
      {"right mark missing", "Find...250", "...", "i", 0, false, ""},
      {"right mark only before the left", "i...250", "...", "i", 0, false, ""},
      {"marks next to each other", "a[]b", "[", "]", 0, false, ""},
      {"left mark at the end", "abc...", "...", "i", 0, false, ""},
      {"start position skips the first pair", "[1] [2]", "[", "]", 2, false, "2"},
      {"start position on the left mark", "[1] [2]", "[", "]", 5, false, "2"},
      {"start position past the text", "[1] [2]", "[", "]", 99, false, ""},
      {"negative start searches from the beginning", "[1] [2]", "[", "]", -3, false, "1"},
      {"case kept", "FIND...7ITEM", "find...", "item", 0, false, ""},
      {"case ignored", "FIND...7ITEM", "find...", "item", 0, true, "7"},
      {"#引号 stands for a double quote", "name=\"value\" rest", "=#引号", "#引号", 0, false, "value"},
      {"#引号 twice in one mark", "x=\"\"v\"\"", "#引号#引号", "#引号#引号", 0, false, "v"},
      {"a plain double quote still works", "name=\"value\"", "=\"", "\"", 0, false, "value"},
      {"Chinese marks", "开始中间结束", "开始", "结束", 0, false, "中间"},
      {"two-byte characters around the marks", "帧...二百i帧", "...", "i", 0, false, "二百"},
      // 0x81 0x69 is one character whose second byte reads as "i".
      {"a trail byte is no mark", "..." "\x81" "i" "5i", "...", "i", 0, false, "\x81" "i" "5"},
      {"a trail byte is no mark without case", "..." "\x81" "I" "5i", "...", "i", 0, true, "\x81" "I" "5"},
  };
  for (const BetweenCase& c : cases) {
    OwnedText between = player::TextBetween(c.text, c.left, c.right, c.start, c.ignoreCase);
    EXPECT_EQ(between.str(), c.expected) << c.name;
  }
}

TEST_F(FrameText, CountTextAndBack) {
  const struct {
    const char* text;
    int32_t expected;
  } cases[] = {
      {"Find...250item...", 250}, {"Find...0item...", 0}, {"Pause...", 0}, {"Playing...", 0}, {"", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(player::CountFromText(c.text), c.expected) << "\"" << c.text << "\"";
  for (int32_t count : {0, 3, 250, INT32_MAX})
    EXPECT_EQ(player::CountFromText(player::CountText(count).c_str()), count) << count;
  EXPECT_EQ(player::CountText(250), "Find...250item...");
}

TEST_F(FrameText, PlayingText) { EXPECT_EQ(player::PlayingText(12), "Playing...12Item"); }

TEST_F(FrameText, TextBetweenFreesWhatItUsed) {
  player::TextBetween("name=\"value\"", "=#引号", "#引号", 0, false);
  size_t before = testing_support::LiveHeapBlocks();
  for (int i = 0; i < 10; ++i) {
    player::TextBetween("name=\"value\"", "=#引号", "#引号", 0, false);
    player::TextBetween("no marks", "=#引号", "#引号", 0, false);
  }
  EXPECT_EQ(testing_support::LiveHeapBlocks(), before);
}

// The program with its two conversion commands declared, as the player's
// own declares them; the table is emptied again afterwards.
class FrameTextDecoding : public testing_support::ProgramFixture {
 protected:
  void SetUp() override {
    ProgramFixture::SetUp();
    program_ = *rt::State().program;
    program_.dllCommandCount = 2;
    program_.dllFileNames = kFiles;
    program_.dllExportNames = kExports;
    rt::State().program = &program_;
    rt::InitDllCommands();
  }
  void TearDown() override {
    rt::FreeDllModules();
    program_.dllCommandCount = 0;
    rt::InitDllCommands();
    ProgramFixture::TearDown();
  }

  static OwnedText Decode(std::string_view bytes) {
    return player::Utf8ToCp936(OwnedBytes(rt::MakeByteSet(bytes.data(), int64_t(bytes.size()))));
  }
  static std::string_view Utf8(std::u8string_view text) { return {reinterpret_cast<const char*>(text.data()), text.size()}; }

 private:
  static constexpr const char* kFiles[] = {"", "kernel32.dll"};
  static constexpr const char* kExports[] = {"MultiByteToWideChar", "WideCharToMultiByte"};
  rt::ProgramDescriptor program_{};
};

// Narrow literals are GBK here, u8 literals UTF-8: each case's two texts
// are the same characters, encoded independently of the code under test.
TEST_F(FrameTextDecoding, Utf8BecomesGbk) {
  const struct {
    const char* name;
    std::string_view utf8;
    std::string expected;
  } cases[] = {
      {"ASCII", Utf8(u8"ab c"), "ab c"},
      {"Chinese", Utf8(u8"动画帧"), "动画帧"},
      {"line ends stay", Utf8(u8"一\r\n二\n三\r"), "一\r\n二\n三\r"},
      {"a character GBK lacks", Utf8(u8"a\uD504b"), "a?b"},
      {"ends at a zero byte", std::string_view("ab\0cd", 5), "ab"},
      {"a zero byte first", std::string_view("\0ab", 3), ""},
      {"one lone byte", "x", "x"},
      {"a byte-order mark first is dropped", Utf8(u8"\uFEFF帧 1"), "帧 1"},
      {"only a byte-order mark", Utf8(u8"\uFEFF"), ""},
      {"one later is a character GBK lacks", Utf8(u8"a\uFEFFb"), "a?b"},
  };
  for (const auto& c : cases) EXPECT_EQ(Decode(c.utf8).str(), c.expected) << c.name;
}

TEST_F(FrameTextDecoding, NothingGivesEmptyText) {
  EXPECT_TRUE(player::Utf8ToCp936(OwnedBytes()).empty());
  EXPECT_TRUE(Decode("").empty());
}

// A frame saved in GBK: its ASCII comes through, its two-byte characters
// become replacements, not some other Chinese text.
TEST_F(FrameTextDecoding, GbkInsteadOfUtf8KeepsTheAscii) {
  std::string decoded = Decode("a动b画c").str();
  ASSERT_GE(decoded.size(), 5u) << decoded;
  EXPECT_EQ(decoded.front(), 'a');
  EXPECT_EQ(decoded.back(), 'c');
  EXPECT_NE(decoded.find('b'), std::string::npos);
  for (char c : decoded) EXPECT_LT(uint8_t(c), 0x80) << "a GBK character came out of invalid UTF-8: " << decoded;
}

// A whole 200 × 60 frame, to be sure of the lengths on both sides.
TEST_F(FrameTextDecoding, ALargeFrame) {
  std::u8string utf8Line;
  std::string gbkLine;
  for (int i = 0; i < 100; ++i) utf8Line += u8"影a", gbkLine += "影a";
  std::u8string utf8;
  std::string gbk;
  for (int i = 0; i < 60; ++i) utf8 += utf8Line + u8"\r\n", gbk += gbkLine + "\r\n";
  EXPECT_EQ(Decode(Utf8(utf8)).str(), gbk);
}

TEST_F(FrameTextDecoding, FreesWhatItUsed) {
  Decode(Utf8(u8"动画"));
  size_t before = testing_support::LiveHeapBlocks();
  for (int i = 0; i < 10; ++i) Decode(Utf8(u8"动画\r\n帧"));
  EXPECT_EQ(testing_support::LiveHeapBlocks(), before);
}

// A frame file read only up to byte n, n inside a character or not: the
// whole characters before the cut come through, and a cut character becomes
// at most one replacement, never another character or a crash.
TEST_F(FrameTextDecoding, AFrameCutInsideACharacter) {
  struct Character {
    std::string_view utf8;
    const char* gbk;
  };
  const Character characters[] = {{Utf8(u8"a"), "a"}, {Utf8(u8"动"), "动"}, {Utf8(u8"画"), "画"},
                                  {Utf8(u8"\r"), "\r"}, {Utf8(u8"\n"), "\n"}, {Utf8(u8"帧"), "帧"}};
  std::string utf8;
  for (const Character& c : characters) utf8 += c.utf8;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring file = std::wstring(temp) + L"ombre_cut_frame_" + std::to_wstring(GetCurrentProcessId()) + L".txt";
  {
    HANDLE out = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(out, utf8.data(), DWORD(utf8.size()), &written, nullptr);
    CloseHandle(out);
  }
  std::string path = rt::GbkFromWide(file);
  // The first read of a path may leave blocks Wine keeps for good.
  player::Utf8ToCp936(player::OwnedBytes(player::CallCore(core::CMD_READ_FILE_BYTES, {player::TextArgument(path)})));
  size_t blocks = testing_support::LiveHeapBlocks();
  for (size_t n = 0; n <= utf8.size(); ++n) {
    rt::fault::ReadCut cut(n);
    player::OwnedBytes bytes(player::CallCore(core::CMD_READ_FILE_BYTES, {player::TextArgument(path)}));
    std::string whole;
    size_t at = 0;
    for (const Character& c : characters) {
      if (at + c.utf8.size() > n) break;
      whole += c.gbk;
      at += c.utf8.size();
    }
    std::string decoded = player::Utf8ToCp936(bytes).str();
    EXPECT_EQ(bytes.size(), int32_t(n));
    EXPECT_TRUE(decoded == whole || (at < n && decoded == whole + "?"))
        << "cut at byte " << n << ": \"" << decoded << "\" for \"" << whole << "\"";
  }
  EXPECT_EQ(testing_support::LiveHeapBlocks(), blocks);
  DeleteFileW(file.c_str());
}

}  // namespace
