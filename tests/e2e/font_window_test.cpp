// The Font window, driven from outside: Setting/Font opens it over the main
// window, whose frame display's font is measured from outside after each
// step. Under Wine the font handle of another process cannot be read
// (GetObject fails), so the display's line height is compared with that of
// the same font made here.
#include <gtest/gtest.h>

#include <string>

#include "driver.h"
#include "e2e_support.h"
#include "player_fixture.h"

namespace {

// Control IDs the loader hands out: 100 for the last of the window's three
// units, 10 more for each one before it; a spin button has its box's + 4.
constexpr int kSizeBoxId = 110, kSpinId = kSizeBoxId + 4;

// The line height of the frame display's font (character set 134, weight
// 400, no face name) at a size in points, made here.
int LineHeightOfPoints(int points) {
  HDC screen = GetDC(nullptr);
  LOGFONTW font{};
  font.lfHeight = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = GB2312_CHARSET;
  HFONT handle = CreateFontIndirectW(&font);
  HGDIOBJ old = SelectObject(screen, handle);
  TEXTMETRICW metrics{};
  GetTextMetricsW(screen, &metrics);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  DeleteObject(handle);
  return metrics.tmHeight;
}

class FontWindow : public e2e::PlayerTest {
 protected:
  void SetUp() override { StartPlayer(); }

  void Open() {
    font_ = OpenModal(e2e::kFontCommand, L"Font");
    ASSERT_NE(font_, nullptr);
    box_ = Control(font_, kSizeBoxId);
    spin_ = Control(font_, kSpinId);
    ok_ = driver::findButton(font_, L"OK");
    for (HWND unit : {box_, spin_, ok_}) ASSERT_NE(unit, nullptr);
    ASSERT_EQ(driver::className(box_), L"Edit");
    ASSERT_EQ(driver::className(spin_), L"msctls_updown32");
  }

  // The frame display's line height: how far below its first character
  // the first one of a second line stands.
  int FrameLineHeight() {
    SetText(edit_, L"x\r\ny");
    LRESULT first = SendMessageW(edit_, EM_POSFROMCHAR, 0, 0), second = SendMessageW(edit_, EM_POSFROMCHAR, 3, 0);
    return short(HIWORD(second)) - short(HIWORD(first));
  }

  struct StepCase {
    const char* name;
    const wchar_t* before;
    int step;   // wheel: 120ths of a notch, away from the user positive; spin: 1 upper arrow, -1 lower
    int after;  // the box and the frame display; 0: the box is unchanged and nothing is applied
  };

  // Each case: the box typed as `before` (which applies nothing), then the
  // step; the frame display follows the box at once.
  template <class Step>
  void ExpectSteps(std::initializer_list<StepCase> cases, Step step) {
    ASSERT_NO_FATAL_FAILURE(Open());
    for (const StepCase& c : cases) {
      SCOPED_TRACE(c.name);
      int before = FrameLineHeight();
      SetText(box_, c.before);
      step(c.step);
      Settle();
      EXPECT_EQ(driver::windowText(box_), c.after ? std::to_wstring(c.after) : c.before);
      EXPECT_EQ(FrameLineHeight(), c.after ? LineHeightOfPoints(c.after) : before);
    }
  }

  HWND font_ = nullptr, box_ = nullptr, spin_ = nullptr, ok_ = nullptr;
};

TEST_F(FontWindow, OpensShowingTheFrameDisplaysSize) {
  ASSERT_NO_FATAL_FAILURE(Open());
  std::wstring shown = driver::windowText(box_);
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(LineHeightOfPoints(std::stoi(shown)), FrameLineHeight()) << "the box shows " << e2e::Utf8(shown);
  SetForegroundWindow(font_);
  RedrawWindow(font_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Settle();
  EXPECT_TRUE(e2e::SaveScreenshot(e2e::Beside(L"font_window.bmp")));
}

TEST_F(FontWindow, ATypedSizeTakesEffectOnOkWhichCloses) {
  ASSERT_NO_FATAL_FAILURE(Open());
  int before = FrameLineHeight();
  ASSERT_NE(before, LineHeightOfPoints(12)) << "12 points differ from the size at start";
  SetText(box_, L"12");
  Settle();
  EXPECT_EQ(FrameLineHeight(), before) << "typing alone applies nothing";
  driver::clickButton(ok_);
  EXPECT_TRUE(WaitGone(font_));
  EXPECT_EQ(FrameLineHeight(), LineHeightOfPoints(12));
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_EQ(driver::windowText(box_), L"12") << "the next opening shows the size";
}

TEST_F(FontWindow, AnEmptyBoxCountsAsZero) {
  ASSERT_NO_FATAL_FAILURE(Open());
  SetText(box_, L"");
  driver::clickButton(ok_);
  EXPECT_TRUE(WaitGone(font_));
  EXPECT_EQ(FrameLineHeight(), LineHeightOfPoints(0)) << "0 points: the font mapper's default height";
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_EQ(driver::windowText(box_), L"0");
}

TEST_F(FontWindow, EachWheelStepCyclesThroughOneToNinetyNineAndAppliesAtOnce) {
  ExpectSteps(
      {
          {"up", L"12", 120, 13},
          {"down", L"12", -120, 11},
          {"up from 99", L"99", 120, 1},
          {"down from 1", L"1", -120, 99},
          {"up from the empty box", L"", 120, 1},
          {"down from the empty box", L"", -120, 99},
          {"less than a notch down", L"12", -60, 0},
          {"less than a notch up", L"12", 60, 0},
      },
      [&](int delta) { driver::postWheel(box_, delta); });
}

TEST_F(FontWindow, TheSpinArrowsStepAgainstTheWheelAndApplyAtOnce) {
  ExpectSteps(
      {
          {"upper arrow", L"12", 1, 11},
          {"lower arrow", L"12", -1, 13},
          {"upper arrow from 1", L"1", 1, 99},
          {"lower arrow from 99", L"99", -1, 1},
      },
      [&](int arrow) { driver::clickSpinArrow(spin_, arrow > 0); });
}

}  // namespace
