// The resources every program built on the runtime carries, read from this
// test program as the runtime reads them from the player: the default icons,
// the link cursor and the code that picks them up.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/callback.h"
#include "tests/unit/units_test_support.h"
#include "units/hyper_linker.h"
#include "windows/mouse_pointer.h"

namespace {

constexpr int kLinkCursorResource = 1032;

HCURSOR ProgramHandCursor() { return LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kLinkCursorResource)); }

// GetIconInfo hands its bitmaps to the caller.
struct IconBitmaps {
  ICONINFO info{};
  explicit IconBitmaps(HICON icon) { GetIconInfo(icon, &info); }
  ~IconBitmaps() {
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
  }
  IconBitmaps(const IconBitmaps&) = delete;
  IconBitmaps& operator=(const IconBitmaps&) = delete;
};

std::string Describe(SIZE size) { return std::to_string(size.cx) + "x" + std::to_string(size.cy); }

std::string IconSize(HICON icon) {
  IconBitmaps bitmaps(icon);
  BITMAP bitmap{};
  if (!GetObjectW(bitmaps.info.hbmColor, sizeof(bitmap), &bitmap)) return "no colour bitmap";
  return Describe({bitmap.bmWidth, bitmap.bmHeight});
}

TEST(ProgramResources, DefaultIconsHaveTheSystemSizes) {
  HICON icons[2] = {};
  rt::RuntimeCallbackEntry(rt::REQ_DEFAULT_ICONS, reinterpret_cast<intptr_t>(icons), 0);
  ASSERT_TRUE(icons[0] && icons[1]);
  EXPECT_EQ(IconSize(icons[0]), Describe({GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)}));
  EXPECT_EQ(IconSize(icons[1]), Describe({GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)}));
  HICON again[2] = {};
  rt::RuntimeCallbackEntry(rt::REQ_DEFAULT_ICONS, reinterpret_cast<intptr_t>(again), 0);
  EXPECT_TRUE(again[0] == icons[0] && again[1] == icons[1]) << "the icons are loaded once";
}

BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR names) {
  std::wstring text = IS_INTRESOURCE(name) ? L"#" + std::to_wstring(uintptr_t(name)) : name;
  reinterpret_cast<std::vector<std::wstring>*>(names)->push_back(text);
  return TRUE;
}

// The shell shows a file's first icon group.
TEST(ProgramResources, TheDefaultIconIsTheOnlyIconGroup) {
  std::vector<std::wstring> names;
  EnumResourceNamesW(GetModuleHandleW(nullptr), RT_GROUP_ICON, CollectName, reinterpret_cast<LONG_PTR>(&names));
  EXPECT_EQ(names, std::vector<std::wstring>{L"DEFAULT_ICON"});
}

// A 1-bit bitmap's rows, top down, each of the given stride.
std::vector<uint8_t> MonochromeRows(HBITMAP handle, const BITMAP& bitmap, int stride) {
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[2];
  } format{{sizeof(BITMAPINFOHEADER), bitmap.bmWidth, -bitmap.bmHeight, 1, 1, BI_RGB}, {}};
  std::vector<uint8_t> bits(size_t(stride) * bitmap.bmHeight);
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, handle, 0, bitmap.bmHeight, bits.data(), reinterpret_cast<BITMAPINFO*>(&format), DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return bits;
}

// The topmost, then leftmost, pixel the cursor's AND mask leaves opaque.
POINT TipOfCursor(const ICONINFO& info) {
  BITMAP bitmap{};
  GetObjectW(info.hbmMask, sizeof(bitmap), &bitmap);
  int stride = (bitmap.bmWidth + 31) / 32 * 4;
  std::vector<uint8_t> bits = MonochromeRows(info.hbmMask, bitmap, stride);
  // The cursor is square; a monochrome one's mask holds the AND rows above
  // the XOR rows.
  int andRows = bitmap.bmWidth;
  for (int y = 0; y < andRows; ++y)
    for (int x = 0; x < bitmap.bmWidth; ++x)
      if (!(bits[size_t(y) * stride + x / 8] & (0x80 >> x % 8))) return {x, y};
  return {-1, -1};
}

TEST(ProgramResources, LinkCursorPointsWithTheFingerTip) {
  HCURSOR cursor = ProgramHandCursor();
  ASSERT_TRUE(cursor);
  EXPECT_NE(cursor, LoadCursorW(nullptr, IDC_HAND));
  IconBitmaps bitmaps(cursor);
  EXPECT_FALSE(bitmaps.info.fIcon);
  POINT tip = TipOfCursor(bitmaps.info);
  EXPECT_EQ(Describe({LONG(bitmaps.info.xHotspot), LONG(bitmaps.info.yHotspot)}), Describe({tip.x, tip.y}));
}

TEST(ProgramResources, HyperLinkerClassHasTheLinkCursor) {
  units_test::ParentWindow parent;
  ASSERT_TRUE(parent.Create(units::HyperLinkerInterface, units::WriteHyperLinkerBlob({}), {0, 0, 100, 24}));
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), L"_QX_HyperLinker", &windowClass));
  EXPECT_EQ(windowClass.hCursor, ProgramHandCursor());
}

TEST(ProgramResources, HandPointerIsTheLinkCursor) {
  for (uint32_t code : {14u, uint32_t(32649) /* IDC_HAND */}) {
    std::vector<uint8_t> data = units_test::Blob().word(code);
    win::UnitCursor hand = win::CursorFromPointerData(data);
    EXPECT_EQ(hand.cursor, ProgramHandCursor()) << code;
    EXPECT_FALSE(hand.owned) << code;
  }
}

}  // namespace
