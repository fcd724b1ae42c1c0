#include "libraries/extended_ui/status_bar.h"

#include <objbase.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "loaded_window.h"
#include "unit_properties.h"
#include "units_test_support.h"

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "windows/blob.h"
#include "windows/font_value.h"
#include "windows/window_unit.h"

namespace {

using Bytes = std::vector<uint8_t>;
using lib::extended_ui::kStatusBarType;

constexpr int kControlId = 120;

struct PartSpec {
  int32_t width;
  uint32_t border;
  int32_t icon;
  std::string text;
  std::string tip;
};

Bytes PartsData(const std::vector<PartSpec>& parts) {
  win::BlobWriter writer;
  writer.word(uint32_t(parts.size()));
  for (const PartSpec& part : parts) {
    writer.word(uint32_t(part.width));
    writer.word(part.border);
    writer.word(uint32_t(part.icon));
    writer.terminatedText(part.text);
    writer.terminatedText(part.tip);
  }
  return writer.take();
}

struct BlobFields {
  uint32_t version = 1;
  uint32_t backColour = 0xFF000000;
  uint32_t alignment = 0;
  uint32_t sizeGrip = 0;
  Bytes font;
  Bytes icons;
  Bytes parts;
};

Bytes Blob(const BlobFields& fields) {
  win::BlobWriter writer;
  writer.word(fields.version);
  writer.word(fields.backColour);
  writer.word(fields.alignment);
  writer.word(fields.sizeGrip);
  writer.countedBytes(fields.font);
  writer.countedBytes(fields.icons);
  writer.countedBytes(fields.parts);
  return writer.take();
}

// The main window's status bar: "Wait" and "Item", no borders, no icons.
Bytes PlayerParts() { return PartsData({{185, SBT_NOBORDERS, -1, "Wait", ""}, {429, SBT_NOBORDERS, -1, "Item", ""}}); }

Bytes FontBytes(std::string_view face) { return units_test::StoredFont(-12, face, FW_BOLD); }

// Icons data as the property stores it: "MITL", four unread bytes, then an
// image list stream holding one 16 × 16 icon.
Bytes IconsData() {
  HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
  ImageList_AddIcon(list, LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION)));
  IStream* stream = nullptr;
  CreateStreamOnHGlobal(nullptr, TRUE, &stream);
  BOOL written = ImageList_Write(list, stream);
  ImageList_Destroy(list);
  Bytes data = {'M', 'I', 'T', 'L', 0, 0, 0, 0};
  HGLOBAL memory = nullptr;
  GetHGlobalFromStream(stream, &memory);
  ULARGE_INTEGER size = {};
  stream->Seek({}, STREAM_SEEK_CUR, &size);
  const auto* bytes = static_cast<const uint8_t*>(GlobalLock(memory));
  data.insert(data.end(), bytes, bytes + size.QuadPart);
  GlobalUnlock(memory);
  stream->Release();
  EXPECT_TRUE(written);
  return data;
}

std::wstring PartText(HWND bar, int part, WORD* drawFlags = nullptr) {
  wchar_t text[256] = {};
  LRESULT answer = SendMessageW(bar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text));
  if (drawFlags) *drawFlags = HIWORD(answer);
  return text;
}

std::vector<int> RightEdges(HWND bar) {
  std::array<int, 256> edges = {};
  int count = int(SendMessageW(bar, SB_GETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data())));
  return std::vector<int>(edges.begin(), edges.begin() + count);
}

class StatusBarTest : public ::testing::Test {
 protected:
  win::UnitObject* Create(const Bytes& blob, DWORD style = 0) {
    return host_.Create(kStatusBarType.interfaceFunction, blob, {0, 479, 614, 479 + 20}, style, kControlId);
  }

  HWND CreateBar(const Bytes& blob) {
    win::UnitObject* unit = Create(blob);
    return unit ? unit->handle() : nullptr;
  }

  static Bytes Serialize(win::UnitObject* unit) { return units_test::Serialize(kStatusBarType.interfaceFunction, unit); }

  units_test::ParentWindow host_;
  HWND parent_ = host_.get();
};

TEST(StatusBarType, Descriptor) {
  EXPECT_STREQ(kStatusBarType.name, "状态条");
  EXPECT_STREQ(kStatusBarType.englishName, "StatusBar");
  EXPECT_EQ(kStatusBarType.state, 0x00110040u);
  constexpr int16_t kTypes[] = {1000, 1000, 1000, 1000, 1005, 1003, 1003, 1011, 1017, 1006, 1003, 1013, 1023, 1024};
  ASSERT_EQ(kStatusBarType.propertyCount, int32_t(std::size(kTypes)));
  for (int i = 0; i < kStatusBarType.propertyCount; ++i) {
    const win::PropertyDescriptor& property = kStatusBarType.properties[i];
    EXPECT_EQ(property.type, kTypes[i]) << "property " << i;
    EXPECT_EQ(property.state, i < 8 ? 0xE000 : 0x8000) << "property " << i;
    EXPECT_EQ(property.name, nullptr) << "property " << i;
    EXPECT_EQ(property.pickList, nullptr) << "property " << i;
  }
}

TEST(StatusBarType, InterfaceOffersNoOperationsBeyondItsOwn) {
  for (int number : {0, 2, 3, 7, 8, 10, 11, 12})
    EXPECT_EQ(kStatusBarType.interfaceFunction(number), nullptr) << "operation " << number;
}

TEST_F(StatusBarTest, PlayerStatusBarShowsWaitAndItem) {
  Bytes parts = PlayerParts();
  ASSERT_EQ(parts.size(), 40u);
  HWND bar = CreateBar(Blob({.parts = parts}));
  ASSERT_NE(bar, nullptr);

  EXPECT_EQ(RightEdges(bar), (std::vector<int>{185, 614}));
  EXPECT_FALSE(SendMessageW(bar, SB_ISSIMPLE, 0, 0));
  WORD flags = 0;
  EXPECT_EQ(PartText(bar, 0, &flags), L"Wait");
  EXPECT_EQ(flags, SBT_NOBORDERS);
  EXPECT_EQ(PartText(bar, 1, &flags), L"Item");
  EXPECT_EQ(flags, SBT_NOBORDERS);
}

TEST_F(StatusBarTest, ControlIsAHiddenChildWithTheControlId) {
  HWND bar = CreateBar(Blob({.parts = PlayerParts()}));
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(units_test::ClassOf(bar), L"msctls_statusbar32");
  EXPECT_EQ(GetParent(bar), parent_);
  EXPECT_EQ(GetDlgCtrlID(bar), kControlId);
  EXPECT_FALSE(IsWindowVisible(bar));
  LONG_PTR style = GetWindowLongPtrW(bar, GWL_STYLE);
  EXPECT_TRUE(style & WS_CHILD);
  EXPECT_TRUE(style & SBARS_TOOLTIPS);
}

TEST_F(StatusBarTest, LoaderStyleBitsReachTheControl) {
  win::UnitObject* unit = Create(Blob({}), WS_DISABLED);
  ASSERT_NE(unit, nullptr);
  EXPECT_FALSE(IsWindowEnabled(unit->handle()));
}

struct StyleCase {
  const char* name;
  uint32_t alignment;
  uint32_t sizeGrip;
  DWORD alignmentStyle;  // the CCS_ bits
  bool grip;
  uint32_t storedAlignment;
};

const StyleCase kStyles[] = {
    {"bottom", 0, 0, CCS_BOTTOM, false, 0},
    {"top", 1, 0, CCS_TOP, false, 1},
    {"not aligned", 2, 0, CCS_NORESIZE | CCS_NOPARENTALIGN, false, 2},
    {"alignment beyond the choices", 9, 0, CCS_NORESIZE | CCS_NOPARENTALIGN, false, 2},
    {"size grip", 0, 1, CCS_BOTTOM, true, 0},
};

TEST_F(StatusBarTest, AlignmentAndSizeGripChooseTheStyle) {
  for (const StyleCase& c : kStyles) {
    win::UnitObject* unit = Create(Blob({.alignment = c.alignment, .sizeGrip = c.sizeGrip}));
    ASSERT_NE(unit, nullptr) << c.name;
    LONG_PTR style = GetWindowLongPtrW(unit->handle(), GWL_STYLE);
    EXPECT_EQ(DWORD(style & 0x0F), c.alignmentStyle) << c.name;
    EXPECT_EQ((style & SBARS_SIZEGRIP) != 0, c.grip) << c.name;
    Bytes blob = Serialize(unit);
    ASSERT_GE(blob.size(), 12u) << c.name;
    EXPECT_EQ(blob[8], c.storedAlignment) << c.name;
    DestroyWindow(unit->handle());
  }
}

TEST_F(StatusBarTest, EmptyBlobGivesTheDefaultsAndASimpleBar) {
  win::UnitObject* unit = Create({});
  ASSERT_NE(unit, nullptr);
  EXPECT_EQ(Serialize(unit), Blob({}));
  EXPECT_TRUE(SendMessageW(unit->handle(), SB_ISSIMPLE, 0, 0));
  EXPECT_EQ(HFONT(SendMessageW(unit->handle(), WM_GETFONT, 0, 0)), HFONT(GetStockObject(DEFAULT_GUI_FONT)));
}

TEST_F(StatusBarTest, PartsDataWithoutPartsShowsASimpleBar) {
  HWND bar = CreateBar(Blob({.parts = PartsData({})}));
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(SendMessageW(bar, SB_ISSIMPLE, 0, 0));
}

struct RoundTripCase {
  const char* name;
  BlobFields fields;
};

TEST_F(StatusBarTest, NewestBlobsRoundTripByteForByte) {
  const RoundTripCase cases[] = {
      {"player's bar", {.parts = PlayerParts()}},
      {"no parts data", {}},
      {"parts data listing no parts", {.parts = PartsData({})}},
      {"colour, top, grip", {.backColour = 0x0000FF00, .alignment = 1, .sizeGrip = 1, .parts = PlayerParts()}},
      {"font", {.font = FontBytes("宋体"), .parts = PlayerParts()}},
      {"icons", {.icons = IconsData(), .parts = PartsData({{60, 0, 0, "a", "tip"}, {-1, SBT_POPOUT, -1, "b", ""}})}},
      {"unreadable icons", {.icons = {'M', 'I', 'T', 'L', 0, 0, 0, 0, 1, 2, 3}}},
      {"texts in GBK", {.parts = PartsData({{100, 0, -1, "等待", "提示"}})}},
  };
  for (const RoundTripCase& c : cases) {
    Bytes blob = Blob(c.fields);
    win::UnitObject* unit = Create(blob);
    ASSERT_NE(unit, nullptr) << c.name;
    EXPECT_EQ(Serialize(unit), blob) << c.name;
    DestroyWindow(unit->handle());
  }
}

struct RefusedCase {
  const char* name;
  Bytes blob;
};

Bytes Truncated(Bytes blob, size_t length) {
  blob.resize(length);
  return blob;
}

TEST_F(StatusBarTest, NewerOrDamagedBlobsAreRefused) {
  const Bytes player = Blob({.font = FontBytes("宋体"), .parts = PlayerParts()});
  Bytes partsWithoutTerminator = PlayerParts();
  partsWithoutTerminator.pop_back();
  const RefusedCase cases[] = {
      {"version 2", Blob({.version = 2, .parts = PlayerParts()})},
      {"version 0xFFFFFFFF", Blob({.version = 0xFFFFFFFF})},
      {"one byte", {1}},
      {"version only", {1, 0, 0, 0}},
      {"cut inside the font", Truncated(player, 20 + 30)},
      {"cut before the parts length", Truncated(player, 20 + 60 + 4)},
      {"cut inside the parts", Truncated(player, player.size() - 1)},
      {"parts count beyond its entries", Blob({.parts = Truncated(PlayerParts(), 4 + 12 + 5 + 1)})},
      {"part text without terminator", Blob({.parts = partsWithoutTerminator})},
      {"huge icons length", {1, 0, 0, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}},
  };
  for (const RefusedCase& c : cases) {
    EXPECT_EQ(Create(c.blob), nullptr) << c.name;
    EXPECT_EQ(GetWindow(parent_, GW_CHILD), nullptr) << c.name << " left a window behind";
  }
}

TEST_F(StatusBarTest, RightEdgesAreRunningSumsUpToAFullWidthPart) {
  HWND bar = CreateBar(Blob({.parts = PartsData({{100, 0, -1, "a", ""}, {-1, 0, -1, "b", ""}, {50, 0, -1, "c", ""}})}));
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(RightEdges(bar), (std::vector<int>{100, -1, 0}));
  EXPECT_EQ(PartText(bar, 2), L"c");
}

TEST_F(StatusBarTest, BorderWordSendsOnlyTheBorderStyles) {
  HWND bar = CreateBar(Blob({.parts = PartsData({{80, SBT_POPOUT | 0x01, -1, "a", ""}, {80, 0, -1, "b", ""}})}));
  ASSERT_NE(bar, nullptr);
  WORD flags = 0;
  EXPECT_EQ(PartText(bar, 0, &flags), L"a") << "the stray low bit must not address part 1";
  EXPECT_EQ(flags, SBT_POPOUT);
  EXPECT_EQ(PartText(bar, 1), L"b");
}

TEST_F(StatusBarTest, PartsShowIconsFromTheImageList) {
  HWND bar = CreateBar(Blob({.icons = IconsData(), .parts = PartsData({{60, 0, 0, "a", ""}, {60, 0, -1, "b", ""}, {60, 0, 5, "c", ""}})}));
  ASSERT_NE(bar, nullptr);
  EXPECT_NE(SendMessageW(bar, SB_GETICON, 0, 0), 0);
  EXPECT_EQ(SendMessageW(bar, SB_GETICON, 1, 0), 0);
  EXPECT_EQ(SendMessageW(bar, SB_GETICON, 2, 0), 0) << "index beyond the image list";
}

TEST_F(StatusBarTest, IconsWithoutTheMarkBuildNothing) {
  Bytes icons = IconsData();
  icons[0] = 'X';
  HWND bar = CreateBar(Blob({.icons = icons, .parts = PartsData({{60, 0, 0, "a", ""}})}));
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(SendMessageW(bar, SB_GETICON, 0, 0), 0);
}

TEST_F(StatusBarTest, StoredFontIsUsedWithItsCharacterSetAndQualityFixed) {
  HWND bar = CreateBar(Blob({.font = FontBytes("宋体"), .parts = PlayerParts()}));
  ASSERT_NE(bar, nullptr);
  HFONT font = HFONT(SendMessageW(bar, WM_GETFONT, 0, 0));
  ASSERT_NE(font, HFONT(GetStockObject(DEFAULT_GUI_FONT)));
  LOGFONTW made = {};
  ASSERT_TRUE(GetObjectW(font, sizeof made, &made));
  EXPECT_STREQ(made.lfFaceName, L"宋体");
  EXPECT_EQ(made.lfHeight, -12);
  EXPECT_EQ(made.lfWeight, FW_BOLD);
  EXPECT_EQ(made.lfCharSet, DEFAULT_CHARSET);
  EXPECT_EQ(made.lfQuality, PROOF_QUALITY);
}

TEST_F(StatusBarTest, RealignMessagePlacesTheBarAlongTheParentsEdge) {
  HWND bar = CreateBar(Blob({.parts = PlayerParts()}));
  ASSERT_NE(bar, nullptr);
  SetWindowPos(parent_, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(bar, win::kRealignBarMessage, 0, 0);
  RECT client = {};
  GetClientRect(parent_, &client);
  RECT placed = {};
  GetWindowRect(bar, &placed);
  MapWindowPoints(nullptr, parent_, reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_EQ(placed.bottom, client.bottom);
  EXPECT_EQ(placed.right - placed.left, client.right);
}

// ---- Through the framework, on a loaded window -------------------------------------

constexpr uint32_t kStatusBarCode = 0x00020002;
constexpr uint32_t kBar = 0x16010002;

enum Property : int { BACK_COLOUR = 8, ALIGNMENT, SIZE_GRIP, FONT, ICONS, PARTS };

// The background colour the control was given: the bar has no message to
// read it, but setting one answers the previous colour.
COLORREF BackColourOf(HWND bar) {
  auto colour = COLORREF(SendMessageW(bar, SB_SETBKCOLOR, 0, LPARAM(CLR_DEFAULT)));
  SendMessageW(bar, SB_SETBKCOLOR, 0, LPARAM(colour));
  return colour;
}

class StatusBarOnWindow : public testing_support::LoadedWindowTest {
 protected:
  void LoadBar(const Bytes& blob) { LoadWith({{.id = kBar, .type = kStatusBarCode, .blob = blob}}); }

  static HWND Bar() { return Handle(kBar); }

  static LOGFONTW ShownFont() {
    LOGFONTW font = {};
    GetObjectW(HFONT(SendMessageW(Bar(), WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
  }
  static RECT PlaceInWindow() {
    RECT placed;
    GetWindowRect(Bar(), &placed);
    MapWindowPoints(nullptr, Handle(0), reinterpret_cast<POINT*>(&placed), 2);
    return placed;
  }

  const units_test::UnitProperties bar{kWindowId, kBar, kStatusBarType};
};

struct WordWriteCase {
  const char* name;
  int property;
  uint32_t written;
  int64_t read;
  bool recreates;
};

TEST_F(StatusBarOnWindow, WordPropertiesClampAndChooseWhetherToRecreate) {
  const WordWriteCase cases[] = {
      {"colour", BACK_COLOUR, 0x00123456, 0x00123456, false},
      {"default colour", BACK_COLOUR, 0xFF000000, int32_t(0xFF000000), false},
      {"alignment top", ALIGNMENT, 1, 1, true},
      {"alignment none", ALIGNMENT, 2, 2, true},
      {"alignment beyond the choices", ALIGNMENT, 3, 2, true},
      {"alignment far beyond", ALIGNMENT, 0x7FFFFFFF, 2, true},
      {"size grip", SIZE_GRIP, 1, 1, true},
      {"any non-zero size grip", SIZE_GRIP, 0x100, 1, true},
      {"no size grip", SIZE_GRIP, 0, 0, true},
  };
  LoadBar(Blob({.parts = PlayerParts()}));
  for (const WordWriteCase& c : cases) {
    HWND before = Bar();
    bar.Write(c.property, c.written);
    EXPECT_EQ(bar.ReadNumber(c.property), c.read) << c.name;
    EXPECT_EQ(Bar() != before, c.recreates) << c.name;
  }
}

struct ColourCase {
  const char* name;
  uint32_t written;
  COLORREF given;  // to the control
};

TEST_F(StatusBarOnWindow, BackColourReachesTheControlWithTheDefaultAsTheButtonFace) {
  const ColourCase cases[] = {
      {"red", 0x000000FF, RGB(255, 0, 0)},
      {"default", 0xFF000000, GetSysColor(COLOR_BTNFACE)},
      {"blue", 0x00FF0000, RGB(0, 0, 255)},
  };
  LoadBar(Blob({.parts = PlayerParts()}));
  ASSERT_EQ(BackColourOf(Bar()), GetSysColor(COLOR_BTNFACE));
  for (const ColourCase& c : cases) {
    bar.Write(BACK_COLOUR, c.written);
    EXPECT_EQ(BackColourOf(Bar()), c.given) << c.name;
  }
}

TEST_F(StatusBarOnWindow, FontElementsReachTheControlMadeForProofDrawing) {
  LoadBar(Blob({.parts = PlayerParts()}));
  ASSERT_EQ(HFONT(SendMessageW(Bar(), WM_GETFONT, 0, 0)), HFONT(GetStockObject(DEFAULT_GUI_FONT)));
  bar.Write(FONT, 20, win::FONT_SIZE);
  bar.Write(FONT, "黑体", win::FONT_FACE);
  bar.Write(FONT, 1, win::FONT_BOLD);

  EXPECT_EQ(bar.ReadNumber(FONT, win::FONT_SIZE), 20);
  EXPECT_EQ(bar.ReadText(FONT, win::FONT_FACE), "黑体");
  EXPECT_EQ(bar.ReadNumber(FONT, win::FONT_BOLD), 1);
  LOGFONTW shown = ShownFont();
  EXPECT_STREQ(shown.lfFaceName, L"黑体");
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(shown.lfHeight, -MulDiv(20, GetDeviceCaps(screen, LOGPIXELSY), 72));
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(shown.lfWeight, FW_BOLD);
  EXPECT_EQ(shown.lfCharSet, DEFAULT_CHARSET);
  EXPECT_EQ(shown.lfQuality, PROOF_QUALITY);

  bar.Write(FONT, 0);  // the null font record: back to the default font
  EXPECT_EQ(HFONT(SendMessageW(Bar(), WM_GETFONT, 0, 0)), HFONT(GetStockObject(DEFAULT_GUI_FONT)));
  EXPECT_EQ(units_test::Serialize(kStatusBarType.interfaceFunction, Unit(kBar)), Blob({.parts = PlayerParts()}));
}

TEST_F(StatusBarOnWindow, IconsBuildTheImageListAndShowInTheParts) {
  Bytes icons = IconsData();
  LoadBar(Blob({.parts = PartsData({{60, 0, 0, "a", ""}, {60, 0, -1, "b", ""}})}));
  ASSERT_EQ(SendMessageW(Bar(), SB_GETICON, 0, 0), 0);

  bar.Write(ICONS, icons);
  EXPECT_EQ(bar.ReadBytes(ICONS), icons);
  EXPECT_NE(SendMessageW(Bar(), SB_GETICON, 0, 0), 0) << "the parts were not applied again";
  EXPECT_EQ(SendMessageW(Bar(), SB_GETICON, 1, 0), 0);
}

TEST_F(StatusBarOnWindow, UnreadableIconsKeepThePreviousImageList) {
  const std::pair<const char*, Bytes> unreadable[] = {
      {"garbage after the mark", {'M', 'I', 'T', 'L', 0, 0, 0, 0, 1, 2, 3}},
      {"header only", {'M', 'I', 'T', 'L', 0, 0, 0, 0}},
      {"no mark", {'X', 'I', 'T', 'L', 0, 0, 0, 0, 1, 2, 3}},
      {"nothing", {}},
  };
  LoadBar(Blob({.icons = IconsData(), .parts = PartsData({{60, 0, 0, "a", ""}})}));
  for (const auto& [name, icons] : unreadable) {
    bar.Write(ICONS, icons);
    EXPECT_EQ(bar.ReadBytes(ICONS), icons) << name << ": the data is stored as given";
    EXPECT_NE(SendMessageW(Bar(), SB_GETICON, 0, 0), 0) << name;
  }
}

struct PartsWriteCase {
  const char* name;
  Bytes written;
  Bytes read;  // the parts data afterwards
  std::vector<int> edges;
  std::vector<std::wstring> texts;
  bool simple;
};

TEST_F(StatusBarOnWindow, PartsAreAppliedAgainAndCorruptDataIsRefused) {
  const Bytes three = PartsData({{50, 0, -1, "x", "tip x"}, {-1, SBT_POPOUT, -1, "y", ""}, {9, 0, -1, "z", ""}});
  const Bytes damaged = Truncated(PlayerParts(), PlayerParts().size() - 1);
  std::vector<PartSpec> many;
  for (int i = 0; i < 257; ++i) many.push_back({2, 0, -1, std::string("p").append(std::to_string(i)), ""});
  const PartsWriteCase cases[] = {
      {"three parts", three, three, {50, -1, 0}, {L"x", L"y", L"z"}, false},
      {"more parts than the control holds: stored, not shown", PartsData(many), PartsData(many), {50, -1, 0},
       {L"x", L"y", L"z"}, false},
      {"the player's parts", PlayerParts(), PlayerParts(), {185, 614}, {L"Wait", L"Item"}, false},
      {"a text cut short: refused", damaged, PlayerParts(), {185, 614}, {L"Wait", L"Item"}, false},
      {"a count beyond its entries: refused", Truncated(three, 4 + 12 + 6 + 6), PlayerParts(), {185, 614},
       {L"Wait", L"Item"}, false},
      {"count 0", PartsData({}), PartsData({}), {}, {}, true},
      {"texts in GBK", PartsData({{100, 0, -1, "等待", ""}}), PartsData({{100, 0, -1, "等待", ""}}), {100}, {L"等待"},
       false},
      {"no parts data", {}, {}, {}, {}, true},
  };
  LoadBar(Blob({.parts = PartsData({{10, 0, -1, "first", ""}})}));
  for (const PartsWriteCase& c : cases) {
    bar.Write(PARTS, c.written);
    EXPECT_EQ(bar.ReadBytes(PARTS), c.read) << c.name;
    EXPECT_EQ(SendMessageW(Bar(), SB_ISSIMPLE, 0, 0) != 0, c.simple) << c.name;
    if (c.simple) continue;
    EXPECT_EQ(RightEdges(Bar()), c.edges) << c.name;
    for (size_t i = 0; i < c.texts.size(); ++i) EXPECT_EQ(PartText(Bar(), int(i)), c.texts[i]) << c.name << ", part " << i;
  }
}

enum class Edge { Top, Bottom, Unchanged };

// Where a bar of the placed height belongs in the client area.
RECT Expected(Edge edge, const RECT& client, const RECT& placed, const RECT& before) {
  LONG height = placed.bottom - placed.top;
  switch (edge) {
    case Edge::Top: return {0, 0, client.right, height};
    case Edge::Bottom: return {0, client.bottom - height, client.right, client.bottom};
    default: return before;
  }
}

struct RecreateCase {
  const char* name;
  int property;
  uint32_t value;
  DWORD alignmentStyle;
  bool grip;
  Edge edge;
};

// The steps run in order on one bar, each re-creating it from the last.
TEST_F(StatusBarOnWindow, RecreationKeepsPartsAndTextsAndLaysTheBarOutAgain) {
  const RecreateCase steps[] = {
      {"to the top", ALIGNMENT, 1, CCS_TOP, false, Edge::Top},
      {"size grip at the top", SIZE_GRIP, 1, CCS_TOP, true, Edge::Top},
      {"back to the bottom", ALIGNMENT, 0, CCS_BOTTOM, true, Edge::Bottom},
      {"no size grip", SIZE_GRIP, 0, CCS_BOTTOM, false, Edge::Bottom},
      {"not aligned", ALIGNMENT, 2, CCS_NORESIZE | CCS_NOPARENTALIGN, false, Edge::Unchanged},
  };
  const Bytes parts = PartsData({{185, SBT_NOBORDERS, -1, "Wait", ""}, {429, SBT_POPOUT, -1, "Playing...", "tip"}});
  LoadBar(Blob({.parts = PlayerParts()}));
  bar.Write(PARTS, parts);  // changed after loading: the new control must come from the live state
  for (const RecreateCase& c : steps) {
    HWND before = Bar();
    RECT placedBefore = PlaceInWindow();
    bar.Write(c.property, c.value);
    ASSERT_NE(Bar(), before) << c.name;
    EXPECT_FALSE(IsWindow(before)) << c.name;
    DWORD style = units_test::StyleOf(Bar());
    EXPECT_EQ(style & 0x0F, c.alignmentStyle) << c.name;
    EXPECT_EQ((style & SBARS_SIZEGRIP) != 0, c.grip) << c.name;
    EXPECT_EQ(RightEdges(Bar()), (std::vector<int>{185, 614})) << c.name;
    WORD flags = 0;
    EXPECT_EQ(PartText(Bar(), 0, &flags), L"Wait") << c.name;
    EXPECT_EQ(flags, SBT_NOBORDERS) << c.name;
    EXPECT_EQ(PartText(Bar(), 1, &flags), L"Playing...") << c.name;
    EXPECT_EQ(flags, SBT_POPOUT) << c.name;
    EXPECT_EQ(bar.ReadBytes(PARTS), parts) << c.name;

    RECT client, placed = PlaceInWindow();
    GetClientRect(Handle(0), &client);
    EXPECT_EQ(units_test::Describe(placed), units_test::Describe(Expected(c.edge, client, placed, placedBefore)))
        << c.name;
  }
}

struct VisitCase {
  const char* name;
  BlobFields fields;
  units_test::TextVisitList visited;
  BlobFields changed;  // the blob written back: each text followed by "!", the face "黑体"
};

TEST(StatusBarTexts, VisitorSeesTheFaceThenEachTextAndTipAndWritesChangesBack) {
  const Bytes icons = {'M', 'I', 'T', 'L', 0, 0, 0, 0, 7};
  const VisitCase cases[] = {
      {"font and parts",
       {.backColour = 0x00FF00, .alignment = 1, .font = FontBytes("宋体"), .icons = icons,
        .parts = PartsData({{185, SBT_NOBORDERS, -1, "Wait", ""}, {-1, SBT_POPOUT, 2, "项目", "tip"}})},
       {{"宋体", 1}, {"Wait", 0}, {"", 0}, {"项目", 0}, {"tip", 0}},
       {.backColour = 0x00FF00, .alignment = 1, .font = FontBytes("黑体"), .icons = icons,
        .parts = PartsData({{185, SBT_NOBORDERS, -1, "Wait!", "!"}, {-1, SBT_POPOUT, 2, "项目!", "tip!"}})}},
      {"no font", {.parts = PlayerParts()}, {{"Wait", 0}, {"", 0}, {"Item", 0}, {"", 0}},
       {.parts = PartsData({{185, SBT_NOBORDERS, -1, "Wait!", "!"}, {429, SBT_NOBORDERS, -1, "Item!", "!"}})}},
      {"no parts data", {.font = FontBytes("Arial")}, {{"Arial", 1}}, {.font = FontBytes("黑体")}},
      {"parts data listing no parts", {.parts = PartsData({})}, {}, {.parts = PartsData({})}},
  };
  for (const VisitCase& c : cases) {
    units_test::TextVisits visits = units_test::VisitTexts(kStatusBarType.interfaceFunction, Blob(c.fields), "黑体");
    EXPECT_EQ(visits.seen, c.visited) << c.name;
    EXPECT_EQ(visits.blob, Blob(c.changed)) << c.name;
  }
}

TEST(StatusBarTexts, VisitorRefusesABlobTheTypeRefuses) {
  const std::pair<const char*, Bytes> refused[] = {
      {"version 2", Blob({.version = 2, .parts = PlayerParts()})},
      {"cut inside the parts", Truncated(Blob({.parts = PlayerParts()}), 30)},
  };
  for (const auto& [name, blob] : refused) {
    units_test::TextVisits visits = units_test::VisitTexts(kStatusBarType.interfaceFunction, blob, "黑体");
    EXPECT_FALSE(visits.blob) << name;
    EXPECT_EQ(visits.seen, units_test::TextVisitList{}) << name << ": nothing is visited";
  }
}

}  // namespace
