#include "units/edit_box.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string_view>

#include "runtime/conversions.h"
#include "runtime/heap.h"
#include "tests/unit/loaded_window.h"
#include "tests/unit/unit_properties.h"
#include "tests/unit/units_test_support.h"
#include "windows/events.h"
#include "windows/font_value.h"

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
      {"\xFF" "a", 1, 1, 1, 2},  // 0xFF is a character of its own, not a lead byte
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

// ---- A box on a loaded window ----------------------------------------------------

constexpr uint32_t kEditBoxCode = 0x00010005;

// The events a box raises, bound to recording handlers 0..3.
constexpr std::string_view kEventNames[] = {"changed", "spin", "got focus", "lost focus"};
const std::vector<std::pair<int32_t, uint32_t>> kBoxEvents = {{units::EE_CHANGED, testing_support::Handler(0)},
                                                                {units::EE_SPIN, testing_support::Handler(1)},
                                                                {win::EV_GOT_FOCUS, testing_support::Handler(2)},
                                                                {win::EV_LOST_FOCUS, testing_support::Handler(3)}};

// A box whose events are recorded, or one without bindings.
testing_support::UnitSpec BoxSpec(uint32_t id, const units::EditBoxProperties& p, RECT rect, bool bound = true) {
  testing_support::UnitSpec declaration{id, kEditBoxCode, 0, bound ? kBoxEvents : decltype(kBoxEvents){}, "",
                                 units::WriteEditBoxBlob(p)};
  declaration.left = rect.left, declaration.top = rect.top, declaration.width = rect.right - rect.left, declaration.height = rect.bottom - rect.top;
  declaration.flags = win::RECORD_VISIBLE | win::RECORD_TABSTOP;
  return declaration;
}

class EditBoxLive : public testing_support::LoadedWindowTest {
 protected:
  static constexpr uint32_t kBox = 0x16010001;
  static constexpr uint32_t kOther = 0x16010002;

  // The box under test and a second one that holds the focus, on a shown window.
  void LoadBox(const units::EditBoxProperties& p, RECT rect = {10, 10, 130, 34}) {
    LoadWith({BoxSpec(kBox, p, rect), BoxSpec(kOther, {}, {10, 200, 130, 224}, false)});
    ShowWindow(Handle(0), SW_SHOW);
    Focus(kOther);
    PumpMessages();
    ASSERT_EQ(GetFocus(), Handle(kOther));
    Calls().clear();
  }

  static HWND Box() { return Handle(kBox); }
  static void Focus(uint32_t unit) { SetFocus(Handle(unit)); }
  static void Type(std::wstring_view text) {
    for (wchar_t c : text) SendMessageW(Box(), WM_CHAR, c, 1);
  }

  // The box's events since the last clear, as "changed, spin(1), ...".
  static std::string EventsSeen() { return CallsSeen(kEventNames); }

  static std::pair<DWORD, DWORD> ControlSelection() {
    DWORD start = 0, end = 0;
    SendMessageW(Box(), EM_GETSEL, WPARAM(&start), LPARAM(&end));
    return {start, end};
  }

  const units_test::UnitProperties box{kWindowId, kBox, units::kEditBoxType};
};

TEST_F(EditBoxLive, TypingThreeHundredInByteModeLeavesTheMaximum) {
  units::EditBoxProperties p;
  p.inputMode = units::kInputByte;
  ASSERT_NO_FATAL_FAILURE(LoadBox(p));
  Focus(kBox);
  ASSERT_EQ(GetFocus(), Box());
  Type(L"300");
  EXPECT_EQ(units_test::TextOf(Box()), L"300") << "normalised only when the box loses the focus";
  Focus(kOther);
  EXPECT_EQ(units_test::TextOf(Box()), L"255");
  EXPECT_EQ(ControlSelection(), std::make_pair(DWORD(3), DWORD(3))) << "the caret stays at the old selection end";
  EXPECT_EQ(EventsSeen(), "got focus, changed, changed, changed, changed, lost focus");
}

TEST_F(EditBoxLive, TypingZeroInByteModeLeavesAnEmptyBox) {
  units::EditBoxProperties p;
  p.inputMode = units::kInputByte;
  ASSERT_NO_FATAL_FAILURE(LoadBox(p));
  Focus(kBox);
  Type(L"0");
  Focus(kOther);
  EXPECT_EQ(units_test::TextOf(Box()), L"");
  EXPECT_EQ(EventsSeen(), "got focus, changed, changed, lost focus");
}

TEST_F(EditBoxLive, LeavingAnAlreadyNormalTextChangesNothing) {
  units::EditBoxProperties p;
  p.inputMode = units::kInputByte;
  p.content = "42";
  ASSERT_NO_FATAL_FAILURE(LoadBox(p));
  Focus(kBox);
  Focus(kOther);
  EXPECT_EQ(EventsSeen(), "got focus, lost focus");
}

TEST_F(EditBoxLive, EachModeDropsTheCharactersItRefuses) {
  struct Case {
    const char* name;
    int32_t mode;
    std::wstring kept;
  } cases[] = {
      {"normal", units::kInputNormal, L"-1.5x吴 +"},
      {"read-only", units::kInputReadOnly, L""},
      {"password", units::kInputPassword, L"-1.5x吴 +"},
      {"integer text", units::kInputIntegerText, L"-15"},
      {"decimal text", units::kInputDecimalText, L"-1.5"},
      {"byte", units::kInputByte, L"15"},
      {"short", units::kInputShort, L"-15"},
      {"integer", units::kInputInteger, L"-15"},
      {"long", units::kInputLong, L"-15"},
      {"float", units::kInputFloat, L"-1.5"},
      {"double", units::kInputDouble, L"-1.5"},
      {"date-time", units::kInputDateTime, L"-1.5x吴 +"},
  };
  ASSERT_NO_FATAL_FAILURE(LoadBox({}));
  for (const Case& c : cases) {
    box.Write(units::EP_INPUT_MODE, c.mode);
    box.Write(units::EP_CONTENT, "");
    Type(L"-1.5x吴 +");
    EXPECT_EQ(units_test::TextOf(Box()), c.kept) << c.name;
  }
}

TEST_F(EditBoxLive, ControlCharactersAlwaysPass) {
  units::EditBoxProperties p;
  p.inputMode = units::kInputByte;
  ASSERT_NO_FATAL_FAILURE(LoadBox(p));
  Type(L"123\b\b");
  EXPECT_EQ(units_test::TextOf(Box()), L"1") << "backspace reached the control";
}

struct NormalisationCase {
  int32_t mode;
  const char* typed;
  const char* kept;
};

// Modes 5..11 with out-of-range and garbage input; the others keep the text.
constexpr NormalisationCase kNormalisation[] = {
    {units::kInputByte, "300", "255"},
    {units::kInputByte, "-5", ""},
    {units::kInputByte, "  42abc", "42"},
    {units::kInputByte, "abc", ""},
    {units::kInputByte, "\xA3\xB1\xA3\xB2", "12"},  // full-width digits
    {units::kInputByte, "99999999999999999999999", "255"},
    {units::kInputShort, "40000", "32767"},
    {units::kInputShort, "-40000", "-32768"},
    {units::kInputShort, "+7", "7"},
    {units::kInputShort, "-", ""},
    {units::kInputInteger, "3000000000", "2147483647"},
    {units::kInputInteger, "-3000000000", "-2147483648"},
    {units::kInputInteger, "12.9", "12"},
    {units::kInputInteger, "0000", ""},
    {units::kInputLong, "99999999999999999999", "9223372036854775807"},
    {units::kInputLong, "-99999999999999999999", "-9223372036854775808"},
    {units::kInputLong, "-9223372036854775808", "-9223372036854775808"},
    {units::kInputLong, "0012", "12"},
    {units::kInputFloat, "1.5", "1.5"},
    {units::kInputFloat, "0.1", "0.1"},
    {units::kInputFloat, ".5", "0.5"},
    {units::kInputFloat, "3.14159265358979", "3.1415927"},
    {units::kInputFloat, "1e39", "3.4028235e+38"},
    {units::kInputFloat, "-1e39", "-3.4028235e+38"},
    {units::kInputFloat, "1e-50", ""},
    {units::kInputFloat, "-0", ""},
    {units::kInputFloat, "1.5e", "1.5"},
    {units::kInputFloat, "nan", ""},
    {units::kInputFloat, "inf", ""},
    {units::kInputFloat, "0x10", ""},
    {units::kInputDouble, "0.1", "0.1"},
    {units::kInputDouble, "-2.5e-3", "-0.0025"},
    {units::kInputDouble, "1e309", "1.7976931348623157e+308"},
    {units::kInputDouble, "3.14159265358979", "3.14159265358979"},
    {units::kInputDouble, "--1", ""},
    {units::kInputDateTime, "2024-1-5", "2024年1月5日"},
    {units::kInputDateTime, "2024/01/05 12:30", "2024年1月5日12时30分"},
    {units::kInputDateTime, "2024.1.5 7:00:09", "2024年1月5日7时0分9秒"},
    {units::kInputDateTime, "2024年1月5日12时30分45秒", "2024年1月5日12时30分45秒"},
    {units::kInputDateTime, "2024年1月5日12时", "2024年1月5日12时"},
    {units::kInputDateTime, "\xA3\xB1\xA3\xB9\xA3\xB9\xA3\xB9\xA3\xAD\xA3\xB1\xA3\xB2\xA3\xAD\xA3\xB3\xA3\xB1", "1999年12月31日"},
    {units::kInputDateTime, "1899-12-29 06:00", "1899年12月29日6时"},
    {units::kInputDateTime, "1899-12-30 12:00", "1899年12月30日12时"},
    {units::kInputDateTime, "1899-12-30", ""},  // the zero date
    {units::kInputDateTime, "100-1-1", "100年1月1日"},
    {units::kInputDateTime, "9999-12-30 23:59:59", "9999年12月30日23时59分59秒"},
    {units::kInputDateTime, "9999-12-31 12:00", "9999年12月31日"},  // the runtime's last date-time
    {units::kInputDateTime, "2024-02-30", ""},
    {units::kInputDateTime, "2023-02-29", ""},
    {units::kInputDateTime, "2024-02-29", "2024年2月29日"},
    {units::kInputDateTime, "99-1-1", ""},
    {units::kInputDateTime, "2024-1-5 24:00", ""},
    {units::kInputDateTime, "2024-1-5 junk", ""},
    {units::kInputDateTime, "hello", ""},
    {units::kInputNormal, " 0 ", " 0 "},
    {units::kInputIntegerText, "abc", "abc"},
    {units::kInputDecimalText, "0", "0"},
};

TEST(EditBoxInput, NormalisationPerMode) {
  for (const NormalisationCase& c : kNormalisation)
    EXPECT_EQ(units::NormalisedInput(c.mode, c.typed), c.kept) << "mode " << c.mode << ": \"" << c.typed << '"';
}

TEST(EditBoxInput, DatesReadBackAsTheRuntimeShowsThem) {
  for (double days : {1.0, -1.25, 45296.5, 2958465.0, -657434.0, 36525.999988425926}) {
    rt::HeapPtr<char> shown(rt::ValueToText(rt::MakeDateTime(days)));
    std::optional<double> read = units::ReadDateTime(shown.get());
    ASSERT_TRUE(read) << shown.get();
    EXPECT_NEAR(*read, days, 0.5 / 86400) << shown.get();
  }
}

TEST_F(EditBoxLive, LosingTheFocusNormalisesEveryMode) {
  ASSERT_NO_FATAL_FAILURE(LoadBox({}));
  for (const NormalisationCase& c : kNormalisation) {
    box.Write(units::EP_INPUT_MODE, c.mode);
    box.Write(units::EP_CONTENT, c.typed);
    Focus(kBox);
    Focus(kOther);
    EXPECT_EQ(box.ReadText(units::EP_CONTENT), c.kept) << "mode " << c.mode << ": \"" << c.typed << '"';
  }
}

// ---- The spin button -----------------------------------------------------------

class EditBoxSpin : public EditBoxLive {
 protected:
  void LoadSpin(int32_t adjustType, const char* content) {
    units::EditBoxProperties p;
    p.adjustType = adjustType;
    p.adjustMin = 50;  // the range is the smaller to the larger
    p.adjustMax = 1;
    p.content = content;
    LoadBox(p);
  }
  static HWND Spin() { return GetDlgItem(Handle(0), GetDlgCtrlID(Box()) + 4); }
  static int SpinPosition() { return int(SendMessageW(Spin(), UDM_GETPOS32, 0, 0)); }
  // A click on the upper (up) or lower (down) arrow.
  static void Press(bool up) {
    RECT r;
    GetClientRect(Spin(), &r);
    LPARAM at = MAKELPARAM(r.right / 2, up ? r.bottom / 4 : r.bottom * 3 / 4);
    SendMessageW(Spin(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(Spin(), WM_LBUTTONUP, 0, at);
  }
};

TEST_F(EditBoxSpin, StepsWrapAroundTheRange) {
  ASSERT_NO_FATAL_FAILURE(LoadSpin(units::kSpinSteps, "50"));
  ASSERT_TRUE(Spin());
  int position = SpinPosition();
  Press(true);
  EXPECT_EQ(units_test::TextOf(Box()), L"1");
  EXPECT_EQ(ControlSelection(), std::make_pair(DWORD(0), DWORD(1))) << "all selected";
  EXPECT_EQ(GetFocus(), Box());
  EXPECT_EQ(EventsSeen(), "changed, got focus");
  Calls().clear();
  Press(false);
  EXPECT_EQ(units_test::TextOf(Box()), L"50");
  Press(false);
  EXPECT_EQ(units_test::TextOf(Box()), L"49");
  EXPECT_EQ(EventsSeen(), "changed, changed");
  EXPECT_EQ(SpinPosition(), position) << "the spin control kept its own position";
}

TEST_F(EditBoxSpin, StepsLandingOutsideTheRangeWrap) {
  struct Case {
    const char* text;
    bool up;
    const wchar_t* expected;
  } cases[] = {
      {"200", false, L"1"},
      {"200", true, L"1"},
      {"-7", true, L"50"},
      {"-7", false, L"50"},
      {"junk", true, L"1"},
      {"2147483647", true, L"1"},
      {"-99999999999999999999", false, L"50"},
      {"25", true, L"26"},
      {"25", false, L"24"},
  };
  ASSERT_NO_FATAL_FAILURE(LoadSpin(units::kSpinSteps, ""));
  for (const Case& c : cases) {
    box.Write(units::EP_CONTENT, c.text);
    Press(c.up);
    EXPECT_EQ(units_test::TextOf(Box()), c.expected) << c.text << (c.up ? " up" : " down");
  }
}

TEST_F(EditBoxSpin, EventTypeRaisesEventOneAndChangesNothing) {
  ASSERT_NO_FATAL_FAILURE(LoadSpin(units::kSpinRaisesEvent, "7"));
  int position = SpinPosition();
  Press(true);
  Press(false);
  EXPECT_EQ(EventsSeen(), "spin(1), spin(-1)");
  EXPECT_EQ(units_test::TextOf(Box()), L"7");
  EXPECT_EQ(SpinPosition(), position);
}

TEST_F(EditBoxSpin, HiddenOrDisabledBoxIgnoresItsSpinButton) {
  ASSERT_NO_FATAL_FAILURE(LoadSpin(units::kSpinSteps, "7"));
  ShowWindow(Box(), SW_HIDE);
  Press(true);
  ShowWindow(Box(), SW_SHOW);
  EnableWindow(Box(), FALSE);
  EnableWindow(Spin(), TRUE);  // as if the control had been reached anyway
  Press(true);
  EXPECT_EQ(units_test::TextOf(Box()), L"7");
  EXPECT_EQ(EventsSeen(), "");
}

TEST_F(EditBoxSpin, BorderStyleSetsTheSpinEdge) {
  ASSERT_NO_FATAL_FAILURE(LoadSpin(units::kSpinSteps, "7"));
  const std::pair<int32_t, bool> cases[] = {{2, false}, {3, true}, {4, false}, {0, true}, {5, false}, {1, true}};
  for (auto [border, edged] : cases) {
    box.Write(units::EP_BORDER_STYLE, border);
    EXPECT_EQ((units_test::ExStyleOf(Spin()) & WS_EX_STATICEDGE) != 0, edged) << "border style " << border;
  }
}

TEST_F(EditBoxSpin, RangeFollowsTheAdjustProperties) {
  ASSERT_NO_FATAL_FAILURE(LoadSpin(units::kSpinSteps, "7"));
  box.Write(units::EP_ADJUST_MIN, 30);
  box.Write(units::EP_ADJUST_MAX, -4);
  int low = 0, high = 0;
  SendMessageW(Spin(), UDM_GETRANGE32, WPARAM(&low), LPARAM(&high));
  EXPECT_EQ(std::make_pair(low, high), std::make_pair(-4, 30));
  box.Write(units::EP_CONTENT, "30");
  Press(true);
  EXPECT_EQ(units_test::TextOf(Box()), L"-4");
}

// ---- Content writes and events ---------------------------------------------------

TEST_F(EditBoxLive, EveryContentWriteRaisesOneEvent) {
  for (int32_t multiLine : {0, 1}) {
    units::EditBoxProperties p;
    p.multiLine = multiLine;
    ASSERT_NO_FATAL_FAILURE(LoadBox(p));
    box.Write(units::EP_CONTENT, "frame");
    box.Write(units::EP_CONTENT, "frame");
    box.Write(units::EP_CONTENT, "");
    EXPECT_EQ(EventsSeen(), "changed, changed, changed") << "multi-line " << multiLine;
    EXPECT_EQ(box.ReadText(units::EP_CONTENT), "");
    win::DestroyAllLoadedWindows();
    PumpMessages();
  }
}

TEST_F(EditBoxLive, NoEventWhileEventsAreSuppressed) {
  units::EditBoxProperties p;
  p.content = "loaded";
  ASSERT_NO_FATAL_FAILURE(LoadBox(p));
  EXPECT_EQ(EventsSeen(), "") << "loading raised events";
  win::SuppressEvents();  // as while a window loads
  box.Write(units::EP_CONTENT, "written");
  win::ResumeEvents();
  EXPECT_EQ(EventsSeen(), "");
  EXPECT_EQ(units_test::TextOf(Box()), L"written");
}

TEST_F(EditBoxLive, ReplacingTheSelectionRaisesOneEvent) {
  ASSERT_NO_FATAL_FAILURE(LoadBox({}));
  box.Write(units::EP_CONTENT, "吴abc");
  box.Write(units::EP_SELECTION_START, 2);
  box.Write(units::EP_SELECTION_LENGTH, 2);
  EXPECT_EQ(box.ReadText(units::EP_SELECTED_TEXT), "ab");
  Calls().clear();
  box.Write(units::EP_SELECTED_TEXT, "吴");
  EXPECT_EQ(box.ReadText(units::EP_CONTENT), "吴吴c");
  EXPECT_EQ(EventsSeen(), "changed");
}

// ---- Selection -----------------------------------------------------------------

TEST_F(EditBoxLive, SelectionStartMinusOnePutsTheCaretAtTheEnd) {
  ASSERT_NO_FATAL_FAILURE(LoadBox({}));
  box.Write(units::EP_CONTENT, "吴a吴");
  box.Write(units::EP_SELECTION_LENGTH, 2);
  box.Write(units::EP_SELECTION_START, -1);
  EXPECT_EQ(ControlSelection(), std::make_pair(DWORD(3), DWORD(3)));
  EXPECT_EQ(box.ReadNumber(units::EP_SELECTION_START), 5);
  EXPECT_EQ(box.ReadNumber(units::EP_SELECTION_LENGTH), 0);
}

TEST_F(EditBoxLive, SelectionCountsBytesOutsideAndCharactersInside) {
  struct Case {
    const char* name;
    int32_t start, length;
    DWORD controlStart, controlEnd;
    int64_t readStart, readLength;
    const char* selected;
  } cases[] = {
      {"after a two-byte character", 2, 3, 1, 3, 2, 3, "a吴"},
      {"length -1 selects all", 4, -1, 0, 4, 0, 6, "吴a吴b"},
      {"negative length", 3, -3, 2, 2, 3, 0, ""},
      {"negative start", -2, 1, 0, 0, 0, 0, ""},  // one byte into 吴 stays before it
      {"inside a character", 1, 2, 0, 1, 0, 2, "吴"},
      {"past the end", 40, 2, 4, 4, 6, 0, ""},
  };
  ASSERT_NO_FATAL_FAILURE(LoadBox({}));
  box.Write(units::EP_CONTENT, "吴a吴b");
  for (const Case& c : cases) {
    box.Write(units::EP_SELECTION_LENGTH, 0);
    box.Write(units::EP_SELECTION_START, c.start);
    box.Write(units::EP_SELECTION_LENGTH, c.length);
    EXPECT_EQ(ControlSelection(), std::make_pair(c.controlStart, c.controlEnd)) << c.name;
    EXPECT_EQ(box.ReadNumber(units::EP_SELECTION_START), c.readStart) << c.name;
    EXPECT_EQ(box.ReadNumber(units::EP_SELECTION_LENGTH), c.readLength) << c.name;
    EXPECT_EQ(box.ReadText(units::EP_SELECTED_TEXT), c.selected) << c.name;
  }
}

TEST_F(EditBoxLive, SelectionMadeInTheControlReadsAsBytes) {
  ASSERT_NO_FATAL_FAILURE(LoadBox({}));
  box.Write(units::EP_CONTENT, "吴a吴b");
  SendMessageW(Box(), EM_SETSEL, 1, 3);
  EXPECT_EQ(box.ReadNumber(units::EP_SELECTION_START), 2);
  EXPECT_EQ(box.ReadNumber(units::EP_SELECTION_LENGTH), 3);
}

// ---- Fonts and the centred line ----------------------------------------------------

struct FontMetrics {
  int lineHeight;  // "W"
  int needed;      // "吴" and the edges
};

FontMetrics MetricsOf(HWND box) {
  auto font = reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0));
  HDC screen = GetDC(nullptr);
  HGDIOBJ previous = SelectObject(screen, font);
  SIZE w{}, wu{};
  GetTextExtentPoint32W(screen, L"W", 1, &w);
  GetTextExtentPoint32W(screen, L"吴", 1, &wu);
  SelectObject(screen, previous);
  ReleaseDC(nullptr, screen);
  return {w.cy, wu.cy + 2 * GetSystemMetrics(SM_CYEDGE)};
}

// The client rectangle in window coordinates.
RECT ClientInWindow(HWND window) {
  RECT client, outer;
  GetClientRect(window, &client);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  GetWindowRect(window, &outer);
  OffsetRect(&client, -outer.left, -outer.top);
  return client;
}

int WindowHeight(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  return r.bottom - r.top;
}

// A single line's client area: one line of "W", centred, inside the frame.
void ExpectCentredLine(HWND box, const char* name) {
  FontMetrics m = MetricsOf(box);
  RECT client = ClientInWindow(box);
  int height = WindowHeight(box), frame = 2 * GetSystemMetrics(SM_CYEDGE);
  EXPECT_EQ(client.bottom - client.top, std::min(m.lineHeight, height - frame)) << name;
  EXPECT_GE(client.top, frame / 2) << name;
  EXPECT_LE(client.bottom, height - frame / 2) << name;
  EXPECT_LE(std::abs(client.top - (height - client.bottom)), 1) << name << ": " << units_test::Describe(client);
}

TEST_F(EditBoxLive, LargeFontGrowsASingleLineBox) {
  ASSERT_NO_FATAL_FAILURE(LoadBox({}, {10, 10, 130, 30}));
  box.Write(units::EP_FONT, 36, win::FONT_SIZE);
  EXPECT_EQ(box.ReadNumber(units::EP_FONT, win::FONT_SIZE), 36);
  FontMetrics m = MetricsOf(Box());
  ASSERT_GT(m.needed, 20) << "the font is taller than the box was";
  EXPECT_EQ(WindowHeight(Box()), m.needed);
  EXPECT_EQ(units_test::PlaceOf(Box()), "(10, 10)-(130, " + std::to_string(10 + m.needed) + ")");
  ExpectCentredLine(Box(), "after the font");
}

TEST_F(EditBoxLive, MultiLineBoxKeepsItsSizeAndWholeClientArea) {
  units::EditBoxProperties p;
  p.multiLine = 1;
  ASSERT_NO_FATAL_FAILURE(LoadBox(p, {10, 10, 130, 30}));
  box.Write(units::EP_FONT, 36, win::FONT_SIZE);
  EXPECT_EQ(WindowHeight(Box()), 20);
  RECT client = ClientInWindow(Box());
  EXPECT_EQ(client.bottom - client.top, 20 - 2 * GetSystemMetrics(SM_CYEDGE));
}

TEST_F(EditBoxLive, TallSingleLineBoxCentresItsLineAndOwnsTheBand) {
  ASSERT_NO_FATAL_FAILURE(LoadBox({}, {10, 10, 130, 110}));
  ExpectCentredLine(Box(), "default font");
  RECT window;
  GetWindowRect(Box(), &window);
  RECT client = ClientInWindow(Box());
  auto hit = [&](int x, int y) { return SendMessageW(Box(), WM_NCHITTEST, 0, MAKELPARAM(window.left + x, window.top + y)); };
  EXPECT_EQ(hit(20, client.top - 3), HTBORDER) << "above the line";
  EXPECT_EQ(hit(20, client.bottom + 3), HTBORDER) << "below the line";
  EXPECT_EQ(hit(20, (client.top + client.bottom) / 2), HTCLIENT) << "on the line";
  box.Write(units::EP_FONT, 20, win::FONT_SIZE);
  EXPECT_EQ(WindowHeight(Box()), 100) << "a tall enough box keeps its height";
  ExpectCentredLine(Box(), "larger font");
}

// ---- Re-creation -------------------------------------------------------------------

TEST_F(EditBoxLive, MultiLineChangeRecreatesTheBoxInPlace) {
  constexpr uint32_t kAbove = 0x16010001, kBoxed = 0x16010002, kBelow = 0x16010003;
  units::EditBoxProperties p;
  p.content = "吴 text";
  p.inputMode = units::kInputByte;
  ASSERT_NO_FATAL_FAILURE(LoadWith({BoxSpec(kAbove, {}, {0, 0, 100, 24}, false), BoxSpec(kBoxed, p, {20, 40, 220, 64}),
                                    BoxSpec(kBelow, {}, {0, 80, 100, 104}, false)}));
  ShowWindow(Handle(0), SW_SHOW);
  HWND old = Handle(kBoxed);
  SetFocus(old);
  ASSERT_EQ(GetFocus(), old);
  SendMessageW(old, EM_SETSEL, 1, 3);
  Calls().clear();
  std::string place = units_test::PlaceOf(old);
  int controlId = GetDlgCtrlID(old);
  const units_test::UnitProperties boxed{kWindowId, kBoxed, units::kEditBoxType};
  boxed.Write(units::EP_MULTI_LINE, 1);
  HWND box = Handle(kBoxed);
  ASSERT_NE(box, old);
  EXPECT_FALSE(IsWindow(old));
  EXPECT_TRUE(units_test::StyleOf(box) & ES_MULTILINE);
  EXPECT_TRUE(units_test::StyleOf(box) & WS_TABSTOP);
  EXPECT_TRUE(units_test::StyleOf(box) & WS_VISIBLE);
  EXPECT_EQ(units_test::TextOf(box), L"吴 text") << "normalised only when the focus leaves the new box";
  EXPECT_EQ(units_test::PlaceOf(box), place);
  EXPECT_EQ(GetDlgCtrlID(box), controlId);
  EXPECT_EQ(GetWindow(box, GW_HWNDPREV), Handle(kAbove));
  EXPECT_EQ(GetWindow(box, GW_HWNDNEXT), Handle(kBelow));
  EXPECT_EQ(GetFocus(), box);
  DWORD start = 0, end = 0;
  SendMessageW(box, EM_GETSEL, WPARAM(&start), LPARAM(&end));
  EXPECT_EQ(std::make_pair(start, end), std::make_pair(DWORD(1), DWORD(3))) << "the selection came along";
  EXPECT_EQ(boxed.ReadNumber(units::EP_INPUT_MODE), units::kInputByte);
  EXPECT_EQ(EventsSeen(), "") << "re-creation raises no events";
}

// ---- Every property through the framework ---------------------------------------

// In order: the multi-line writes re-create the box, which must keep the
// others.
TEST_F(EditBoxLive, NumberPropertiesAreClampedAndKeptAcrossReCreation) {
  const units_test::PropertyCase cases[] = {
      {"border style above 5", units::EP_BORDER_STYLE, 7, 5},
      {"selection kept", units::EP_HIDE_SELECTION, 0, 0},
      {"maximum length negative", units::EP_MAX_LENGTH, -5, 0},
      {"maximum length", units::EP_MAX_LENGTH, 12, 12},
      {"multi-line", units::EP_MULTI_LINE, 1, 1},
      {"scroll bars above 3", units::EP_SCROLL_BARS, 9, 3},
      {"alignment above 2", units::EP_ALIGNMENT, 5, 2},
      {"input mode above 11", units::EP_INPUT_MODE, 20, 11},
      {"letter case above 2", units::EP_LETTER_CASE, 3, 2},
      {"adjust type above 2", units::EP_ADJUST_TYPE, 4, 2},
      {"negative adjust minimum, kept", units::EP_ADJUST_MIN, -5, -5},
      {"largest adjust maximum", units::EP_ADJUST_MAX, INT32_MAX, INT32_MAX},
      {"single line again", units::EP_MULTI_LINE, 0, 0},
  };
  ASSERT_NO_FATAL_FAILURE(LoadBox({}));
  box.ExpectReads(cases);
  EXPECT_EQ(SendMessageW(Box(), EM_GETLIMITTEXT, 0, 0), 12);
  EXPECT_TRUE(units_test::StyleOf(Box()) & ES_NOHIDESEL) << "re-created without hiding the selection";
  EXPECT_TRUE(units_test::StyleOf(Box()) & ES_RIGHT);
  EXPECT_TRUE(units_test::StyleOf(Box()) & ES_UPPERCASE);
  EXPECT_TRUE(GetDlgItem(Handle(0), GetDlgCtrlID(Box()) + 4)) << "re-created with its spin button";
}

// The content comes back from the control through the platform's texts; the
// password character keeps one character.
TEST_F(EditBoxLive, TextPropertiesReadBack) {
  const units_test::PropertyCase cases[] = {
      {"content", units::EP_CONTENT, std::string("吴 text"), std::string("吴 text")},
      {"password character", units::EP_PASSWORD_CHAR, std::string("吴x"), std::string("吴")},
      {"one-byte password character", units::EP_PASSWORD_CHAR, std::string("#!"), std::string("#")},
      {"0xFF is a whole character", units::EP_PASSWORD_CHAR, std::string("\xFF" "a"), std::string("\xFF")},
      {"no password character", units::EP_PASSWORD_CHAR, std::string(""), std::string("")},
      {"empty content", units::EP_CONTENT, std::string(""), std::string("")},
  };
  ASSERT_NO_FATAL_FAILURE(LoadBox({}));
  box.ExpectReads(cases);
}

TEST_F(EditBoxLive, InputModeSwitchesPasswordAndReadOnlyLive) {
  struct Case {
    int32_t mode;
    wchar_t passwordChar;
    bool readOnly;
  } cases[] = {{2, L'吴', false}, {1, 0, true}, {0, 0, false}, {11, 0, false}, {2, L'吴', false}};
  ASSERT_NO_FATAL_FAILURE(LoadBox({}));
  box.Write(units::EP_PASSWORD_CHAR, "吴");
  HWND control = Box();
  for (const Case& c : cases) {
    box.Write(units::EP_INPUT_MODE, c.mode);
    EXPECT_EQ(Box(), control) << "mode " << c.mode << " re-created the box";
    EXPECT_EQ(SendMessageW(control, EM_GETPASSWORDCHAR, 0, 0), c.passwordChar) << "mode " << c.mode;
    EXPECT_EQ((units_test::StyleOf(control) & ES_READONLY) != 0, c.readOnly) << "mode " << c.mode;
  }
  box.Write(units::EP_PASSWORD_CHAR, "#");
  EXPECT_EQ(SendMessageW(control, EM_GETPASSWORDCHAR, 0, 0), L'#') << "applied at once in password mode";
}

TEST_F(EditBoxLive, FontReadsAsTheStoredLogFontOrNone) {
  ASSERT_NO_FATAL_FAILURE(LoadBox({}));
  win::PropertyValue value = box.Get(units::EP_FONT);
  EXPECT_EQ(value.pointer, nullptr);
  EXPECT_EQ(value.length, 0u);
  box.Write(units::EP_FONT, "Arial", win::FONT_FACE);
  value = box.Get(units::EP_FONT);
  ASSERT_EQ(value.length, 60u);
  EXPECT_STREQ(static_cast<const LOGFONTA*>(value.pointer)->lfFaceName, "Arial");
  box.Write(units::EP_FONT, 0);  // the null font record
  EXPECT_EQ(box.Get(units::EP_FONT).length, 0u) << "a null font puts the box back on the default font";
  EXPECT_EQ(SendMessageW(Box(), WM_GETFONT, 0, 0), LRESULT(GetStockObject(DEFAULT_GUI_FONT)));
}

// ---- Operation 9 ---------------------------------------------------------------------

TEST(EditBoxTexts, VisitorSeesEveryTextAndTheFontFace) {
  units::EditBoxProperties p;
  p.content = "内容";
  p.textOptionA = "A";
  p.textOptionB = "B";
  p.font = units_test::StoredFont(-12, "Arial");
  units_test::TextVisits visits = units_test::VisitTexts(units::EditBoxInterface, units::WriteEditBoxBlob(p), "Tahoma");
  EXPECT_EQ(visits.seen, (units_test::TextVisitList{{"内容", 0}, {"A", 0}, {"B", 0}, {"Arial", 1}}));
  p.content = "内容!";
  p.textOptionA = "A!";
  p.textOptionB = "B!";
  p.font = units_test::StoredFont(-12, "Tahoma");
  EXPECT_EQ(visits.blob, units::WriteEditBoxBlob(p));
  EXPECT_FALSE(units_test::VisitTexts(units::EditBoxInterface, FullBlob(3), "Tahoma").blob)
      << "a refused blob gives nothing";
}

}  // namespace
