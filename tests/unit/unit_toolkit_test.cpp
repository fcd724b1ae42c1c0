#include "windows/unit_toolkit.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "runtime/gbk.h"
#include "tests/unit/unit_properties.h"
#include "tests/unit/units_test_support.h"
#include "units/button.h"
#include "units/common_dlg.h"
#include "units/edit_box.h"
#include "units/hyper_linker.h"
#include "units/label.h"

namespace {

using units_test::AllUnitTypes;
using units_test::RegisteredType;

TEST(UnitTypes, EveryLibraryTypeIsThere) {
  std::string names;
  for (const RegisteredType& registered : AllUnitTypes()) names += std::string(registered.type->englishName) + " ";
  EXPECT_EQ(names, "window menu EditBox Label Button CheckBox HyperLinker CommonDlg StatusBar DropTarget MediaPlay ");
}

TEST(UnitTypes, NamesAreGbkTexts) {
  struct Case {
    const win::UnitTypeDescriptor& type;
    const wchar_t* name;
  } cases[] = {{units::kEditBoxType, L"编辑框"},         {units::kLabelType, L"标签"},
               {units::kButtonType, L"按钮"},            {units::kCheckBoxType, L"选择框"},
               {units::kHyperLinkerType, L"超级链接框"}, {units::kCommonDlgType, L"通用对话框"}};
  for (const Case& c : cases) EXPECT_EQ(rt::WideFromGbk(c.type.name), c.name) << c.type.englishName;
}

TEST(UnitTypes, VisualTypesStartWithTheCommonProperties) {
  constexpr int16_t kCommonTypes[8] = {win::PROP_INT,  win::PROP_INT,  win::PROP_INT,  win::PROP_INT,
                                       win::PROP_TEXT, win::PROP_BOOL, win::PROP_BOOL, win::PROP_MOUSE_POINTER};
  for (const auto [code, type] : AllUnitTypes()) {
    if (!(type->state & win::UNIT_VISUAL_EVENTS) || type->propertyCount == 0) continue;
    for (int32_t i = 0; i < type->propertyCount; ++i) {
      const win::PropertyDescriptor& property = type->properties[i];
      EXPECT_FALSE(property.name || property.englishName || property.description || property.pickList)
          << type->englishName << " property " << i;
      if (i < 8) {
        EXPECT_EQ(property.type, kCommonTypes[i]) << type->englishName << " property " << i;
        EXPECT_EQ(property.state, win::kCommonPropertyState) << type->englishName << " property " << i;
      } else {
        EXPECT_EQ(property.state & 0xFFF0, 0x8000) << type->englishName << " property " << i;
        EXPECT_NE(win::KindOf(property.type), win::PropertyKind::Unknown) << type->englishName << " property " << i;
      }
    }
  }
}

// A type that declares properties of its own must be able to serve them:
// set, serialize and get, besides create.
TEST(UnitTypes, TypesWithPropertiesHandOutTheirOperations) {
  for (const auto [code, type] : AllUnitTypes()) {
    if (!(type->state & win::UNIT_VISUAL_EVENTS)) continue;
    EXPECT_TRUE(type->interfaceFunction(win::OP_CREATE)) << type->englishName;
    EXPECT_FALSE(type->interfaceFunction(0)) << type->englishName;
    EXPECT_FALSE(type->interfaceFunction(99)) << type->englishName;
    if (type->propertyCount <= 8) continue;
    for (int operation : {win::OP_SET_PROPERTY, win::OP_GET_ALL_PROPERTIES, win::OP_GET_PROPERTY})
      EXPECT_TRUE(type->interfaceFunction(operation)) << type->englishName << " lacks operation " << operation;
  }
}

TEST(BorderStyle, SetsOneFrameAndClearsTheOthers) {
  constexpr DWORD kEdges = WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE;
  struct Case {
    int32_t borderStyle;
    DWORD exStyle;
    DWORD style;
  } cases[] = {
      {0, 0, 0},
      {1, WS_EX_CLIENTEDGE, 0},
      {2, WS_EX_DLGMODALFRAME, 0},
      {3, WS_EX_STATICEDGE, 0},
      {4, WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME, 0},
      {5, 0, WS_BORDER},
      {6, 0, 0},
      {-1, 0, 0},
  };
  units_test::ParentWindow parent;
  HWND window = CreateWindowExW(WS_EX_STATICEDGE | WS_EX_CLIENTEDGE, L"STATIC", L"", WS_CHILD | WS_BORDER, 0, 0, 50,
                                20, parent.get(), nullptr, GetModuleHandleW(nullptr), nullptr);
  for (const Case& c : cases) {
    win::ApplyBorderStyle(window, c.borderStyle);
    EXPECT_EQ(units_test::ExStyleOf(window) & kEdges, c.exStyle) << "border style " << c.borderStyle;
    EXPECT_EQ(units_test::StyleOf(window) & WS_BORDER, c.style) << "border style " << c.borderStyle;
    win::ApplyBorderStyle(window, 4);
    win::ApplyBorderStyle(window, 5);
  }
}

TEST(UnitFont, MadeFromAStoredLogFont) {
  win::UnitFont font(units_test::StoredFont(-20, "宋体"));
  ASSERT_NE(HGDIOBJ(font.get()), GetStockObject(DEFAULT_GUI_FONT));
  LOGFONTW made{};
  ASSERT_TRUE(GetObjectW(font.get(), sizeof(made), &made));
  EXPECT_EQ(made.lfHeight, -20);
  EXPECT_EQ(made.lfCharSet, GB2312_CHARSET);
  EXPECT_STREQ(made.lfFaceName, L"宋体");
}

TEST(UnitFont, AnythingButSixtyBytesIsTheDefaultFont) {
  std::vector<uint8_t> font = units_test::StoredFont(-20);
  for (size_t size : {size_t(0), size_t(59), size_t(60), size_t(61)}) {
    font.resize(size);
    bool isDefault = HGDIOBJ(win::UnitFont(font).get()) == GetStockObject(DEFAULT_GUI_FONT);
    EXPECT_EQ(isDefault, size != 60) << size << " bytes";
  }
}

TEST(UnitFont, UnterminatedFaceNameStaysInItsField) {
  std::vector<uint8_t> stored = units_test::StoredFont(-20);
  std::fill(stored.begin() + offsetof(LOGFONTA, lfFaceName), stored.end(), 'A');
  LOGFONTW made{};
  ASSERT_TRUE(GetObjectW(win::UnitFont(stored).get(), sizeof(made), &made));
  EXPECT_EQ(std::wstring(made.lfFaceName), std::wstring(31, L'A'));
}

TEST(UnitFont, ProofMakingKeepsSizeAndFaceButNotTheCharacterSet) {
  win::UnitFont font(units_test::StoredFont(-20, "宋体"), win::FontMaking::Proof);
  LOGFONTW made{};
  ASSERT_TRUE(GetObjectW(font.get(), sizeof(made), &made));
  EXPECT_EQ(made.lfHeight, -20);
  EXPECT_EQ(made.lfCharSet, DEFAULT_CHARSET);
  EXPECT_EQ(made.lfQuality, PROOF_QUALITY);
  EXPECT_STREQ(made.lfFaceName, L"宋体");
}

void Rename(std::string& text, int flag, void* user) {
  static_cast<std::vector<std::string>*>(user)->push_back(text + "/" + std::to_string(flag));
  text = flag ? std::string(20, '\xB0') : "new";  // twenty GBK lead bytes: a cut must not split a character
}

TEST(TextVisit, VisitsTextsAndFontFacesAndKeepsTheFaceInItsField) {
  std::vector<std::string> seen;
  win::TextVisit visit(&Rename, &seen);
  std::string caption = "old";
  visit(caption);
  std::vector<uint8_t> font = units_test::StoredFont(-12, "Arial");
  visit.FontFace(font);
  std::vector<uint8_t> none;
  visit.FontFace(none);
  EXPECT_EQ(seen, (std::vector<std::string>{"old/0", "Arial/1"})) << "no face is visited without a stored font";
  EXPECT_EQ(caption, "new");
  LOGFONTA stored;
  std::memcpy(&stored, font.data(), sizeof stored);
  EXPECT_EQ(std::string(stored.lfFaceName), std::string(20, '\xB0'));
  EXPECT_EQ(stored.lfHeight, -12) << "the rest of the font is kept";
}

TEST(PropertyValues, ClampedWordReadsTheWordAsSigned) {
  EXPECT_EQ(win::ClampedWord(win::WordValue(uint32_t(-7)), 0, 5), 0);
  EXPECT_EQ(win::ClampedWord(win::WordValue(9), 0, 5), 5);
  EXPECT_EQ(win::ClampedWord(win::WordValue(3), 0, 5), 3);
}

}  // namespace
