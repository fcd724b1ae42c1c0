#include "units/edit_box.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "tests/unit/units_test_support.h"

namespace {

using units_test::Blob;

// Every field different from its default.
Blob FullHead(uint32_t version) {
  Blob blob;
  blob.word(version).word(3).word(0x112233).word(0xFF000000).word(0).word(12).word(1).word(3).word(2).word(2);
  return blob;
}

std::vector<uint8_t> FullBlob(uint32_t version) {
  Blob blob = FullHead(version);
  blob.half(0xA3A3).word(2).word(1).word(-5).word(50).word(-1).word(4);
  blob.bytes(units_test::StoredFont(-16, "Arial")).text("编辑框 text");
  if (version >= 2) blob.text("A").text("option B");
  return blob;
}

TEST(EditBoxBlob, ReadsEveryField) {
  auto p = units::ReadEditBoxBlob(FullBlob(2));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->borderStyle, 3);
  EXPECT_EQ(p->textColor, 0x112233u);
  EXPECT_EQ(p->backColor, 0xFF000000u);
  EXPECT_EQ(p->hideSelection, 0);
  EXPECT_EQ(p->maxLength, 12);
  EXPECT_EQ(p->multiLine, 1);
  EXPECT_EQ(p->scrollBars, 3);
  EXPECT_EQ(p->alignment, 2);
  EXPECT_EQ(p->inputMode, 2);
  EXPECT_EQ(p->passwordChar, 0xA3A3);
  EXPECT_EQ(p->letterCase, 2);
  EXPECT_EQ(p->adjustType, 1);
  EXPECT_EQ(p->adjustMin, -5);
  EXPECT_EQ(p->adjustMax, 50);
  EXPECT_EQ(p->selectionStart, -1);
  EXPECT_EQ(p->selectionLength, 4);
  EXPECT_EQ(p->font, units_test::StoredFont(-16, "Arial"));
  EXPECT_EQ(p->content, "编辑框 text");
  EXPECT_EQ(p->textOptionA, "A");
  EXPECT_EQ(p->textOptionB, "option B");
}

TEST(EditBoxBlob, RoundTripReproducesTheNewestVersion) {
  std::vector<uint8_t> blob = FullBlob(2);
  EXPECT_EQ(units::WriteEditBoxBlob(*units::ReadEditBoxBlob(blob)), blob);
}

TEST(EditBoxBlob, OlderVersionsLackTheTextOptions) {
  for (uint32_t version : {0u, 1u}) {
    auto p = units::ReadEditBoxBlob(FullBlob(version));
    ASSERT_TRUE(p) << "version " << version;
    EXPECT_EQ(p->textOptionA, "");
    EXPECT_EQ(p->content, "编辑框 text");
    std::vector<uint8_t> newest = FullBlob(version);
    newest[0] = 2;
    newest.insert(newest.end(), 8, 0);  // two empty counted texts
    EXPECT_EQ(units::WriteEditBoxBlob(*p), newest) << "version " << version;
  }
}

TEST(EditBoxBlob, NewerVersionIsRefused) { EXPECT_FALSE(units::ReadEditBoxBlob(FullBlob(3))); }

TEST(EditBoxBlob, EmptyBlobGivesDefaults) {
  auto p = units::ReadEditBoxBlob({});
  ASSERT_TRUE(p);
  EXPECT_EQ(p->borderStyle, 1);
  EXPECT_EQ(p->backColor, 0xFFFFFFu);
  EXPECT_EQ(p->hideSelection, 1);
  EXPECT_EQ(p->passwordChar, '*');
  EXPECT_EQ(p->adjustMax, 100);
  EXPECT_EQ(p->content, "");
}

TEST(EditBoxBlob, TruncatedBlobsAreRefused) {
  units_test::ExpectPrefixesRefused(units::ReadEditBoxBlob, FullBlob(2));
  units_test::ExpectPrefixesRefused(units::ReadEditBoxBlob, FullBlob(1));
}

TEST(EditBoxBlob, CountBeyondTheBlobIsRefused) {
  std::vector<uint8_t> blob = Blob(FullHead(2)).half('*').word(0).word(0).word(0).word(100).word(0).word(0).word(0xFFFFFFFF);
  EXPECT_FALSE(units::ReadEditBoxBlob(blob));
}

struct StyleCase {
  const char* name;
  units::EditBoxProperties properties;
  DWORD present;
  DWORD absent;
};

units::EditBoxProperties With(void (*change)(units::EditBoxProperties&)) {
  units::EditBoxProperties p;
  change(p);
  return p;
}

TEST(EditBoxStyle, FollowsTheProperties) {
  const StyleCase cases[] = {
      {"single line", {}, WS_CHILD | WS_CLIPSIBLINGS | ES_AUTOHSCROLL, ES_MULTILINE | ES_NOHIDESEL | WS_VSCROLL},
      {"multi-line, no scroll bars", With([](auto& p) { p.multiLine = 1; }),
       ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, ES_AUTOHSCROLL | WS_HSCROLL | WS_VSCROLL},
      {"multi-line, horizontal", With([](auto& p) { p.multiLine = 1, p.scrollBars = 1; }),
       ES_AUTOHSCROLL | WS_HSCROLL, WS_VSCROLL},
      {"multi-line, vertical", With([](auto& p) { p.multiLine = 1, p.scrollBars = 2; }), WS_VSCROLL,
       ES_AUTOHSCROLL | WS_HSCROLL},
      {"multi-line, both", With([](auto& p) { p.multiLine = 1, p.scrollBars = 3; }),
       ES_AUTOHSCROLL | WS_HSCROLL | WS_VSCROLL, 0},
      {"scroll bars on a single line", With([](auto& p) { p.scrollBars = 3; }), ES_AUTOHSCROLL,
       WS_HSCROLL | WS_VSCROLL},
      {"selection kept", With([](auto& p) { p.hideSelection = 0; }), ES_NOHIDESEL, 0},
      {"centred", With([](auto& p) { p.alignment = 1; }), ES_CENTER, ES_RIGHT},
      {"right", With([](auto& p) { p.alignment = 2; }), ES_RIGHT, ES_CENTER},
      {"read-only", With([](auto& p) { p.inputMode = 1; }), ES_READONLY, ES_PASSWORD},
      {"password", With([](auto& p) { p.inputMode = 2; }), ES_PASSWORD, ES_READONLY},
      {"integer text", With([](auto& p) { p.inputMode = 3; }), 0, ES_READONLY | ES_PASSWORD},
      {"lower case", With([](auto& p) { p.letterCase = 1; }), ES_LOWERCASE, ES_UPPERCASE},
      {"upper case", With([](auto& p) { p.letterCase = 2; }), ES_UPPERCASE, ES_LOWERCASE},
      {"letter case out of range", With([](auto& p) { p.letterCase = 7; }), 0, ES_UPPERCASE | ES_LOWERCASE},
  };
  for (const StyleCase& c : cases) {
    DWORD style = units::EditBoxStyle(c.properties);
    EXPECT_EQ(style & c.present, c.present) << c.name << ": style " << std::hex << style;
    EXPECT_EQ(style & c.absent, 0u) << c.name << ": style " << std::hex << style;
  }
}

TEST(EditBoxSelection, CountsCharactersOfTheText) {
  struct Case {
    const char* text;
    int32_t start, length, expectedStart, expectedEnd;
  } cases[] = {
      {"hello", 1, 3, 1, 4},
      {"hello", -1, 3, 5, 5},
      {"hello", 2, -1, 0, 5},
      {"hello", -4, -7, 0, 0},
      {"hello", 3, 100, 3, 5},
      {"hello", 9, 2, 5, 5},
      {"吴a吴", 2, 1, 1, 2},  // two-byte characters count once
      {"吴a吴", 1, 2, 0, 2},  // an offset inside a character stays before it
  };
  for (const Case& c : cases) {
    units::EditSelection range = units::SelectionInText(c.text, c.start, c.length);
    EXPECT_EQ(range.start, c.expectedStart) << c.text << " " << c.start << "+" << c.length;
    EXPECT_EQ(range.end, c.expectedEnd) << c.text << " " << c.start << "+" << c.length;
  }
}

// The main window's frame box: multi-line, both scroll bars, small font.
std::vector<uint8_t> FrameBoxBlob() {
  units::EditBoxProperties p;
  p.multiLine = 1;
  p.scrollBars = 3;
  p.font = units_test::StoredFont(-3);
  return units::WriteEditBoxBlob(p);
}

// The Config window's frame-rate box.
std::vector<uint8_t> FrameRateBlob() {
  units::EditBoxProperties p;
  p.maxLength = 2;
  p.alignment = 1;
  p.inputMode = 3;
  p.adjustType = 1;
  p.adjustMin = 50;
  p.adjustMax = 1;
  p.content = "20";
  return units::WriteEditBoxBlob(p);
}

TEST(EditBoxCreate, MakesTheFrameBox) {
  units_test::ParentWindow parent;
  auto* unit = parent.Create(units::EditBoxInterface, FrameBoxBlob(), {0, 0, 605, 470}, WS_TABSTOP);
  ASSERT_TRUE(unit);
  HWND box = unit->handle();
  EXPECT_EQ(units_test::ClassOf(box), L"Edit");
  DWORD style = units_test::StyleOf(box);
  DWORD expected = WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN | WS_HSCROLL | WS_VSCROLL;
  EXPECT_EQ(style & expected, expected) << std::hex << style;
  EXPECT_FALSE(style & WS_VISIBLE);
  EXPECT_TRUE(units_test::ExStyleOf(box) & WS_EX_CLIENTEDGE);
  EXPECT_EQ(GetDlgCtrlID(box), 100);
  EXPECT_EQ(units_test::PlaceOf(box), units_test::Describe({0, 0, 605, 470}));
  EXPECT_EQ(units_test::TextOf(box), L"");
  EXPECT_FALSE(GetDlgItem(parent.get(), 104)) << "a multi-line box has no spin button";
}

TEST(EditBoxCreate, MakesTheFrameRateBoxWithItsSpinButton) {
  units_test::ParentWindow parent;
  auto* unit = parent.Create(units::EditBoxInterface, FrameRateBlob(), {88, 42, 132, 66}, WS_TABSTOP, 130);
  ASSERT_TRUE(unit);
  HWND box = unit->handle();
  EXPECT_EQ(units_test::TextOf(box), L"20");
  EXPECT_TRUE(units_test::StyleOf(box) & ES_CENTER);
  EXPECT_EQ(SendMessageW(box, EM_GETLIMITTEXT, 0, 0), 2);
  HWND spin = GetDlgItem(parent.get(), 134);
  ASSERT_TRUE(spin);
  EXPECT_EQ(units_test::ClassOf(spin), L"msctls_updown32");
  EXPECT_TRUE(units_test::ExStyleOf(spin) & WS_EX_STATICEDGE);
  int low = 0, high = 0;
  SendMessageW(spin, UDM_GETRANGE32, WPARAM(&low), LPARAM(&high));
  EXPECT_EQ(low, 1);
  EXPECT_EQ(high, 50);
  RECT boxRect;
  GetWindowRect(box, &boxRect);
  MapWindowPoints(nullptr, parent.get(), reinterpret_cast<POINT*>(&boxRect), 2);
  EXPECT_EQ(units_test::PlaceOf(spin),
            units_test::Describe({boxRect.right, boxRect.top, boxRect.right + 18, boxRect.bottom}));
  EXPECT_FALSE(units_test::StyleOf(spin) & WS_VISIBLE) << "hidden with the box";
  ShowWindow(box, SW_SHOWNA);
  EXPECT_TRUE(units_test::StyleOf(spin) & WS_VISIBLE) << "shown with the box";
  EXPECT_EQ(GetWindow(spin, GW_HWNDNEXT), box) << "directly above the box";
  ShowWindow(box, SW_HIDE);
  EXPECT_FALSE(units_test::StyleOf(spin) & WS_VISIBLE) << "hidden with the box";
  SetWindowPos(box, nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(units_test::PlaceOf(spin).substr(0, 9), "(54, 20)-") << "follows the box";
}

TEST(EditBoxCreate, DisabledBoxHasADisabledSpinButton) {
  units_test::ParentWindow parent;
  auto* unit = parent.Create(units::EditBoxInterface, FrameRateBlob(), {88, 42, 132, 66}, WS_DISABLED);
  ASSERT_TRUE(unit);
  HWND spin = GetDlgItem(parent.get(), 104);
  ASSERT_TRUE(spin);
  EXPECT_FALSE(IsWindowEnabled(spin));
  EnableWindow(unit->handle(), TRUE);
  EXPECT_TRUE(IsWindowEnabled(spin));
}

TEST(EditBoxCreate, SingleLineBoxGrowsToItsFont) {
  units::EditBoxProperties p;
  p.font = units_test::StoredFont(-40);
  units_test::ParentWindow parent;
  auto* single = parent.Create(units::EditBoxInterface, units::WriteEditBoxBlob(p), {0, 0, 100, 20});
  p.multiLine = 1;
  auto* multi = parent.Create(units::EditBoxInterface, units::WriteEditBoxBlob(p), {0, 100, 100, 120}, 0, 110);
  ASSERT_TRUE(single && multi);
  RECT rect;
  GetWindowRect(single->handle(), &rect);
  EXPECT_GE(rect.bottom - rect.top, 40);
  EXPECT_EQ(rect.right - rect.left, 100);
  GetWindowRect(multi->handle(), &rect);
  EXPECT_EQ(rect.bottom - rect.top, 20);
}

TEST(EditBoxCreate, AppliesPasswordCharacterAndSelection) {
  units::EditBoxProperties p;
  p.inputMode = 2;
  p.passwordChar = '#';
  p.content = "secret";
  p.selectionStart = 2;
  p.selectionLength = 3;
  units_test::ParentWindow parent;
  auto* unit = parent.Create(units::EditBoxInterface, units::WriteEditBoxBlob(p), {0, 0, 100, 24});
  ASSERT_TRUE(unit);
  EXPECT_EQ(SendMessageW(unit->handle(), EM_GETPASSWORDCHAR, 0, 0), L'#');
  DWORD start = 0, end = 0;
  SendMessageW(unit->handle(), EM_GETSEL, WPARAM(&start), LPARAM(&end));
  EXPECT_EQ(start, 2u);
  EXPECT_EQ(end, 5u);
}

TEST(EditBoxCreate, RefusedBlobCreatesNothing) {
  units_test::ParentWindow parent;
  EXPECT_FALSE(parent.Create(units::EditBoxInterface, FullBlob(3), {0, 0, 100, 24}));
  EXPECT_FALSE(GetWindow(parent.get(), GW_CHILD));
}

TEST(EditBoxSerialize, WritesWhatTheUserTyped) {
  units_test::ParentWindow parent;
  auto* unit = parent.Create(units::EditBoxInterface, FrameRateBlob(), {0, 0, 100, 24});
  ASSERT_TRUE(unit);
  SetWindowTextW(unit->handle(), L"吴35");
  auto p = units::ReadEditBoxBlob(units_test::Serialize(units::EditBoxInterface, unit));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->content, "吴35");
  EXPECT_EQ(p->adjustType, 1);
}

TEST(EditBoxWantsKey, OnlyEnterInAWritableMultiLineBox) {
  struct Case {
    const char* name;
    int32_t multiLine, inputMode, key;
    bool wanted;
  } cases[] = {
      {"multi-line Enter", 1, 0, VK_RETURN, true},
      {"single-line Enter", 0, 0, VK_RETURN, false},
      {"read-only Enter", 1, 1, VK_RETURN, false},
      {"multi-line Tab", 1, 0, VK_TAB, false},
  };
  auto wantsKey = reinterpret_cast<win::Operation<win::OP_WANTS_KEY>>(units::EditBoxInterface(win::OP_WANTS_KEY));
  units_test::ParentWindow parent;
  for (const Case& c : cases) {
    units::EditBoxProperties p;
    p.multiLine = c.multiLine;
    p.inputMode = c.inputMode;
    auto* unit = parent.Create(units::EditBoxInterface, units::WriteEditBoxBlob(p), {0, 0, 100, 60});
    ASSERT_TRUE(unit) << c.name;
    EXPECT_EQ(wantsKey(unit, c.key), c.wanted) << c.name;
  }
}

}  // namespace
