// The About window, opened with Help/About: a note of two lines and a link.
#include <gtest/gtest.h>

#include <string>

#include "driver.h"
#include "e2e_support.h"
#include "player_fixture.h"

namespace {

constexpr DWORD kTimeout = e2e::PlayerTest::kTimeout;

// How tall a text is when drawn word-wrapped into a width with the font the
// note is drawn in (no font of its own: DEFAULT_GUI_FONT), and how tall one
// line of that font is.
struct Wrapped {
  int height;
  int lineHeight;
};

Wrapped WrapInto(const std::wstring& text, int width) {
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICW metrics{};
  GetTextMetricsW(screen, &metrics);
  RECT area{0, 0, width, 0};
  DrawTextW(screen, text.c_str(), int(text.size()), &area, DT_CALCRECT | DT_WORDBREAK | DT_CENTER | DT_NOPREFIX);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  return {int(area.bottom), int(metrics.tmHeight)};
}

class AboutWindow : public e2e::PlayerTest {
 protected:
  void SetUp() override { StartPlayer(); }
};

TEST_F(AboutWindow, ShowsANoteOfTwoWholeLinesAndALink) {
  HWND about = OpenModal(e2e::kAboutCommand, L"About");
  ASSERT_NE(about, nullptr);
  HWND note = driver::waitChild(about, L"_QX_Label", -1, kTimeout);
  HWND link = driver::waitChild(about, L"_QX_HyperLinker", -1, kTimeout);
  ASSERT_NE(note, nullptr);
  ASSERT_NE(link, nullptr);

  std::wstring text = driver::windowText(note);
  size_t lineBreak = text.find(L"\r\n");
  ASSERT_NE(lineBreak, std::wstring::npos) << "two lines";
  EXPECT_EQ(text.find(L"\r\n", lineBreak + 2), std::wstring::npos) << "two lines only";
  EXPECT_NE(text.find(L"Ombrevista", lineBreak), std::wstring::npos) << "the second line names the player";
  RECT client;
  GetClientRect(note, &client);
  Wrapped drawn = WrapInto(text, client.right);
  EXPECT_EQ(drawn.height, 2 * drawn.lineHeight) << "neither line wraps in the note's width";
  EXPECT_LE(drawn.height, client.bottom) << "both lines fit the note's height";
  EXPECT_FALSE(driver::windowText(link).empty()) << "the link shows the author's handle";

  SetForegroundWindow(about);
  RedrawWindow(about, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Settle();
  EXPECT_TRUE(e2e::SaveScreenshot(e2e::Beside(L"about_window.bmp")));
}

}  // namespace
