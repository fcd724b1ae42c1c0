#include "units/common_dlg.h"

#include <gtest/gtest.h>

#include "tests/unit/units_test_support.h"

namespace {

using units_test::Blob;

// The Config window's CommonDlg1: an open-file dialog for the background track.
std::vector<uint8_t> SelectBgmBlob(uint32_t version = 1) {
  Blob blob;
  blob.word(version).word(0).word(0).word(0).word(1).word(1).word(1).word(0).word(0x80);
  blob.word(0).word(0).word(0).word(0).word(0).word(0).word(0);
  blob.text("Select BGM File").text("").text("MP3(*.mp3)|*.mp3").text("").text("").text("").text("");
  return blob;
}

TEST(CommonDlgBlob, ReadsThePlayersDialog) {
  std::vector<uint8_t> blob = SelectBgmBlob();
  ASSERT_EQ(blob.size(), 123u);
  auto p = units::ReadCommonDlgBlob(blob);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->dialogKind, 0);
  EXPECT_EQ(p->title, "Select BGM File");
  EXPECT_EQ(p->filter, "MP3(*.mp3)|*.mp3");
  EXPECT_EQ(p->fileName, "");
  EXPECT_EQ(p->createPrompt, 0);
  EXPECT_EQ(p->fileMustExist, 1);
  EXPECT_EQ(p->overwritePrompt, 1);
  EXPECT_EQ(p->pathMustExist, 1);
  EXPECT_EQ(p->keepDirectory, 0);
  EXPECT_EQ(p->fontColor, 0x80u);
  EXPECT_EQ(units::WriteCommonDlgBlob(*p), blob);
}

TEST(CommonDlgBlob, EveryFieldHasItsPlace) {
  std::vector<uint8_t> blob = Blob()
                                  .word(1)
                                  .word(2)
                                  .word(3)
                                  .word(4)
                                  .word(5)
                                  .word(6)
                                  .word(7)
                                  .word(8)
                                  .word(9)
                                  .word(10)
                                  .word(11)
                                  .word(12)
                                  .word(13)
                                  .word(14)
                                  .word(15)
                                  .word(16)
                                  .text("title")
                                  .text("file")
                                  .text("filter")
                                  .text("directory")
                                  .text("ext")
                                  .text("宋体")
                                  .text("help");
  auto p = units::ReadCommonDlgBlob(blob);
  ASSERT_TRUE(p);
  const int32_t words[] = {p->dialogKind, p->filterIndex, p->createPrompt, p->fileMustExist, p->overwritePrompt,
                           p->pathMustExist, p->keepDirectory, int32_t(p->fontColor), p->bold, p->italic,
                           p->strikeout, p->underline, p->fontSize, p->helpCommand, p->helpTopic};
  for (int32_t i = 0; i < int32_t(std::size(words)); ++i) EXPECT_EQ(words[i], i + 2) << "word " << i + 1;
  const std::string texts[] = {p->title, p->fileName, p->filter, p->initialDirectory, p->defaultExtension,
                               p->fontName, p->helpFile};
  const char* expected[] = {"title", "file", "filter", "directory", "ext", "宋体", "help"};
  for (size_t i = 0; i < std::size(texts); ++i) EXPECT_EQ(texts[i], expected[i]);
  EXPECT_EQ(units::WriteCommonDlgBlob(*p), blob);
}

TEST(CommonDlgBlob, OlderVersionIsWrittenAsTheNewest) {
  std::vector<uint8_t> old = SelectBgmBlob(0);
  EXPECT_EQ(units::WriteCommonDlgBlob(*units::ReadCommonDlgBlob(old)), SelectBgmBlob());
}

TEST(CommonDlgBlob, NewerVersionIsRefused) { EXPECT_FALSE(units::ReadCommonDlgBlob(SelectBgmBlob(2))); }

TEST(CommonDlgBlob, EmptyBlobGivesDefaults) {
  auto p = units::ReadCommonDlgBlob({});
  ASSERT_TRUE(p);
  EXPECT_EQ(p->dialogKind, 0);
  EXPECT_EQ(p->createPrompt, 0);
  EXPECT_EQ(p->fileMustExist, 1);
  EXPECT_EQ(p->overwritePrompt, 1);
  EXPECT_EQ(p->pathMustExist, 1);
  EXPECT_EQ(p->keepDirectory, 0);
  EXPECT_EQ(p->filter, "");
}

TEST(CommonDlgBlob, TruncatedBlobsAreRefused) {
  units_test::ExpectPrefixesRefused(units::ReadCommonDlgBlob, SelectBgmBlob());
}

TEST(CommonDlgCreate, MakesAHiddenWindowOfItsOwn) {
  units_test::ParentWindow parent;
  auto* unit = parent.Create(units::CommonDlgInterface, SelectBgmBlob(), {240, 8, 266, 34});
  ASSERT_TRUE(unit);
  HWND window = unit->handle();
  EXPECT_EQ(units_test::ClassOf(window), L"_QX_CommonDlg");
  EXPECT_EQ(units_test::StyleOf(window), DWORD(WS_CHILD | WS_CLIPSIBLINGS));
  EXPECT_EQ(units_test::PlaceOf(window), units_test::Describe({240, 8, 266, 34}));
  EXPECT_EQ(GetDlgCtrlID(window), 100);
  EXPECT_EQ(units_test::Serialize(units::CommonDlgInterface, unit), SelectBgmBlob());
}

TEST(CommonDlgCreate, DesignModeFramesTheWindow) {
  units_test::ParentWindow parent;
  auto* unit = parent.Create(units::CommonDlgInterface, SelectBgmBlob(), {0, 0, 26, 26}, 0, 100, true);
  ASSERT_TRUE(unit);
  EXPECT_TRUE(units_test::StyleOf(unit->handle()) & WS_BORDER);
}

TEST(CommonDlgCreate, RefusedBlobCreatesNothing) {
  units_test::ParentWindow parent;
  EXPECT_FALSE(parent.Create(units::CommonDlgInterface, SelectBgmBlob(2), {0, 0, 26, 26}));
}

}  // namespace
