#include "units/button.h"

#include <gtest/gtest.h>

#include "tests/unit/units_test_support.h"
#include "windows/window_unit.h"

namespace {

using units_test::Blob;

std::vector<uint8_t> FullButtonBlob(uint32_t version) {
  return Blob().word(version).word(1).word(2).word(0).bytes({'B', 'M'}).bytes(units_test::StoredFont(-16)).text("OK");
}

std::vector<uint8_t> FullCheckBoxBlob(uint32_t version) {
  Blob blob;
  blob.word(version).word(1).word(2).word(1).word(2).word(0).word(0x0000FF).word(0x00FF00).word(1);
  blob.bytes({}).bytes(units_test::StoredFont(-12)).text("Use BGM");
  if (version >= 2) blob.text("A").text("B");
  return blob;
}

TEST(ButtonBlob, ReadsEveryField) {
  auto p = units::ReadButtonBlob(FullButtonBlob(1));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->buttonType, 1);
  EXPECT_EQ(p->horizontalAlignment, 2);
  EXPECT_EQ(p->verticalAlignment, 0);
  EXPECT_EQ(p->picture, (std::vector<uint8_t>{'B', 'M'}));
  EXPECT_EQ(p->font, units_test::StoredFont(-16));
  EXPECT_EQ(p->caption, "OK");
}

TEST(ButtonBlob, RoundTripReproducesTheNewestVersion) {
  std::vector<uint8_t> blob = FullButtonBlob(1);
  EXPECT_EQ(units::WriteButtonBlob(*units::ReadButtonBlob(blob)), blob);
  std::vector<uint8_t> old = FullButtonBlob(0);
  old[0] = 1;
  EXPECT_EQ(units::WriteButtonBlob(*units::ReadButtonBlob(FullButtonBlob(0))), old);
}

TEST(ButtonBlob, NewerVersionIsRefused) { EXPECT_FALSE(units::ReadButtonBlob(FullButtonBlob(2))); }

TEST(ButtonBlob, EmptyBlobGivesDefaults) {
  auto p = units::ReadButtonBlob({});
  ASSERT_TRUE(p);
  EXPECT_EQ(p->caption, "按钮");
  EXPECT_EQ(p->buttonType, 0);
  EXPECT_EQ(p->horizontalAlignment, 1);
  EXPECT_EQ(p->verticalAlignment, 1);
}

TEST(ButtonBlob, TruncatedBlobsAreRefused) {
  units_test::ExpectPrefixesRefused(units::ReadButtonBlob, FullButtonBlob(1));
}

TEST(CheckBoxBlob, ReadsEveryField) {
  auto p = units::ReadCheckBoxBlob(FullCheckBoxBlob(2));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->pushLike, 1);
  EXPECT_EQ(p->flat, 2);
  EXPECT_EQ(p->textOnLeft, 1);
  EXPECT_EQ(p->horizontalAlignment, 2);
  EXPECT_EQ(p->verticalAlignment, 0);
  EXPECT_EQ(p->textColor, 0x0000FFu);
  EXPECT_EQ(p->backColor, 0x00FF00u);
  EXPECT_EQ(p->checked, 1);
  EXPECT_TRUE(p->picture.empty());
  EXPECT_EQ(p->caption, "Use BGM");
  EXPECT_EQ(p->textOptionA, "A");
}

TEST(CheckBoxBlob, RoundTripReproducesTheNewestVersion) {
  std::vector<uint8_t> blob = FullCheckBoxBlob(2);
  EXPECT_EQ(units::WriteCheckBoxBlob(*units::ReadCheckBoxBlob(blob)), blob);
}

TEST(CheckBoxBlob, OlderVersionsLackTheTextOptions) {
  for (uint32_t version : {0u, 1u}) {
    auto p = units::ReadCheckBoxBlob(FullCheckBoxBlob(version));
    ASSERT_TRUE(p) << "version " << version;
    EXPECT_EQ(p->caption, "Use BGM");
    EXPECT_EQ(p->textOptionA, "");
  }
}

TEST(CheckBoxBlob, NewerVersionIsRefused) { EXPECT_FALSE(units::ReadCheckBoxBlob(FullCheckBoxBlob(3))); }

TEST(CheckBoxBlob, EmptyBlobGivesDefaults) {
  auto p = units::ReadCheckBoxBlob({});
  ASSERT_TRUE(p);
  EXPECT_EQ(p->caption, "选择框");
  EXPECT_EQ(p->backColor, 0xFF000000u);
  EXPECT_EQ(p->verticalAlignment, 1);
  EXPECT_EQ(p->checked, 0);
}

TEST(CheckBoxBlob, TruncatedBlobsAreRefused) {
  units_test::ExpectPrefixesRefused(units::ReadCheckBoxBlob, FullCheckBoxBlob(2));
}

TEST(ButtonStyle, FollowsTheProperties) {
  struct Case {
    int32_t type, horizontal, vertical;
    DWORD expected;
  } cases[] = {
      {0, 1, 1, BS_PUSHBUTTON | BS_CENTER | BS_VCENTER},
      {1, 0, 0, BS_DEFPUSHBUTTON | BS_LEFT | BS_TOP},
      {2, 2, 2, BS_PUSHBUTTON | BS_RIGHT | BS_BOTTOM},
      {0, 9, -1, BS_PUSHBUTTON},
  };
  for (const Case& c : cases) {
    units::ButtonProperties p;
    p.buttonType = c.type;
    p.horizontalAlignment = c.horizontal;
    p.verticalAlignment = c.vertical;
    EXPECT_EQ(units::ButtonStyle(p), WS_CHILD | WS_CLIPSIBLINGS | BS_MULTILINE | c.expected)
        << c.type << "/" << c.horizontal << "/" << c.vertical;
  }
}

TEST(CheckBoxStyle, SwitchesOnlyWithTheValueOne) {
  struct Case {
    int32_t pushLike, flat, textOnLeft;
    DWORD expected;
  } cases[] = {
      {0, 0, 0, 0},
      {1, 0, 0, BS_PUSHLIKE},
      {0, 1, 0, BS_FLAT},
      {0, 0, 1, BS_LEFTTEXT},
      {2, 2, 2, 0},
  };
  for (const Case& c : cases) {
    units::CheckBoxProperties p;
    p.pushLike = c.pushLike;
    p.flat = c.flat;
    p.textOnLeft = c.textOnLeft;
    EXPECT_EQ(units::CheckBoxStyle(p),
              WS_CHILD | WS_CLIPSIBLINGS | BS_MULTILINE | BS_AUTOCHECKBOX | BS_LEFT | BS_VCENTER | c.expected)
        << c.pushLike << "/" << c.flat << "/" << c.textOnLeft;
  }
}

TEST(ButtonCreate, MakesTheFontWindowsOkButton) {
  units::ButtonProperties p;
  p.caption = "OK";
  p.font = units_test::StoredFont(-16);
  units_test::ParentWindow parent;
  auto* unit = parent.Create(units::ButtonInterface, units::WriteButtonBlob(p), {118, 10, 166, 42}, WS_TABSTOP);
  ASSERT_TRUE(unit);
  HWND button = unit->handle();
  EXPECT_EQ(units_test::ClassOf(button), L"Button");
  EXPECT_EQ(units_test::TextOf(button), L"OK");
  EXPECT_EQ(units_test::PlaceOf(button), units_test::Describe({118, 10, 166, 42}));
  EXPECT_EQ(units_test::StyleOf(button) & (WS_VISIBLE | WS_TABSTOP | BS_MULTILINE), DWORD(WS_TABSTOP | BS_MULTILINE));
  LOGFONTW font{};
  GetObjectW(HGDIOBJ(SendMessageW(button, WM_GETFONT, 0, 0)), sizeof(font), &font);
  EXPECT_EQ(font.lfHeight, -16);
}

TEST(ButtonCreate, WithoutAStoredFontUsesTheDefaultGuiFont) {
  units_test::ParentWindow parent;
  auto* unit = parent.Create(units::ButtonInterface, {}, {0, 0, 48, 32});
  ASSERT_TRUE(unit);
  EXPECT_EQ(HGDIOBJ(SendMessageW(unit->handle(), WM_GETFONT, 0, 0)), GetStockObject(DEFAULT_GUI_FONT));
  EXPECT_EQ(units_test::TextOf(unit->handle()), L"按钮");
}

TEST(ButtonCreate, DefaultButtonIsReported) {
  auto isDefault = reinterpret_cast<win::Operation<win::OP_IS_DEFAULT_BUTTON>>(units::ButtonInterface(win::OP_IS_DEFAULT_BUTTON));
  ASSERT_TRUE(isDefault);
  units_test::ParentWindow parent;
  for (int32_t type : {0, 1}) {
    units::ButtonProperties p;
    p.buttonType = type;
    auto* unit = parent.Create(units::ButtonInterface, units::WriteButtonBlob(p), {0, 0, 48, 32});
    ASSERT_TRUE(unit);
    EXPECT_EQ(isDefault(unit), type == 1) << "button type " << type;
  }
}

TEST(CheckBoxCreate, MakesTheUseBgmBox) {
  units::CheckBoxProperties p;
  p.caption = "Use BGM";
  units_test::ParentWindow parent;
  auto* unit = parent.Create(units::CheckBoxInterface, units::WriteCheckBoxBlob(p), {162, 46, 233, 70}, WS_TABSTOP);
  ASSERT_TRUE(unit);
  HWND box = unit->handle();
  EXPECT_EQ(units_test::ClassOf(box), L"Button");
  EXPECT_EQ(units_test::TextOf(box), L"Use BGM");
  EXPECT_EQ(units_test::StyleOf(box) & BS_TYPEMASK, DWORD(BS_AUTOCHECKBOX));
  EXPECT_EQ(units_test::PlaceOf(box), units_test::Describe({162, 46, 233, 70}));
  EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST(CheckBoxCreate, OnlyTheValueOneChecks) {
  units_test::ParentWindow parent;
  for (int32_t checked : {0, 1, 2}) {
    units::CheckBoxProperties p;
    p.checked = checked;
    auto* unit = parent.Create(units::CheckBoxInterface, units::WriteCheckBoxBlob(p), {0, 0, 71, 24});
    ASSERT_TRUE(unit);
    EXPECT_EQ(SendMessageW(unit->handle(), BM_GETCHECK, 0, 0), checked == 1 ? BST_CHECKED : BST_UNCHECKED)
        << "checked " << checked;
  }
}

TEST(CheckBoxCreate, AnswersItsColorsWhenTheWindowAsks) {
  units::CheckBoxProperties p;
  p.textColor = RGB(200, 0, 0);
  p.backColor = RGB(0, 0, 200);
  units_test::ParentWindow parent;
  auto* unit = parent.Create(units::CheckBoxInterface, units::WriteCheckBoxBlob(p), {0, 0, 71, 24});
  ASSERT_TRUE(unit);
  HDC dc = GetDC(unit->handle());
  auto brush = HBRUSH(SendMessageW(unit->handle(), win::kReflectedMessageBase + WM_CTLCOLORSTATIC, WPARAM(dc),
                                   LPARAM(unit->handle())));
  EXPECT_EQ(GetTextColor(dc), RGB(200, 0, 0));
  EXPECT_EQ(GetBkColor(dc), RGB(0, 0, 200));
  LOGBRUSH fill{};
  ASSERT_TRUE(GetObjectW(brush, sizeof(fill), &fill));
  EXPECT_EQ(fill.lbColor, RGB(0, 0, 200));
  ReleaseDC(unit->handle(), dc);
}

TEST(CheckBoxSerialize, WritesTheStateTheUserLeft) {
  units_test::ParentWindow parent;
  auto* unit = parent.Create(units::CheckBoxInterface, {}, {0, 0, 71, 24});
  ASSERT_TRUE(unit);
  SendMessageW(unit->handle(), BM_SETCHECK, BST_CHECKED, 0);
  auto p = units::ReadCheckBoxBlob(units_test::Serialize(units::CheckBoxInterface, unit));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->checked, 1);
  EXPECT_EQ(p->caption, "选择框");
}

}  // namespace
