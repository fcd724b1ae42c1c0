#include "windows/menu.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "player/form_data.h"
#include "player_forms.h"
#include "runtime/gbk.h"
#include "unit_list_builder.h"
#include "windows/registry.h"

namespace {

using namespace testing_support;
using namespace win;

struct Item {
  std::wstring text;
  UINT id;
  UINT state;
  bool popup;
};

std::vector<Item> Items(HMENU menu) {
  std::vector<Item> items;
  for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
    wchar_t text[128] = {};
    MENUITEMINFOW info{sizeof info, MIIM_STRING | MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_FTYPE};
    info.dwTypeData = text;
    info.cch = 128;
    GetMenuItemInfoW(menu, UINT(i), TRUE, &info);
    items.push_back({text, info.wID, info.fState & (MFS_GRAYED | MFS_CHECKED), info.hSubMenu != nullptr});
  }
  return items;
}

std::vector<ACCEL> Accelerators(HACCEL table) {
  std::vector<ACCEL> entries(size_t(CopyAcceleratorTableW(table, nullptr, 0)));
  CopyAcceleratorTableW(table, entries.data(), int(entries.size()));
  return entries;
}

TEST(MenuBuilding, MainWindowMenuFromTheCompiledForm) {
  auto templates = ReadFormData({player::kFormData, player::kFormDataSize}, testing_support::PlayerHandlerCount());
  ASSERT_TRUE(templates);
  BuiltMenu built = BuildMenu((*templates)[0].units);
  ASSERT_NE(built.bar, nullptr);
  auto bar = Items(built.bar);
  ASSERT_EQ(bar.size(), 3u);
  EXPECT_EQ(bar[0].text, L"File");
  EXPECT_EQ(bar[1].text, L"Setting");
  EXPECT_EQ(bar[2].text, L"Help");
  auto file = Items(GetSubMenu(built.bar, 0));
  ASSERT_EQ(file.size(), 4u);
  EXPECT_EQ(file[0].text, L"Open\tCtrl+O");
  EXPECT_EQ(file[0].id, 20001u);
  EXPECT_EQ(file[0].state, 0u);
  EXPECT_EQ(file[1].text, L"Start\tCtrl+Z");
  EXPECT_EQ(file[1].state, UINT(MF_GRAYED));
  EXPECT_EQ(file[2].text, L"Pause/Continue\tCtrl+X");
  EXPECT_EQ(file[3].text, L"Stop\tCtrl+C");
  EXPECT_EQ(file[3].id, 20004u);
  EXPECT_EQ(Items(GetSubMenu(built.bar, 1))[0].text, L"Font\tCtrl+F");
  EXPECT_EQ(Items(GetSubMenu(built.bar, 1))[0].id, 20006u);
  EXPECT_EQ(Items(GetSubMenu(built.bar, 2))[0].text, L"About");
  EXPECT_EQ(Items(GetSubMenu(built.bar, 2))[0].id, 20008u);
  auto accelerators = Accelerators(built.accelerators);
  ASSERT_EQ(accelerators.size(), 5u);
  EXPECT_EQ(accelerators[0].key, 'O');
  EXPECT_EQ(accelerators[0].cmd, 20001);
  EXPECT_EQ(accelerators[0].fVirt, FCONTROL | FVIRTKEY | FNOINVERT);
  EXPECT_EQ(accelerators[4].key, 'F');
  EXPECT_EQ(accelerators[4].cmd, 20006);
  DestroyAcceleratorTable(built.accelerators);
  DestroyMenu(built.bar);
}

TEST(MenuBuilding, HiddenItemsAndTheirSubmenusAreLeftOut) {
  UnitList units = MakeUnitList({
      {0x06010000, UnitRecord({0x06010000, 0x00010001})},
      {0x26010001, MenuRecord({0x26010001, 0, "Shown"})},
      {0x26010002, MenuRecord({0x26010002, 1, "One", MENU_CHECKED, 27})},
      {0x26010003, MenuRecord({0x26010003, 0, "Hidden", MENU_HIDDEN})},
      {0x26010004, MenuRecord({0x26010004, 1, "Child of hidden", 0, 1})},
      {0x26010005, MenuRecord({0x26010005, 0, "Last"})},
      {0x26010006, MenuRecord({0x26010006, 1, "-"})},
      {0x26010007, MenuRecord({0x26010007, 1, "Grey", MENU_DISABLED, 76})},
  });
  BuiltMenu built = BuildMenu(units);
  auto bar = Items(built.bar);
  ASSERT_EQ(bar.size(), 2u);
  EXPECT_EQ(bar[1].text, L"Last");
  auto first = Items(GetSubMenu(built.bar, 0));
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(first[0].text, L"One\tF1");
  EXPECT_EQ(first[0].state, UINT(MF_CHECKED));
  auto last = Items(GetSubMenu(built.bar, 1));
  ASSERT_EQ(last.size(), 2u);
  EXPECT_EQ(last[1].text, L"Grey\tDel");
  EXPECT_EQ(last[1].id, 20006u) << "positions count hidden records too";
  EXPECT_EQ(last[1].state, UINT(MF_GRAYED));
  auto accelerators = Accelerators(built.accelerators);
  ASSERT_EQ(accelerators.size(), 2u) << "the hidden item's Ctrl+A is not collected";
  EXPECT_EQ(accelerators[1].key, VK_DELETE);
  DestroyAcceleratorTable(built.accelerators);
  DestroyMenu(built.bar);
}

TEST(MenuBuilding, NoMenuRecordsNoBarNoTable) {
  UnitList units = MakeUnitList({{0x06010000, UnitRecord({0x06010000, 0x00010001})}});
  BuiltMenu built = BuildMenu(units);
  EXPECT_EQ(built.bar, nullptr);
  EXPECT_EQ(built.accelerators, nullptr);
}

TEST(Shortcuts, TableNamesAndKeys) {
  struct Case {
    uint32_t index;
    const char* name;
    BYTE flags;
    WORD key;
  } cases[] = {{1, "Ctrl+A", FCONTROL, 'A'},          {26, "Ctrl+Z", FCONTROL, 'Z'},
               {27, "F1", 0, VK_F1},                   {38, "F12", 0, VK_F12},
               {39, "Ctrl+F1", FCONTROL, VK_F1},       {51, "Shift+F1", FSHIFT, VK_F1},
               {74, "Ctrl+Shift+F12", FCONTROL | FSHIFT, VK_F12}, {75, "Ins", 0, VK_INSERT},
               {76, "Del", 0, VK_DELETE}};
  for (const Case& c : cases) {
    const Shortcut* s = FindShortcut(c.index);
    ASSERT_NE(s, nullptr) << c.index;
    EXPECT_STREQ(s->name, c.name);
    EXPECT_EQ(s->virtualFlags, c.flags) << c.name;
    EXPECT_EQ(s->key, c.key) << c.name;
  }
  EXPECT_EQ(FindShortcut(0), nullptr);
  EXPECT_EQ(FindShortcut(77), nullptr);
}

}  // namespace
