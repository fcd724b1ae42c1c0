// Property value conversions: by the property's declared kind, fonts by
// element, and mouse pointer data.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "runtime/heap.h"
#include "tests/unit/loaded_window.h"
#include "tests/unit/unit_properties.h"
#include "windows/font_value.h"
#include "windows/mouse_pointer.h"
#include "windows/window_unit.h"

namespace {

using namespace win;

// The window stores its own properties as it gets them, so what reads back
// is the framework's conversion alone.
class PropertyKinds : public testing_support::LoadedWindowTest {};

TEST_F(PropertyKinds, WritesAreConvertedByTheDeclaredKind) {
  ASSERT_NO_FATAL_FAILURE(LoadWith(WindowSpec{}));
  const units_test::PropertyCase cases[] = {
      {"negative pick raised to 0", WP_BORDER_STYLE, -3, 0},
      {"pick beyond its choices kept", WP_BORDER_STYLE, 7, 7},
      {"any true logical read as 1", WP_MAXIMIZE_BUTTON, 7, 1},
      {"negative integer kept", WP_HELP_CONTEXT, -5, -5},
      {"colour read as a signed word", WP_BACKGROUND_COLOR, 0xFF000000, 0xFF000000},
  };
  units_test::UnitProperties(kWindowId, 0, kWindowType).ExpectReads(cases);
}

TEST(FontValue, AngleIsTakenModulo3600) {
  LOGFONTA font = FontOrDefault({});
  for (auto [written, stored] : {std::pair{-10, 3590}, {3600, 0}, {7201, 1}, {-3600, 0}, {450, 450}}) {
    WriteFontElement(font, FONT_ANGLE, written);
    EXPECT_EQ(font.lfOrientation, stored) << written;
    EXPECT_EQ(font.lfEscapement, stored) << written;
    EXPECT_EQ(ReadFontElement(font, FONT_ANGLE), stored);
  }
}

TEST(FontValue, FaceNamesOfOneTo31CharactersElseTheDefault) {
  LOGFONTA font = FontOrDefault({});
  std::string face31(31, 'a'), face32(32, 'b');
  WriteFontElement(font, FONT_FACE, intptr_t(face31.c_str()));
  EXPECT_EQ(std::string(font.lfFaceName), face31);
  WriteFontElement(font, FONT_FACE, intptr_t(face32.c_str()));
  EXPECT_STREQ(font.lfFaceName, "宋体");
  WriteFontElement(font, FONT_FACE, intptr_t(""));
  EXPECT_STREQ(font.lfFaceName, "宋体");
  rt::HeapPtr<char> read(reinterpret_cast<char*>(intptr_t(ReadFontElement(font, FONT_FACE))));
  EXPECT_STREQ(read.get(), "宋体");
}

TEST(FontValue, FlagsAndPointSize) {
  LOGFONTA font = FontOrDefault({});
  WriteFontElement(font, FONT_BOLD, 1);
  EXPECT_EQ(font.lfWeight, FW_BOLD);
  WriteFontElement(font, FONT_BOLD, 0);
  EXPECT_EQ(font.lfWeight, 0);
  WriteFontElement(font, FONT_ITALIC, 5);
  EXPECT_EQ(font.lfItalic, 1);
  WriteFontElement(font, FONT_SIZE, 12);
  EXPECT_LT(font.lfHeight, 0);
  EXPECT_EQ(ReadFontElement(font, FONT_SIZE), 12);
  WriteFontElement(font, FONT_SIZE, -12);
  EXPECT_EQ(ReadFontElement(font, FONT_SIZE), 12) << "the size's magnitude counts";
  font.lfHeight = INT_MIN;  // stored data may hold any height
  EXPECT_GT(ReadFontElement(font, FONT_SIZE), 0);
}

TEST(FontValue, WholeFontRecords) {
  EXPECT_FALSE(FontFromRecord(nullptr)) << "null puts the unit back on the default font";
  char face[] = "Arial";
  FontRecord record{-10, 1, 0, 1, 0, 9, face};
  auto font = FontFromRecord(&record);
  ASSERT_TRUE(font);
  EXPECT_EQ(font->lfOrientation, -10) << "a whole font keeps its angle as given";
  EXPECT_EQ(font->lfWeight, FW_BOLD);
  EXPECT_EQ(font->lfStrikeOut, 1);
  EXPECT_STREQ(font->lfFaceName, "Arial");
  auto* read = reinterpret_cast<FontRecord*>(intptr_t(ReadFontElement(*font, FONT_WHOLE)));
  EXPECT_EQ(read->size, 9);
  EXPECT_STREQ(read->faceName, "Arial");
  rt::FreeMemory(read->faceName);
  rt::FreeMemory(read);
}

TEST(FontValue, ShortStoredFontMeansTheDefaultGuiFont) {
  LOGFONTA expected;
  GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof expected, &expected);
  uint8_t shortData[10] = {};
  LOGFONTA font = FontOrDefault(shortData);
  EXPECT_EQ(font.lfHeight, expected.lfHeight);
  EXPECT_EQ(font.lfWeight, expected.lfWeight);
  EXPECT_STREQ(font.lfFaceName, expected.lfFaceName);
}

std::vector<uint8_t> Word(int32_t v) {
  std::vector<uint8_t> bytes(4);
  std::memcpy(bytes.data(), &v, 4);
  return bytes;
}

TEST(MousePointer, StockIdsAreStoredAsIndexesAndReadBackAsIds) {
  EXPECT_EQ(PointerDataForStore(Word(32512)), Word(1));
  EXPECT_EQ(PointerDataForRead(Word(1)), Word(32512));
  EXPECT_EQ(PointerDataForStore(Word(3)), Word(3));
  EXPECT_EQ(PointerDataForRead(Word(0)), Word(0)) << "0 is the class cursor, no stock ID";
  EXPECT_EQ(PointerCode(std::vector<uint8_t>{5}), 5) << "shorter than a word: the first byte is the code";
  EXPECT_EQ(PointerCode({}), 0);
}

TEST(MousePointer, CursorsFromCodes) {
  EXPECT_EQ(CursorFromPointerData(Word(0)).cursor, nullptr);
  UnitCursor arrow = CursorFromPointerData(Word(1));
  EXPECT_EQ(arrow.cursor, LoadCursorW(nullptr, IDC_ARROW));
  EXPECT_FALSE(arrow.owned);
  EXPECT_EQ(CursorFromPointerData(Word(32515)).cursor, LoadCursorW(nullptr, IDC_CROSS));
  EXPECT_EQ(CursorFromPointerData(Word(99)).cursor, nullptr);
  std::vector<uint8_t> garbage = Word(-1);
  garbage.insert(garbage.end(), 30, 0xEE);
  EXPECT_EQ(CursorFromPointerData(garbage).cursor, nullptr) << "a damaged cursor file makes no cursor";
}

}  // namespace
