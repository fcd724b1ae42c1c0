#include "units/unit_support.h"

#include <gtest/gtest.h>

#include "runtime/gbk.h"
#include "tests/unit/units_test_support.h"
#include "units/button.h"
#include "units/common_dlg.h"
#include "units/edit_box.h"
#include "units/hyper_linker.h"
#include "units/label.h"

namespace {

struct TypeCase {
  const char* name;
  const char* englishName;
  const wchar_t* wideName;
  const win::PropertyDescriptor* table;
  int32_t count;
  void* (*interface)(int);
};

const TypeCase kTypes[] = {
    {units::kEditBoxName, units::kEditBoxEnglishName, L"编辑框", units::kEditBoxProperties,
     units::kEditBoxPropertyCount, units::EditBoxInterface},
    {units::kLabelName, units::kLabelEnglishName, L"标签", units::kLabelProperties, units::kLabelPropertyCount,
     units::LabelInterface},
    {units::kButtonName, units::kButtonEnglishName, L"按钮", units::kButtonProperties, units::kButtonPropertyCount,
     units::ButtonInterface},
    {units::kCheckBoxName, units::kCheckBoxEnglishName, L"选择框", units::kCheckBoxProperties,
     units::kCheckBoxPropertyCount, units::CheckBoxInterface},
    {units::kHyperLinkerName, units::kHyperLinkerEnglishName, L"超级链接框", units::kHyperLinkerProperties,
     units::kHyperLinkerPropertyCount, units::HyperLinkerInterface},
    {units::kCommonDlgName, units::kCommonDlgEnglishName, L"通用对话框", units::kCommonDlgProperties,
     units::kCommonDlgPropertyCount, units::CommonDlgInterface},
};

TEST(UnitTypes, NamesAreGbkTexts) {
  for (const TypeCase& type : kTypes) EXPECT_EQ(rt::WideFromGbk(type.name), type.wideName) << type.englishName;
}

TEST(UnitTypes, PropertyTablesStartWithTheCommonProperties) {
  constexpr int16_t kCommonTypes[8] = {win::PROP_INT,  win::PROP_INT,  win::PROP_INT,  win::PROP_INT,
                                       win::PROP_TEXT, win::PROP_BOOL, win::PROP_BOOL, win::PROP_MOUSE_POINTER};
  for (const TypeCase& type : kTypes) {
    for (int32_t i = 0; i < type.count; ++i) {
      const win::PropertyDescriptor& property = type.table[i];
      EXPECT_FALSE(property.name || property.englishName || property.description || property.pickList)
          << type.englishName << " property " << i;
      if (i < 8) {
        EXPECT_EQ(property.type, kCommonTypes[i]) << type.englishName << " property " << i;
        EXPECT_EQ(property.state, win::kCommonPropertyState) << type.englishName << " property " << i;
      } else {
        EXPECT_EQ(property.state & 0xFFF0, 0x8000) << type.englishName << " property " << i;
        EXPECT_NE(win::KindOf(property.type), win::PropertyKind::Unknown) << type.englishName << " property " << i;
      }
    }
  }
}

TEST(UnitTypes, InterfaceFunctionsHandOutCreateAndSerialize) {
  for (const TypeCase& type : kTypes) {
    EXPECT_TRUE(type.interface(win::OP_CREATE)) << type.englishName;
    EXPECT_TRUE(type.interface(win::OP_GET_ALL_PROPERTIES)) << type.englishName;
    EXPECT_FALSE(type.interface(0)) << type.englishName;
    EXPECT_FALSE(type.interface(99)) << type.englishName;
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
    units::ApplyBorderStyle(window, c.borderStyle);
    EXPECT_EQ(units_test::ExStyleOf(window) & kEdges, c.exStyle) << "border style " << c.borderStyle;
    EXPECT_EQ(units_test::StyleOf(window) & WS_BORDER, c.style) << "border style " << c.borderStyle;
    units::ApplyBorderStyle(window, 4);
    units::ApplyBorderStyle(window, 5);
  }
}

TEST(UnitFont, MadeFromAStoredLogFont) {
  units::UnitFont font(units_test::StoredFont(-20, "宋体"));
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
    bool isDefault = HGDIOBJ(units::UnitFont(font).get()) == GetStockObject(DEFAULT_GUI_FONT);
    EXPECT_EQ(isDefault, size != 60) << size << " bytes";
  }
}

TEST(UnitFont, UnterminatedFaceNameStaysInItsField) {
  std::vector<uint8_t> stored = units_test::StoredFont(-20);
  std::fill(stored.begin() + offsetof(LOGFONTA, lfFaceName), stored.end(), 'A');
  LOGFONTW made{};
  ASSERT_TRUE(GetObjectW(units::UnitFont(stored).get(), sizeof(made), &made));
  EXPECT_EQ(std::wstring(made.lfFaceName), std::wstring(31, L'A'));
}

}  // namespace
