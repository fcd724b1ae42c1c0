#include "units/button.h"

#include <gtest/gtest.h>

#include <string_view>

#include "tests/unit/loaded_window.h"
#include "tests/unit/unit_properties.h"
#include "tests/unit/units_test_support.h"
#include "windows/window_object.h"
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

TEST(ButtonTexts, VisitorSeesCaptionAndFontFaceAndItsChangesAreKept) {
  units::ButtonProperties p = *units::ReadButtonBlob(FullButtonBlob(1));
  p.font = units_test::StoredFont(-16, "Arial");
  units_test::TextVisits visits = units_test::VisitTexts(units::ButtonInterface, units::WriteButtonBlob(p), "宋体");
  EXPECT_EQ(visits.seen, (units_test::TextVisitList{{"OK", 0}, {"Arial", 1}}));
  p.caption = "OK!";
  p.font = units_test::StoredFont(-16, "宋体");
  EXPECT_EQ(visits.blob, units::WriteButtonBlob(p));
}

TEST(CheckBoxTexts, VisitorSeesCaptionTextOptionsAndFontFace) {
  units::CheckBoxProperties p = *units::ReadCheckBoxBlob(FullCheckBoxBlob(2));
  p.font = units_test::StoredFont(-12, "Arial");
  units_test::TextVisits visits =
      units_test::VisitTexts(units::CheckBoxInterface, units::WriteCheckBoxBlob(p), "Tahoma");
  EXPECT_EQ(visits.seen, (units_test::TextVisitList{{"Use BGM", 0}, {"A", 0}, {"B", 0}, {"Arial", 1}}));
  p.caption = "Use BGM!";
  p.textOptionA = "A!";
  p.textOptionB = "B!";
  p.font = units_test::StoredFont(-12, "Tahoma");
  EXPECT_EQ(visits.blob, units::WriteCheckBoxBlob(p));
}

using testing_support::Handler;
using Bytes = std::vector<uint8_t>;

constexpr uint32_t kButtonTypeCode = 0x0001000B;
constexpr uint32_t kCheckBoxTypeCode = 0x0001000C;
constexpr uint32_t kFirstId = 0x16017001, kGoId = 0x16017002, kUseBgmId = 0x16017003;
constexpr uint32_t kVisibleTabStop = 5;

// Handlers: the "&Go" button's events 0, -7, -8 call 0, 1, 2; the check
// box's call 3, 4, 5.
constexpr int kGoClicked = 0, kGoGotFocus = 1, kGoLostFocus = 2;
constexpr int kUseBgmClicked = 3, kUseBgmGotFocus = 4, kUseBgmLostFocus = 5;
constexpr std::string_view kHandlerNames[] = {"Go clicked",      "Go got focus",      "Go lost focus",
                                              "Use BGM clicked", "Use BGM got focus", "Use BGM lost focus"};

// Three units in list order: a plain button, the "&Go" button and the
// "&Use BGM" check box, each a tab stop.
class ButtonUnits : public testing_support::LoadedWindowTest {
 protected:
  void SetUp() override {
    LoadedWindowTest::SetUp();
    units::ButtonProperties first, go;
    first.caption = "First";
    go.caption = "&Go";
    go.font = units_test::StoredFont(-16, "Arial");
    units::CheckBoxProperties useBgm;
    useBgm.caption = "&Use BGM";
    LoadWith({
        {.id = kFirstId, .type = kButtonTypeCode, .blob = units::WriteButtonBlob(first), .left = 10, .top = 10,
         .width = 80, .height = 24, .flags = kVisibleTabStop},
        {.id = kGoId, .type = kButtonTypeCode,
         .events = {{0, Handler(kGoClicked)}, {-7, Handler(kGoGotFocus)}, {-8, Handler(kGoLostFocus)}},
         .blob = units::WriteButtonBlob(go), .left = 10, .top = 40, .width = 80, .height = 24,
         .flags = kVisibleTabStop},
        {.id = kUseBgmId, .type = kCheckBoxTypeCode,
         .events = {{0, Handler(kUseBgmClicked)}, {-7, Handler(kUseBgmGotFocus)}, {-8, Handler(kUseBgmLostFocus)}},
         .blob = units::WriteCheckBoxBlob(useBgm), .left = 10, .top = 70, .width = 100, .height = 24,
         .flags = kVisibleTabStop},
    });
  }

  // Shown and active, so that the focus can move.
  void Show() {
    ShowWindow(Handle(0), SW_SHOW);
    SetForegroundWindow(Handle(0));
    PumpMessages();
  }

  // Alt+key as the message loop offers it to the window.
  bool PressAltWith(wchar_t key) {
    BYTE keys[256];
    GetKeyboardState(keys);
    BYTE alt = keys[VK_MENU];
    keys[VK_MENU] = 0x80;
    SetKeyboardState(keys);
    MSG message{GetFocus(), WM_SYSKEYDOWN, WPARAM(key), 0x20000001};
    bool consumed = win::PreTranslateThroughAncestors(message);
    keys[VK_MENU] = alt;
    SetKeyboardState(keys);
    PumpMessages();
    return consumed;
  }

  // What the check box's checked property reads inside each handler.
  void RecordCheckedInHandlers() {
    ActOn(kUseBgmClicked, [this](rt::HandlerCall&) {
      checkedInHandler_.push_back(useBgm.ReadNumber(units::CHECKBOX_CHECKED));
    });
  }

  bool Checked() const { return SendMessageW(useBgm.Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }
  static std::string CallsMade() { return CallsSeen(kHandlerNames); }

  const units_test::UnitProperties go{kWindowId, kGoId, units::kButtonType};
  const units_test::UnitProperties useBgm{kWindowId, kUseBgmId, units::kCheckBoxType};
  std::vector<int64_t> checkedInHandler_;
};

// The clamps a write applies, and the caption shown.
const units_test::PropertyCase kButtonCases[] = {
    {"button type above its range", units::BUTTON_TYPE, 5, 1},
    {"caption", units::BUTTON_CAPTION, std::string("开始"), std::string("开始")},
    {"horizontal alignment above its range", units::BUTTON_HORIZONTAL_ALIGNMENT, 9, 2},
    {"vertical alignment above its range", units::BUTTON_VERTICAL_ALIGNMENT, 9, 2},
};

const units_test::PropertyCase kCheckBoxCases[] = {
    {"flat written as any true value", units::CHECKBOX_FLAT, 7, 1},
    {"caption", units::CHECKBOX_CAPTION, std::string("使用BGM"), std::string("使用BGM")},
    {"horizontal alignment above its range", units::CHECKBOX_HORIZONTAL_ALIGNMENT, 9, 2},
    {"vertical alignment above its range", units::CHECKBOX_VERTICAL_ALIGNMENT, 9, 2},
};

TEST_F(ButtonUnits, ButtonWritesAreClampedAndTheCaptionShown) {
  go.ExpectReads(kButtonCases);
  EXPECT_EQ(units_test::TextOf(go.Handle()), L"开始");
}

TEST_F(ButtonUnits, CheckBoxWritesAreClampedAndTheCaptionShown) {
  useBgm.ExpectReads(kCheckBoxCases);
  EXPECT_EQ(units_test::TextOf(useBgm.Handle()), L"使用BGM");
}

TEST_F(ButtonUnits, ButtonWritesSetItsStyle) {
  struct Case {
    const char* name;
    int index;
    int64_t written;
    DWORD mask, style;
    bool isDefault;
  } cases[] = {
      {"button type 5", units::BUTTON_TYPE, 5, BS_TYPEMASK, BS_DEFPUSHBUTTON, true},
      {"button type -3", units::BUTTON_TYPE, -3, BS_TYPEMASK, BS_PUSHBUTTON, false},
      {"horizontal alignment 9", units::BUTTON_HORIZONTAL_ALIGNMENT, 9, BS_CENTER, BS_RIGHT, false},
      {"horizontal alignment 0", units::BUTTON_HORIZONTAL_ALIGNMENT, 0, BS_CENTER, BS_LEFT, false},
      {"vertical alignment 9", units::BUTTON_VERTICAL_ALIGNMENT, 9, BS_VCENTER, BS_BOTTOM, false},
      {"vertical alignment 0", units::BUTTON_VERTICAL_ALIGNMENT, 0, BS_VCENTER, BS_TOP, false},
  };
  auto isDefault = win::FindOperation<win::OP_IS_DEFAULT_BUTTON>(&units::kButtonType);
  HWND handle = go.Handle();
  for (const Case& c : cases) {
    go.Write(c.index, c.written);
    EXPECT_EQ(units_test::StyleOf(handle) & c.mask, c.style) << c.name;
    EXPECT_EQ(isDefault(go.Live()), c.isDefault) << c.name;
    EXPECT_EQ(units_test::StyleOf(handle) & (WS_TABSTOP | BS_MULTILINE), DWORD(WS_TABSTOP | BS_MULTILINE)) << c.name;
  }
  EXPECT_EQ(go.Handle(), handle) << "none of these re-creates the button";
}

TEST_F(ButtonUnits, CheckBoxWritesSetItsStyle) {
  struct Case {
    const char* name;
    int index;
    int32_t written;  // through operation 4 directly: 2 stays 2
    DWORD mask, style;
  } cases[] = {
      {"push-like 1", units::CHECKBOX_PUSH_LIKE, 1, BS_PUSHLIKE, BS_PUSHLIKE},
      {"push-like 2", units::CHECKBOX_PUSH_LIKE, 2, BS_PUSHLIKE, 0},
      {"flat 1", units::CHECKBOX_FLAT, 1, BS_FLAT, BS_FLAT},
      {"flat 0", units::CHECKBOX_FLAT, 0, BS_FLAT, 0},
      {"text on the left 1", units::CHECKBOX_TEXT_ON_LEFT, 1, BS_LEFTTEXT, BS_LEFTTEXT},
      {"text on the left 2", units::CHECKBOX_TEXT_ON_LEFT, 2, BS_LEFTTEXT, 0},
      {"horizontal alignment 9", units::CHECKBOX_HORIZONTAL_ALIGNMENT, 9, BS_CENTER, BS_RIGHT},
      {"horizontal alignment -1", units::CHECKBOX_HORIZONTAL_ALIGNMENT, -1, BS_CENTER, BS_LEFT},
      {"vertical alignment 9", units::CHECKBOX_VERTICAL_ALIGNMENT, 9, BS_VCENTER, BS_BOTTOM},
      {"vertical alignment -1", units::CHECKBOX_VERTICAL_ALIGNMENT, -1, BS_VCENTER, BS_TOP},
  };
  HWND handle = useBgm.Handle();
  for (const Case& c : cases) {
    EXPECT_FALSE(useBgm.SetWord(c.index, c.written)) << c.name;
    EXPECT_EQ(units_test::StyleOf(handle) & c.mask, c.style) << c.name;
    EXPECT_EQ(units_test::StyleOf(handle) & BS_TYPEMASK, DWORD(BS_AUTOCHECKBOX)) << c.name;
  }
}

TEST_F(ButtonUnits, CheckedWrittenTwoShowsUnchecked) {
  useBgm.SetWord(units::CHECKBOX_CHECKED, 1);
  EXPECT_TRUE(Checked());
  useBgm.SetWord(units::CHECKBOX_CHECKED, 2);
  EXPECT_FALSE(Checked()) << "only the value 1 checks the box";
  EXPECT_EQ(useBgm.ReadNumber(units::CHECKBOX_CHECKED), 0);
}

TEST_F(ButtonUnits, ReadingCheckedAfterAClickGivesTheNewState) {
  for (int64_t expected : {1, 0, 1}) {
    SendMessageW(useBgm.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(useBgm.ReadNumber(units::CHECKBOX_CHECKED), expected);
  }
  EXPECT_EQ(units::ReadCheckBoxBlob(units_test::Serialize(units::CheckBoxInterface, useBgm.Live()))->checked, 1);
}

TEST_F(ButtonUnits, ClickRaisesEventZeroOnce) {
  Show();
  SendMessageW(go.Handle(), BM_CLICK, 0, 0);
  PumpMessages();
  EXPECT_EQ(CallsMade(), "Go got focus, Go clicked");
}

TEST_F(ButtonUnits, CheckBoxClickIsReportedAfterTheStateChanged) {
  Show();
  SetFocus(useBgm.Handle());
  Calls().clear();
  RecordCheckedInHandlers();
  SendMessageW(useBgm.Handle(), BM_CLICK, 0, 0);
  SendMessageW(useBgm.Handle(), BM_CLICK, 0, 0);
  PumpMessages();
  EXPECT_EQ(CallsMade(), "Use BGM clicked, Use BGM clicked");
  EXPECT_EQ(checkedInHandler_, (std::vector<int64_t>{1, 0}));
}

TEST_F(ButtonUnits, FocusMovesRaiseTheirEvents) {
  Show();
  SetFocus(go.Handle());
  SetFocus(useBgm.Handle());
  SetFocus(Handle(kFirstId));
  EXPECT_EQ(CallsMade(), "Go got focus, Go lost focus, Use BGM got focus, Use BGM lost focus");
}

TEST_F(ButtonUnits, AltMnemonicTogglesTheCheckBoxOnceAndRaisesEventZeroOnce) {
  Show();
  SetFocus(Handle(kFirstId));
  RecordCheckedInHandlers();
  EXPECT_TRUE(PressAltWith(L'U'));
  EXPECT_TRUE(Checked());
  EXPECT_EQ(CallsMade(), "Use BGM clicked");
  EXPECT_EQ(checkedInHandler_, (std::vector<int64_t>{1}));
  EXPECT_EQ(GetFocus(), Handle(kFirstId));
}

TEST_F(ButtonUnits, AltMnemonicRaisesTheButtonsEventZeroOnceWithoutMovingTheFocus) {
  Show();
  SetFocus(Handle(kFirstId));
  EXPECT_TRUE(PressAltWith(L'G'));
  EXPECT_EQ(CallsMade(), "Go clicked");
  EXPECT_EQ(GetFocus(), Handle(kFirstId));
}

TEST_F(ButtonUnits, PictureWriteRecreatesTheButtonInPlace) {
  Show();
  SetFocus(go.Handle());
  Calls().clear();
  HWND old = go.Handle();
  std::string place = units_test::PlaceOf(old);
  go.Write(units::BUTTON_PICTURE, Bytes{'B', 'M', 2, 3});
  HWND now = go.Handle();
  ASSERT_NE(now, old);
  EXPECT_FALSE(IsWindow(old));
  EXPECT_EQ(units_test::PlaceOf(now), place);
  EXPECT_EQ(GetWindow(now, GW_HWNDPREV), Handle(kFirstId));
  EXPECT_EQ(GetWindow(now, GW_HWNDNEXT), useBgm.Handle());
  EXPECT_EQ(GetFocus(), now);
  EXPECT_EQ(units_test::StyleOf(now) & (WS_TABSTOP | WS_VISIBLE), DWORD(WS_TABSTOP | WS_VISIBLE));
  EXPECT_EQ(units_test::TextOf(now), L"&Go");
  EXPECT_EQ(go.ReadBytes(units::BUTTON_PICTURE), (Bytes{'B', 'M', 2, 3}));
  EXPECT_EQ(go.ReadFont(units::BUTTON_FONT), (units_test::FontData{"Arial", 12}));
  EXPECT_EQ(CallsMade(), "") << "no handler runs while the button is re-created";
  SendMessageW(now, BM_CLICK, 0, 0);
  EXPECT_EQ(CallsMade(), "Go clicked") << "the new button raises the events";
}

TEST_F(ButtonUnits, CheckBoxPictureWriteKeepsTheCheckMark) {
  SendMessageW(useBgm.Handle(), BM_CLICK, 0, 0);
  HWND old = useBgm.Handle();
  useBgm.Write(units::CHECKBOX_PICTURE, Bytes{'G', 'I', 'F'});
  EXPECT_NE(useBgm.Handle(), old);
  EXPECT_TRUE(Checked()) << "the user's click survives re-creation";
}

TEST_F(ButtonUnits, FontWritesApplyAtOnce) {
  auto faceOf = [](HWND control) {
    LOGFONTW font{};
    GetObjectW(HGDIOBJ(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(font), &font);
    return std::wstring(font.lfFaceName);
  };
  go.Write(units::BUTTON_FONT, units_test::FontData{"Tahoma", 11});
  EXPECT_EQ(faceOf(go.Handle()), L"Tahoma");
  go.Write(units::BUTTON_FONT, 0);  // the null font record
  EXPECT_EQ(HGDIOBJ(SendMessageW(go.Handle(), WM_GETFONT, 0, 0)), GetStockObject(DEFAULT_GUI_FONT));
  useBgm.Write(units::CHECKBOX_FONT, units_test::FontData{"Arial", 11});
  EXPECT_EQ(faceOf(useBgm.Handle()), L"Arial");
}

TEST_F(ButtonUnits, BackgroundColourWriteGivesTheBoxANewBrush) {
  useBgm.Write(units::CHECKBOX_BACK_COLOR, int64_t(RGB(0, 0, 200)));
  useBgm.Write(units::CHECKBOX_TEXT_COLOR, int64_t(RGB(200, 0, 0)));
  HDC dc = GetDC(useBgm.Handle());
  auto brush = HBRUSH(SendMessageW(Handle(0), WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(useBgm.Handle())));
  EXPECT_EQ(GetTextColor(dc), RGB(200, 0, 0));
  LOGBRUSH fill{};
  ASSERT_TRUE(GetObjectW(brush, sizeof(fill), &fill));
  EXPECT_EQ(fill.lbColor, RGB(0, 0, 200));
  ReleaseDC(useBgm.Handle(), dc);
}

}  // namespace
