#include "libraries/extended_ui/status_bar.h"

#include <objbase.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "units_test_support.h"

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "windows/blob.h"
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

Bytes FontBytes(const char* face, BYTE charSet) {
  LOGFONTA font = {};
  font.lfHeight = -12;
  font.lfWeight = FW_BOLD;
  font.lfCharSet = charSet;
  std::strcpy(font.lfFaceName, face);
  const auto* bytes = reinterpret_cast<const uint8_t*>(&font);
  return Bytes(bytes, bytes + sizeof font);
}

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

  static Bytes Serialize(win::UnitObject* unit) {
    return win::FindOperation<win::OP_GET_ALL_PROPERTIES>(&kStatusBarType)(unit);
  }

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
  wchar_t className[64] = {};
  GetClassNameW(bar, className, 64);
  EXPECT_STREQ(className, L"msctls_statusbar32");
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
      {"font", {.font = FontBytes("宋体", GB2312_CHARSET), .parts = PlayerParts()}},
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
  const Bytes player = Blob({.font = FontBytes("宋体", 0), .parts = PlayerParts()});
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
  HWND bar = CreateBar(Blob({.font = FontBytes("宋体", GB2312_CHARSET), .parts = PlayerParts()}));
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

TEST_F(StatusBarTest, UnterminatedFaceNameIsCutNotOverrun) {
  Bytes font = FontBytes("", 0);
  std::memset(font.data() + offsetof(LOGFONTA, lfFaceName), 'A', LF_FACESIZE);
  HWND bar = CreateBar(Blob({.font = font}));
  ASSERT_NE(bar, nullptr);
  LOGFONTW made = {};
  ASSERT_TRUE(GetObjectW(HFONT(SendMessageW(bar, WM_GETFONT, 0, 0)), sizeof made, &made));
  EXPECT_EQ(std::wstring(made.lfFaceName), std::wstring(LF_FACESIZE - 1, L'A'));
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

}  // namespace
