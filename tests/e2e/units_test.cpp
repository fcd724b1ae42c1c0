// The standard units in a real window, driven from outside: the gallery
// program holds one unit of every type and logs what its handlers see.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "driver.h"
#include "e2e_support.h"
#include "gallery_fixture.h"

namespace {

using e2e::GalleryControlId;
using e2e::kTimeout;
using e2e::Utf8;

// Control IDs by place in the gallery's unit list; a spin button has its
// box's ID + 4.
constexpr int kByteBoxId = GalleryControlId(4), kWrapBoxId = GalleryControlId(5), kEventBoxId = GalleryControlId(6);
constexpr int kCheckBoxId = GalleryControlId(7), kLargeFontBoxId = GalleryControlId(8);
constexpr int kWriteButtonId = GalleryControlId(9), kMultiLineBoxId = GalleryControlId(10);
constexpr int kOpenButtonId = GalleryControlId(11), kMessageButtonId = GalleryControlId(12);
constexpr int kChildButtonId = GalleryControlId(13);
constexpr int kSpinOffset = 4;
// The large-font box's record height, before it grows to its font.
constexpr int kLargeFontRecordHeight = 20;

class Gallery : public e2e::Gallery {
 protected:
  // The upper (up) or lower (down) arrow of a spin button.
  void ClickSpin(int boxId, bool up) {
    HWND spin = Control(boxId + kSpinOffset);
    ASSERT_NE(spin, nullptr);
    driver::clickSpinArrow(spin, up);
    Settle();
  }
};

TEST_F(Gallery, AByteBoxClampsATypedNumberWhenItLosesTheFocus) {
  HWND box = Control(kByteBoxId);
  ASSERT_NE(box, nullptr);
  driver::clickAt(box, 5, 5);
  for (wchar_t c : std::wstring(L"3x0-0")) PostMessageW(box, WM_CHAR, c, 1);
  Settle();
  EXPECT_EQ(driver::windowText(box), L"300") << "a byte box takes digits only";
  PostMessageW(box, WM_KEYDOWN, VK_TAB, 1);
  ASSERT_TRUE(WaitForLine("OnByteBoxLeft 255"));
  EXPECT_EQ(driver::windowText(box), L"255");
}

TEST_F(Gallery, SpinArrowsOfAnAdjustingBoxWrapAroundItsRange) {
  HWND box = Control(kWrapBoxId);
  ASSERT_NE(box, nullptr);
  ASSERT_EQ(driver::windowText(box), L"50");
  ClickSpin(kWrapBoxId, true);
  EXPECT_EQ(driver::windowText(box), L"1") << "above the maximum comes the minimum";
  ClickSpin(kWrapBoxId, false);
  EXPECT_EQ(driver::windowText(box), L"50") << "below the minimum comes the maximum";
  ClickSpin(kWrapBoxId, false);
  EXPECT_EQ(driver::windowText(box), L"49");
}

TEST_F(Gallery, SpinArrowsOfAnEventBoxRaiseEventOneAndChangeNothing) {
  HWND box = Control(kEventBoxId);
  ASSERT_NE(box, nullptr);
  ClickSpin(kEventBoxId, true);
  ASSERT_TRUE(WaitForLine("OnSpinPressed 1"));
  ClickSpin(kEventBoxId, false);
  ASSERT_TRUE(WaitForLine("OnSpinPressed -1"));
  EXPECT_EQ(driver::windowText(box), L"7");
  EXPECT_EQ(Count("OnSpinPressed 1") + Count("OnSpinPressed -1"), 2u) << Joined();
}

TEST_F(Gallery, ASingleLineBoxGrowsToItsFontsHeight) {
  HWND box = Control(kLargeFontBoxId);
  ASSERT_NE(box, nullptr);
  RECT r;
  GetWindowRect(box, &r);
  EXPECT_GT(r.bottom - r.top, kLargeFontRecordHeight + 20) << "a 24-point font needs more than its record's height";
}

TEST_F(Gallery, EachContentWriteRaisesTheChangeEventOnce) {
  PostMessageW(Control(kWriteButtonId), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitForLine("OnWriteContent done"));
  EXPECT_EQ(Count(Utf8(L"OnContentChanged 甲乙")), 2u) << Joined();
  EXPECT_EQ(driver::windowText(Control(kMultiLineBoxId)), L"甲乙");
}

TEST_F(Gallery, TheCheckBoxFollowsClicks) {
  HWND check = Control(kCheckBoxId);
  ASSERT_NE(check, nullptr);
  PostMessageW(check, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitForLine("OnCheckClicked 1"));
  EXPECT_EQ(SendMessageW(check, BM_GETCHECK, 0, 0), BST_CHECKED);
  PostMessageW(check, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitForLine("OnCheckClicked 0"));
  EXPECT_EQ(SendMessageW(check, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

// The top-left 32 × 32 pixels of a window on the screen.
std::vector<COLORREF> ScreenPixels(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  HDC screen = GetDC(nullptr);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) pixels.push_back(GetPixel(screen, r.left + x, r.top + y));
  ReleaseDC(nullptr, screen);
  return pixels;
}

// Whether a window of another process shows this system icon at its top
// left: its handle there is the other process's, so the pixels are compared
// with the icon drawn here on the same background.
bool ShowsIcon(HWND window, const wchar_t* iconId) {
  std::vector<COLORREF> shown = ScreenPixels(window);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 32, 32);
  HGDIOBJ old = SelectObject(memory, bitmap);
  RECT all{0, 0, 32, 32};
  HBRUSH background = CreateSolidBrush(shown.front());
  FillRect(memory, &all, background);
  DrawIconEx(memory, 0, 0, LoadIconW(nullptr, iconId), 32, 32, 0, nullptr, DI_NORMAL);
  size_t differing = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) differing += GetPixel(memory, x, y) != shown[size_t(y * 32 + x)];
  SelectObject(memory, old);
  DeleteObject(background);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return differing == 0;
}

// An existing file to choose: the dialog insists that it exists.
std::wstring ChosenTrack() {
  std::wstring path = e2e::Beside(L"gallery_choice.mp3");
  std::ofstream(path.c_str(), std::ios::binary) << "ID3";
  return path;
}

TEST_F(Gallery, TheOpenDialogShowsItsFilterAndReturnsTheChosenPathOnlyWhenConfirmed) {
  std::wstring track = ChosenTrack();
  PostMessageW(Control(kOpenButtonId), BM_CLICK, 0, 0);
  HWND dialog = driver::waitTopWindow(program_->pid(), L"#32770", L"Select BGM File", kTimeout);
  ASSERT_NE(dialog, nullptr);
  HWND types = driver::waitChild(dialog, L"ComboBox", 0x470, kTimeout);
  ASSERT_NE(types, nullptr);
  EXPECT_EQ(SendMessageW(types, CB_GETCOUNT, 0, 0), 1) << "one filter pair";
  EXPECT_EQ(driver::windowText(types), L"MP3(*.mp3)");
  HWND name = driver::waitChild(dialog, L"ComboBoxEx32", 0x47C, kTimeout);
  ASSERT_NE(name, nullptr);
  SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(track.c_str()));
  PostMessageW(driver::waitChild(dialog, L"Button", IDOK, kTimeout), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitForLine("OnOpenDialog 1 " + Utf8(track)));

  PostMessageW(Control(kOpenButtonId), BM_CLICK, 0, 0);
  dialog = driver::waitTopWindow(program_->pid(), L"#32770", L"Select BGM File", kTimeout);
  ASSERT_NE(dialog, nullptr);
  PostMessageW(driver::waitChild(dialog, L"Button", IDCANCEL, kTimeout), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitForLine("OnOpenDialog 0 " + Utf8(track))) << "a cancelled dialog keeps the previous value";
  DeleteFileW(track.c_str());
}

TEST_F(Gallery, ShowMessageShowsItsBoxWithTheStopIconAndTitle) {
  PostMessageW(Control(kMessageButtonId), BM_CLICK, 0, 0);
  HWND box = driver::waitTopWindow(program_->pid(), L"#32770", L"Gallery Error", kTimeout);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(driver::messageBoxText(box), L"出错了 Something failed");
  HWND icon = nullptr;
  for (HWND control : driver::children(box, L"Static"))
    if ((GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && IsWindowVisible(control)) icon = control;
  ASSERT_NE(icon, nullptr) << "the box shows an icon";
  RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Settle();
  EXPECT_TRUE(ShowsIcon(icon, IDI_HAND)) << "the stop icon";
  EXPECT_FALSE(ShowsIcon(icon, IDI_ASTERISK)) << "the comparison tells icons apart";
  PostMessageW(driver::findButton(box, L"OK"), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitForLine("OnShowMessage 0"));
}

struct DestroyCase {
  const char* name;
  const wchar_t* button;
  const char* returned;
};

TEST_F(Gallery, TheDestroyCommandClosesAModalChildFromItsOwnHandler) {
  const DestroyCase cases[] = {
      {"at once", L"立即关闭 Now", "OnCloseChildAtOnce returned"},
      {"when messages are next processed", L"稍后关闭 Later", "OnCloseChildLater returned"},
  };
  for (const DestroyCase& c : cases) {
    SCOPED_TRACE(c.name);
    size_t opened = Count("OnOpenChild 1");
    PostMessageW(Control(kChildButtonId), BM_CLICK, 0, 0);
    HWND child = driver::waitTopWindow(program_->pid(), L"VNWindow", L"子窗口 Child", kTimeout);
    ASSERT_NE(child, nullptr);
    HWND button = driver::findButton(child, c.button);
    for (ULONGLONG deadline = GetTickCount64() + kTimeout; !button && GetTickCount64() < deadline; Sleep(20))
      button = driver::findButton(child, c.button);
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(IsWindowEnabled(window_)) << "the child is modal";
    PostMessageW(button, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitForLine(c.returned));
    for (ULONGLONG deadline = GetTickCount64() + kTimeout; Count("OnOpenChild 1") == opened; Sleep(20))
      if (GetTickCount64() >= deadline) break;
    EXPECT_EQ(Count("OnOpenChild 1"), opened + 1) << "the modal load returned\n" << Joined();
    EXPECT_FALSE(IsWindow(child));
    EXPECT_TRUE(IsWindowEnabled(window_));
  }
  EXPECT_EQ(Count("OnChildDestroying"), 2u) << Joined();
}

TEST_F(Gallery, EveryUnitTypeIsDrawn) {
  SetForegroundWindow(window_);
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Settle();
  EXPECT_TRUE(e2e::SaveScreenshot(e2e::Beside(L"unit_gallery.bmp")));
}

}  // namespace
