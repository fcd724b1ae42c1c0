#include "libraries/extended_ui/status_bar.h"

#include <objbase.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "fatal_trap.h"
#include "heap_blocks.h"
#include "loaded_window.h"
#include "unit_properties.h"
#include "units_test_support.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <climits>
#include <functional>
#include <iterator>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "libraries/libraries.h"
#include "libraries/library_descriptor.h"
#include "runtime/gbk.h"
#include "runtime/heap.h"
#include "runtime/services.h"
#include "runtime/state.h"
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

// ---- The library's commands, called as program code calls them ----------------------

using lib::extended_ui::CMD_GET_PART_TEXT;
using lib::extended_ui::CMD_SET_PART_TEXT;
using lib::extended_ui::CMD_SET_PART_WIDTH;
using Command = lib::extended_ui::StatusBarCommand;

constexpr uint32_t kLabel = 0x16010003;
constexpr uint32_t kLabelCode = 0x0001000A;

rt::ArgRecord Text(const char* text) { return rt::MakeBlock(rt::TYPE_TEXT, text); }
constexpr rt::ArgRecord kOmitted{};

rt::ArgRecord CallCommand(Command command, std::vector<rt::ArgRecord> arguments) {
  return rt::Services().CallLibraryCommand(rt::LIB_EXTENDED_UI, lib::kExtendedUiLibrary.commands[command],
                                           int(arguments.size()), arguments.data());
}

// A GetPartText result: its text, which the caller owns; "(none)" for a
// result that is no text at all.
std::string TakeText(const rt::ArgRecord& result) {
  if (result.tag != rt::TYPE_TEXT) return "(none)";
  rt::HeapPtr<char> text(static_cast<char*>(result.pointer()));
  return text ? text.get() : "";
}

class StatusBarCommands : public StatusBarOnWindow {
 protected:
  static constexpr rt::ArgRecord kBarArgument{kWindowId, kBar, kStatusBarCode};

  static void SetPartText(int32_t index, rt::ArgRecord text) {
    CallCommand(CMD_SET_PART_TEXT, {kBarArgument, rt::MakeInt(index), text});
  }
  static std::string GetPartText(int32_t index, rt::ArgRecord unit = kBarArgument) {
    return TakeText(CallCommand(CMD_GET_PART_TEXT, {unit, rt::MakeInt(index)}));
  }
  static void SetPartWidth(int32_t index, rt::ArgRecord width) {
    CallCommand(CMD_SET_PART_WIDTH, {kBarArgument, rt::MakeInt(index), width});
  }

  // The texts the control shows, part by part.
  static std::vector<std::string> ShownTexts() {
    std::vector<std::string> texts;
    for (size_t i = 0; i < RightEdges(Bar()).size(); ++i) texts.push_back(rt::GbkFromWide(PartText(Bar(), int(i))));
    return texts;
  }
};

TEST(StatusBarLibrary, DeclaresItsThreeCommandsInOrder) {
  std::vector<std::string> names;
  for (const lib::CommandSpec& declaration : lib::CommandSpecsOf(lib::kExtendedUiLibrary)) names.push_back(declaration.name);
  EXPECT_EQ(names, (std::vector<std::string>{"SetPartText", "GetPartText", "SetPartWidth"}));
}

struct CommandStep {
  const char* name;
  Command command;
  std::vector<rt::ArgRecord> further;  // the arguments after the bar
  std::vector<PartSpec> parts;         // the parts data afterwards
  std::vector<int> edges;              // the control's right edges afterwards
  bool resendsParts = false;           // every part's text is sent again
};

// The steps run in order on the player's bar. Before each, the control's
// part 0 is given a mark text: a step that sends no part 0 leaves the mark.
TEST_F(StatusBarCommands, SetCommandsChangeThePartsDataAndTheControl) {
  constexpr uint32_t kNone = SBT_NOBORDERS;
  const std::vector<PartSpec> playing = {{185, kNone, -1, "Wait", ""}, {429, kNone, -1, "Playing...", ""}};
  const CommandStep steps[] = {
      {"SetPartText(1, \"Playing...\")", CMD_SET_PART_TEXT, {rt::MakeInt(1), Text("Playing...")}, playing, {185, 614}},
      {"SetPartText(2, ...): past the parts", CMD_SET_PART_TEXT, {rt::MakeInt(2), Text("x")}, playing, {185, 614}},
      {"SetPartText(-1, ...)", CMD_SET_PART_TEXT, {rt::MakeInt(-1), Text("x")}, playing, {185, 614}},
      {"SetPartText(1, a null text)", CMD_SET_PART_TEXT, {rt::MakeInt(1), Text(nullptr)},
       {{185, kNone, -1, "Wait", ""}, {429, kNone, -1, "", ""}}, {185, 614}},
      {"SetPartText(1, \"项目\")", CMD_SET_PART_TEXT, {rt::MakeInt(1), Text("项目")},
       {{185, kNone, -1, "Wait", ""}, {429, kNone, -1, "项目", ""}}, {185, 614}},
      {"SetPartText(1, omitted)", CMD_SET_PART_TEXT, {rt::MakeInt(1), kOmitted},
       {{185, kNone, -1, "Wait", ""}, {429, kNone, -1, "", ""}}, {185, 614}},
      {"SetPartText(1, \"Item\")", CMD_SET_PART_TEXT, {rt::MakeInt(1), Text("Item")},
       {{185, kNone, -1, "Wait", ""}, {429, kNone, -1, "Item", ""}}, {185, 614}},
      {"SetPartText(1) with the text left out", CMD_SET_PART_TEXT, {rt::MakeInt(1)},
       {{185, kNone, -1, "Wait", ""}, {429, kNone, -1, "", ""}}, {185, 614}},
      {"SetPartWidth(0, 30 % of 600)", CMD_SET_PART_WIDTH, {rt::MakeInt(0), rt::MakeInt(180)},
       {{180, kNone, -1, "Wait", ""}, {429, kNone, -1, "", ""}}, {180, 609}, true},
      {"SetPartWidth(1, 70 % of 600)", CMD_SET_PART_WIDTH, {rt::MakeInt(1), rt::MakeInt(420)},
       {{180, kNone, -1, "Wait", ""}, {420, kNone, -1, "", ""}}, {180, 600}, true},
      {"SetPartWidth(0, omitted)", CMD_SET_PART_WIDTH, {rt::MakeInt(0), kOmitted},
       {{50, kNone, -1, "Wait", ""}, {420, kNone, -1, "", ""}}, {50, 470}, true},
      {"SetPartWidth(1) with the width left out", CMD_SET_PART_WIDTH, {rt::MakeInt(1)},
       {{50, kNone, -1, "Wait", ""}, {50, kNone, -1, "", ""}}, {50, 100}, true},
      {"SetPartWidth(0, -5)", CMD_SET_PART_WIDTH, {rt::MakeInt(0), rt::MakeInt(-5)},
       {{-1, kNone, -1, "Wait", ""}, {50, kNone, -1, "", ""}}, {-1, 0}, true},
      {"SetPartWidth(0, INT_MIN)", CMD_SET_PART_WIDTH, {rt::MakeInt(0), rt::MakeInt(INT32_MIN)},
       {{-1, kNone, -1, "Wait", ""}, {50, kNone, -1, "", ""}}, {-1, 0}, true},
      {"SetPartWidth(2, ...): past the parts", CMD_SET_PART_WIDTH, {rt::MakeInt(2), rt::MakeInt(10)},
       {{-1, kNone, -1, "Wait", ""}, {50, kNone, -1, "", ""}}, {-1, 0}},
      {"SetPartWidth(-1, ...)", CMD_SET_PART_WIDTH, {rt::MakeInt(-1), rt::MakeInt(10)},
       {{-1, kNone, -1, "Wait", ""}, {50, kNone, -1, "", ""}}, {-1, 0}},
      {"SetPartWidth(0, 0)", CMD_SET_PART_WIDTH, {rt::MakeInt(0), rt::MakeInt(0)},
       {{0, kNone, -1, "Wait", ""}, {50, kNone, -1, "", ""}}, {0, 50}, true},
  };
  LoadBar(Blob({.parts = PlayerParts()}));
  for (const CommandStep& step : steps) {
    SendMessageW(Bar(), SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"mark"));
    std::vector<rt::ArgRecord> arguments = {kBarArgument};
    arguments.insert(arguments.end(), step.further.begin(), step.further.end());
    CallCommand(step.command, arguments);

    EXPECT_EQ(bar.ReadBytes(PARTS), PartsData(step.parts)) << step.name;
    EXPECT_EQ(RightEdges(Bar()), step.edges) << step.name;
    std::vector<std::string> shown = {step.resendsParts ? step.parts[0].text : "mark"};
    shown.push_back(step.parts[1].text);
    EXPECT_EQ(ShownTexts(), shown) << step.name;
    WORD flags = 0;
    PartText(Bar(), 1, &flags);
    EXPECT_EQ(flags, kNone) << step.name << ": the part keeps its border";
  }
}

struct ReadCase {
  const char* name;
  int32_t index;
  std::string read;
};

TEST_F(StatusBarCommands, GetPartTextReadsThePartsDataAndGivesTheEmptyTextOutsideIt) {
  const ReadCase cases[] = {
      {"part 0", 0, "Wait"},
      {"part 1, written", 1, "Playing..."},
      {"past the parts", 2, ""},
      {"far past the parts", INT32_MAX, ""},
      {"below 0", -1, ""},
      {"a part in GBK", 3, "等待"},
      {"an empty part", 4, ""},
  };
  LoadBar(Blob({.parts = PartsData({{185, 0, -1, "Wait", ""}, {429, 0, -1, "Item", ""}, {10, 0, -1, "", ""},
                                     {10, 0, -1, "等待", ""}, {10, 0, -1, "", "a tip"}})}));
  SetPartText(1, Text("Playing..."));
  SetPartText(2, Text(nullptr));
  SendMessageW(Bar(), SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"only the control"));
  for (const ReadCase& c : cases) {
    rt::ArgRecord result = CallCommand(CMD_GET_PART_TEXT, {kBarArgument, rt::MakeInt(c.index)});
    EXPECT_EQ(result.tag, rt::TYPE_TEXT) << c.name;
    EXPECT_EQ(result.pointer() == nullptr, c.read.empty()) << c.name << ": the empty text is null";
    EXPECT_EQ(TakeText(result), c.read) << c.name;
  }
}

TEST_F(StatusBarCommands, GetPartTextHandsOutACopyTheProgramFrees) {
  LoadBar(Blob({.parts = PlayerParts()}));
  size_t before = testing_support::LiveHeapBlocks();
  rt::ArgRecord first = CallCommand(CMD_GET_PART_TEXT, {kBarArgument, rt::MakeInt(1)});
  rt::ArgRecord second = CallCommand(CMD_GET_PART_TEXT, {kBarArgument, rt::MakeInt(1)});
  EXPECT_NE(first.pointer(), second.pointer());
  EXPECT_EQ(TakeText(first), "Item");
  SetPartText(1, Text("changed"));
  EXPECT_EQ(TakeText(second), "Item") << "a copy, not the stored text";
  EXPECT_EQ(testing_support::LiveHeapBlocks(), before);
}

TEST_F(StatusBarCommands, BarWithoutPartsStaysSimple) {
  const std::pair<const char*, Bytes> cases[] = {{"no parts data", {}}, {"parts data listing no parts", PartsData({})}};
  LoadBar(Blob({}));
  for (const auto& [name, parts] : cases) {
    bar.Write(PARTS, parts);
    SetPartText(0, Text("x"));
    SetPartWidth(0, rt::MakeInt(10));
    EXPECT_EQ(GetPartText(0), "") << name;
    EXPECT_EQ(bar.ReadBytes(PARTS), parts) << name;
    EXPECT_TRUE(SendMessageW(Bar(), SB_ISSIMPLE, 0, 0)) << name;
  }
}

TEST_F(StatusBarCommands, SetPartTextKeepsTheIconAndTipAndSetPartWidthSendsThemAgain) {
  LoadBar(Blob({.icons = IconsData(), .parts = PartsData({{60, SBT_POPOUT, 0, "a", "tip a"}, {-1, 0, -1, "b", ""}})}));
  auto tip = [] {
    wchar_t text[64] = {};
    SendMessageW(Bar(), SB_GETTIPTEXTW, MAKEWPARAM(0, 64), reinterpret_cast<LPARAM>(text));
    return std::wstring(text);
  };
  ASSERT_EQ(tip(), L"tip a");
  SetPartText(0, Text("new a"));
  WORD flags = 0;
  EXPECT_EQ(PartText(Bar(), 0, &flags), L"new a");
  EXPECT_EQ(flags, SBT_POPOUT);
  EXPECT_NE(SendMessageW(Bar(), SB_GETICON, 0, 0), 0);
  EXPECT_EQ(tip(), L"tip a");

  SendMessageW(Bar(), SB_SETTIPTEXTW, 0, reinterpret_cast<LPARAM>(L"mark"));
  SendMessageW(Bar(), SB_SETICON, 0, 0);
  SetPartWidth(0, rt::MakeInt(80));
  EXPECT_EQ(RightEdges(Bar()), (std::vector<int>{80, -1}));
  EXPECT_EQ(tip(), L"tip a");
  EXPECT_NE(SendMessageW(Bar(), SB_GETICON, 0, 0), 0);
  EXPECT_EQ(PartText(Bar(), 0), L"new a");
}

// Parts the control cannot show leave it divided as before: a new text is
// stored, and not sent to a part that shows another entry.
TEST_F(StatusBarCommands, PartsTheControlDoesNotShowTakeTextsWithoutSendingThem) {
  std::vector<PartSpec> many;
  for (int i = 0; i < 300; ++i) many.push_back({2, 0, -1, std::string("p").append(std::to_string(i)), ""});
  LoadBar(Blob({.parts = PlayerParts()}));
  bar.Write(PARTS, PartsData(many));
  SetPartText(1, Text("one"));
  SetPartText(257, Text("two five seven"));
  EXPECT_EQ(GetPartText(1), "one");
  EXPECT_EQ(GetPartText(257), "two five seven");
  EXPECT_EQ(ShownTexts(), (std::vector<std::string>{"Wait", "Item"}));
  WORD flags = 0;
  PartText(Bar(), 1, &flags);
  EXPECT_EQ(flags, SBT_NOBORDERS);
}

TEST_F(StatusBarCommands, RecreationKeepsTheTextsTheCommandsWrote) {
  LoadBar(Blob({.parts = PlayerParts()}));
  SetPartText(1, Text("Playing..."));
  SetPartWidth(0, rt::MakeInt(100));
  for (int property : {ALIGNMENT, SIZE_GRIP}) {
    HWND before = Bar();
    bar.Write(property, 1);
    ASSERT_NE(Bar(), before);
    EXPECT_EQ(ShownTexts(), (std::vector<std::string>{"Wait", "Playing..."})) << property;
    EXPECT_EQ(RightEdges(Bar()), (std::vector<int>{100, 529})) << property;
    EXPECT_EQ(GetPartText(1), "Playing...") << property;
  }
}

TEST_F(StatusBarCommands, AUnitOfAnotherTypeUnderTheBarsCodeIsLeftAlone) {
  LoadWith({{.id = kBar, .type = kStatusBarCode, .blob = Blob({.parts = PlayerParts()})},
            {.id = kLabel, .type = kLabelCode}});
  constexpr rt::ArgRecord kLabelAsBar{kWindowId, kLabel, kStatusBarCode};
  CallCommand(CMD_SET_PART_TEXT, {kLabelAsBar, rt::MakeInt(0), Text("x")});
  CallCommand(CMD_SET_PART_WIDTH, {kLabelAsBar, rt::MakeInt(0), rt::MakeInt(5)});
  EXPECT_EQ(GetPartText(0, kLabelAsBar), "");
  EXPECT_EQ(bar.ReadBytes(PARTS), PlayerParts());
}

struct RefusedCall {
  const char* name;
  Command command;
  std::vector<rt::ArgRecord> arguments;
  std::string message;
};

TEST_F(StatusBarCommands, CallsThatDoNotFitAreRefused) {
  constexpr rt::ArgRecord kWindow{kWindowId, 0, 0x00010001};
  const RefusedCall cases[] = {
      {"a window for the bar", CMD_SET_PART_TEXT, {kWindow, rt::MakeInt(0), Text("x")}, "命令参数不正确: SetPartText 1"},
      {"a text for the index", CMD_SET_PART_TEXT, {kBarArgument, Text("0"), Text("x")}, "命令参数不正确: SetPartText 2"},
      {"a number for the text", CMD_SET_PART_TEXT, {kBarArgument, rt::MakeInt(0), rt::MakeInt(1)}, "命令参数不正确: SetPartText 3"},
      {"the index omitted", CMD_GET_PART_TEXT, {kBarArgument, kOmitted}, "命令参数不正确: GetPartText 2"},
      {"the index left out", CMD_GET_PART_TEXT, {kBarArgument}, "命令参数不正确: GetPartText 2"},
      {"one argument too many", CMD_GET_PART_TEXT, {kBarArgument, rt::MakeInt(0), rt::MakeInt(0)}, "命令参数不正确: GetPartText 3"},
      {"a logical for the width", CMD_SET_PART_WIDTH, {kBarArgument, rt::MakeInt(0), rt::MakeBool(true)},
       "命令参数不正确: SetPartWidth 3"},
      {"no bar at all", CMD_SET_PART_WIDTH, {}, "命令参数不正确: SetPartWidth 1"},
  };
  LoadBar(Blob({.parts = PlayerParts()}));
  for (const RefusedCall& c : cases)
    EXPECT_EQ(testing_support::ExpectFatalMessage([&] { CallCommand(c.command, c.arguments); }), c.message) << c.name;
  EXPECT_EQ(bar.ReadBytes(PARTS), PlayerParts());
}

TEST_F(StatusBarCommands, ABarOfAWindowNeverLoadedEndsTheProgram) {
  InstallWindow(kWindowId, WindowList({{{.id = kBar, .type = kStatusBarCode, .blob = Blob({})}}}));
  EXPECT_EQ(testing_support::ExpectFatalMessage([] { SetPartText(0, Text("x")); }),
            "指定窗口或窗口组件不存在或尚未载入");
}

// ---- From worker threads ---------------------------------------------------------------

// The player's playback and counting threads write and read part 1 while
// the window thread resizes the window and re-creates the bar. This thread
// is the window thread; it keeps handling messages, which carry the
// workers' calls.
class StatusBarFromWorkers : public StatusBarCommands {
 protected:
  void SetUp() override {
    StatusBarCommands::SetUp();
    rt::State().mainThreadId = GetCurrentThreadId();
  }
  void TearDown() override {
    StatusBarCommands::TearDown();
    rt::State().mainThreadId = 0;
  }

  // Handles messages until `done` holds or the time is up; false then.
  static bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    for (ULONGLONG deadline = GetTickCount64() + timeoutMs; !done();) {
      if (GetTickCount64() >= deadline) return false;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
      PumpMessages();
    }
    return true;
  }
};

// What the workers write, besides the part's first text.
const char* const kWorkerTexts[] = {"Playing...", "播放中 帧 12", "Counting 3/4", "", "计数完成"};

struct WorkerRecord {
  std::atomic<int> calls = 0;
  std::atomic<bool> done = false;
  std::vector<std::string> strangeTexts;  // read, but never written
};

bool WasWritten(const std::string& text) {
  return text == "Item" || std::find(std::begin(kWorkerTexts), std::end(kWorkerTexts), text) != std::end(kWorkerTexts);
}

void WriteAndRead(rt::ArgRecord bar, size_t worker, const std::atomic<bool>& stop, WorkerRecord& record) {
  for (size_t n = worker; !stop; ++n) {
    CallCommand(CMD_SET_PART_TEXT, {bar, rt::MakeInt(1), Text(kWorkerTexts[n % std::size(kWorkerTexts)])});
    std::string read = TakeText(CallCommand(CMD_GET_PART_TEXT, {bar, rt::MakeInt(1)}));
    if (!WasWritten(read)) record.strangeTexts.push_back(read);
    ++record.calls;
  }
  record.done = true;
}

TEST_F(StatusBarFromWorkers, WorkersWriteAndReadWhileTheWindowResizesAndRemakesTheBar) {
  // The run lasts until enough has happened on both sides, not for a fixed
  // time: a slow machine gets longer, up to kRunMs.
  constexpr DWORD kRunMs = 30000, kStopMs = 10000;
  constexpr int kMinRecreations = 12, kMinWorkerCalls = 60;
  LoadBar(Blob({.parts = PlayerParts()}));
  std::atomic<bool> stop = false;
  WorkerRecord records[2];
  std::thread workers[] = {std::thread(WriteAndRead, kBarArgument, 0, std::cref(stop), std::ref(records[0])),
                           std::thread(WriteAndRead, kBarArgument, 1, std::cref(stop), std::ref(records[1]))};
  int rounds = 0, recreated = 0;
  std::vector<std::string> strangeShown;
  auto enoughHappened = [&] {
    return recreated >= kMinRecreations && records[0].calls >= kMinWorkerCalls && records[1].calls >= kMinWorkerCalls;
  };
  for (ULONGLONG end = GetTickCount64() + kRunMs; !enoughHappened() && GetTickCount64() < end; ++rounds) {
    int width = 300 + rounds % 9 * 40;
    SetWindowPos(Handle(0), nullptr, 0, 0, width, 200 + rounds % 5 * 30, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetPartWidth(0, rt::MakeInt(width * 3 / 10));
    if (rounds % 4 == 0) {
      HWND before = Bar();
      bar.Write(rounds % 8 ? SIZE_GRIP : ALIGNMENT, uint32_t(rounds / 8 % 2));  // each write changes its value
      recreated += Bar() != before;
    }
    std::string shown = rt::GbkFromWide(PartText(Bar(), 1));
    if (!WasWritten(shown)) strangeShown.push_back(shown);
    PumpUntil([] { return false; }, 2);
  }
  stop = true;
  bool stopped = PumpUntil([&] { return records[0].done && records[1].done; }, kStopMs);
  // A worker stuck past the deadline would wait for this thread for ever:
  // the run ends here rather than hanging.
  if (!stopped) ADD_FAILURE() << "the workers did not finish";
  for (std::thread& worker : workers) stopped ? worker.join() : worker.detach();
  ASSERT_TRUE(stopped);

  EXPECT_GE(recreated, kMinRecreations);
  for (const WorkerRecord& record : records) {
    EXPECT_GE(record.calls, kMinWorkerCalls) << "a worker hardly got through; " << rounds << " rounds";
    EXPECT_EQ(record.strangeTexts, std::vector<std::string>{});
  }
  EXPECT_EQ(strangeShown, std::vector<std::string>{});
  EXPECT_EQ(GetPartText(1), rt::GbkFromWide(PartText(Bar(), 1))) << "the control shows the stored text";
}

// Once the window is gone (the program is closing), a worker's calls do
// nothing and end nothing.
TEST_F(StatusBarFromWorkers, CallsForABarWhoseWindowIsGoneDoNothing) {
  LoadBar(Blob({.parts = PlayerParts()}));
  win::DestroyAllLoadedWindows();
  std::atomic<bool> done = false;
  std::string read = "unread";
  std::thread worker([&] {
    testing_support::ExpectNoFatal("a worker's calls", [&] {
      SetPartText(1, Text("x"));
      SetPartWidth(0, rt::MakeInt(5));
      read = GetPartText(1);
    });
    done = true;
  });
  bool finished = PumpUntil([&] { return done.load(); }, 10000);
  finished ? worker.join() : worker.detach();
  ASSERT_TRUE(finished);
  EXPECT_EQ(read, "");
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
