#include "units/label.h"

#include <gtest/gtest.h>

#include <climits>
#include <string_view>

#include "tests/unit/loaded_window.h"
#include "tests/unit/unit_properties.h"
#include "tests/unit/units_test_support.h"

namespace {

using units_test::Blob;

std::vector<uint8_t> FullBlob(uint32_t version) {
  Blob blob;
  blob.word(version).word(3).word(12).word(6).word(0x0000FF).word(0xFF000000).word(0xFF0000).word(0x123456);
  blob.word(0x00FF00).word(2).word(7).word(0x111111).word(0x222222).word(0x333333).word(2).word(0).word(1);
  blob.bytes(units_test::StoredFont(-16, "Arial")).bytes({'B', 'M', 1, 2}).text("Frame rate:");
  if (version >= 2) blob.text("A").text("B");
  return blob;
}

TEST(LabelBlob, ReadsEveryField) {
  auto p = units::ReadLabelBlob(FullBlob(2));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->effect, 3);
  EXPECT_EQ(p->frameWidth, 12);
  EXPECT_EQ(p->borderStyle, 6);
  EXPECT_EQ(p->frameColor1, 0x0000FFu);
  EXPECT_EQ(p->frameColor2, 0xFF000000u);
  EXPECT_EQ(p->frameColor3, 0xFF0000u);
  EXPECT_EQ(p->textColor, 0x123456u);
  EXPECT_EQ(p->backColor, 0x00FF00u);
  EXPECT_EQ(p->pictureMode, 2);
  EXPECT_EQ(p->gradientMode, 7);
  EXPECT_EQ(p->gradientColor3, 0x333333u);
  EXPECT_EQ(p->horizontalAlignment, 2);
  EXPECT_EQ(p->verticalAlignment, 0);
  EXPECT_EQ(p->wordWrap, 1);
  EXPECT_EQ(p->picture, (std::vector<uint8_t>{'B', 'M', 1, 2}));
  EXPECT_EQ(p->caption, "Frame rate:");
  EXPECT_EQ(p->textOptionB, "B");
}

TEST(LabelBlob, RoundTripReproducesTheNewestVersion) {
  std::vector<uint8_t> blob = FullBlob(2);
  EXPECT_EQ(units::WriteLabelBlob(*units::ReadLabelBlob(blob)), blob);
}

TEST(LabelBlob, OlderVersionsLackTheTextOptions) {
  for (uint32_t version : {0u, 1u}) {
    auto p = units::ReadLabelBlob(FullBlob(version));
    ASSERT_TRUE(p) << "version " << version;
    EXPECT_EQ(p->caption, "Frame rate:");
    EXPECT_EQ(p->textOptionA, "");
  }
}

TEST(LabelBlob, NewerVersionIsRefused) { EXPECT_FALSE(units::ReadLabelBlob(FullBlob(3))); }

TEST(LabelBlob, EmptyBlobGivesDefaults) {
  auto p = units::ReadLabelBlob({});
  ASSERT_TRUE(p);
  EXPECT_EQ(p->caption, "标签");
  EXPECT_EQ(p->frameWidth, 8);
  EXPECT_EQ(p->backColor, 0xFF000000u);
  EXPECT_EQ(p->pictureMode, 1);
  EXPECT_EQ(p->verticalAlignment, 1);
  EXPECT_EQ(p->frameColor2, 0xFFFFFFu);
}

TEST(LabelBlob, TruncatedBlobsAreRefused) {
  units_test::ExpectPrefixesRefused(units::ReadLabelBlob, FullBlob(2));
  units_test::ExpectPrefixesRefused(units::ReadLabelBlob, FullBlob(1));
}

TEST(LabelTextFlags, FollowAlignmentAndWrap) {
  struct Case {
    int32_t horizontal, vertical, wrap;
    UINT expected;
  } cases[] = {
      {0, 0, 0, DT_NOCLIP | DT_LEFT | DT_SINGLELINE | DT_TOP},
      {1, 1, 0, DT_NOCLIP | DT_CENTER | DT_SINGLELINE | DT_VCENTER},
      {2, 2, 0, DT_NOCLIP | DT_RIGHT | DT_SINGLELINE | DT_BOTTOM},
      {1, 2, 1, DT_NOCLIP | DT_CENTER | DT_WORDBREAK},  // wrapped text starts at the top
      {5, 9, 0, DT_NOCLIP | DT_SINGLELINE},
  };
  for (const Case& c : cases) {
    units::LabelProperties p;
    p.horizontalAlignment = c.horizontal;
    p.verticalAlignment = c.vertical;
    p.wordWrap = c.wrap;
    EXPECT_EQ(units::LabelTextFlags(p), c.expected) << c.horizontal << "/" << c.vertical << "/" << c.wrap;
  }
}

// A label painted into a 40 x 20 bitmap.
class Painted {
 public:
  explicit Painted(const units::LabelProperties& p) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    dc_ = CreateCompatibleDC(nullptr);
    previous_ = SelectObject(dc_, bitmap_);
    units::PaintLabel(dc_, {0, 0, kWidth, kHeight}, p, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
  }
  ~Painted() {
    SelectObject(dc_, previous_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  COLORREF at(int x, int y) const { return GetPixel(dc_, x, y); }
  bool everywhere(COLORREF color) const {
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        if (at(x, y) != color) return false;
    return true;
  }

  static constexpr int kWidth = 40, kHeight = 20;

 private:
  HBITMAP bitmap_;
  HDC dc_;
  HGDIOBJ previous_;
};

units::LabelProperties Plain() {
  units::LabelProperties p;
  p.caption.clear();
  p.backColor = RGB(0, 128, 0);
  return p;
}

TEST(LabelPaint, EmptyCaptionPaintsOnlyTheBackground) {
  EXPECT_TRUE(Painted(Plain()).everywhere(RGB(0, 128, 0)));
}

TEST(LabelPaint, DefaultBackgroundIsTheButtonFace) {
  units::LabelProperties p = Plain();
  p.backColor = 0xFF000000;
  EXPECT_TRUE(Painted(p).everywhere(GetSysColor(COLOR_BTNFACE)));
}

TEST(LabelPaint, CaptionIsDrawnInTheTextColor) {
  units::LabelProperties p = Plain();
  p.caption = "WWWW";
  p.textColor = RGB(255, 0, 0);
  Painted painted(p);
  // Smoothed edges blend with the background; the strokes are red.
  bool red = false;
  for (int y = 0; y < Painted::kHeight; ++y)
    for (int x = 0; x < Painted::kWidth; ++x) red = red || GetRValue(painted.at(x, y)) > 150;
  EXPECT_TRUE(red);
}

TEST(LabelPaint, GradientRunsBetweenItsColors) {
  units::LabelProperties p = Plain();
  p.gradientMode = 1;
  p.gradientColor1 = RGB(255, 0, 0);
  p.gradientColor2 = 0xFF000000;  // not drawn: the gradient runs from colour 1 to colour 3
  p.gradientColor3 = RGB(0, 0, 255);
  Painted painted(p);
  EXPECT_EQ(painted.at(0, 5), RGB(255, 0, 0));
  EXPECT_EQ(painted.at(Painted::kWidth - 1, 5), RGB(0, 0, 255));
  EXPECT_NE(painted.at(Painted::kWidth / 2, 5), RGB(0, 128, 0));
}

TEST(LabelPaint, GradientWithOneColorFillsTheBackground) {
  units::LabelProperties p = Plain();
  p.gradientMode = 3;
  p.gradientColor1 = RGB(255, 0, 0);
  p.gradientColor2 = 0xFF000000;
  p.gradientColor3 = 0xFF000000;
  EXPECT_TRUE(Painted(p).everywhere(RGB(0, 128, 0)));
}

TEST(LabelPaint, GradientFrameSurroundsTheBackground) {
  units::LabelProperties p = Plain();
  p.borderStyle = units::kGradientFrame;
  p.frameWidth = 5;
  p.frameColor1 = RGB(255, 0, 0);
  p.frameColor2 = 0xFF000000;
  p.frameColor3 = RGB(0, 0, 255);
  Painted painted(p);
  EXPECT_EQ(painted.at(0, 10), RGB(255, 0, 0));
  EXPECT_EQ(painted.at(4, 10), RGB(0, 0, 255));
  EXPECT_EQ(painted.at(5, 10), RGB(0, 128, 0));
  EXPECT_EQ(painted.at(34, 14), RGB(0, 128, 0));
  EXPECT_EQ(painted.at(35, 15), RGB(0, 0, 255));
}

TEST(LabelPaint, FrameWiderThanTheLabelCoversItAll) {
  units::LabelProperties p = Plain();
  p.borderStyle = units::kGradientFrame;
  p.frameWidth = INT_MAX;
  p.frameColor1 = RGB(255, 0, 0);
  p.frameColor2 = RGB(255, 0, 0);
  p.gradientMode = 1;
  EXPECT_TRUE(Painted(p).everywhere(RGB(255, 0, 0)));
}

TEST(LabelCreate, MakesAnOwnDrawnWindow) {
  units::LabelProperties p;
  p.caption = "Size:";
  units_test::ParentWindow parent;
  auto* unit = parent.Create(units::LabelInterface, units::WriteLabelBlob(p), {5, 11, 45, 43});
  ASSERT_TRUE(unit);
  HWND label = unit->handle();
  EXPECT_EQ(units_test::ClassOf(label), L"_QX_Label");
  EXPECT_EQ(units_test::StyleOf(label) & (WS_CHILD | WS_CLIPSIBLINGS | WS_VISIBLE), DWORD(WS_CHILD | WS_CLIPSIBLINGS));
  EXPECT_EQ(units_test::TextOf(label), L"Size:");
  EXPECT_EQ(units_test::PlaceOf(label), units_test::Describe({5, 11, 45, 43}));
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), L"_QX_Label", &windowClass));
  EXPECT_EQ(windowClass.style, UINT(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS));
  EXPECT_FALSE(windowClass.hbrBackground);
}

// Which bits each border style sets is the toolkit's; creation applies it,
// and the label's own gradient frame has no window border.
TEST(LabelCreate, BorderStyleSetsTheFrame) {
  struct Case {
    int32_t borderStyle;
    DWORD exStyle;
    DWORD style;
  } cases[] = {
      {1, WS_EX_CLIENTEDGE, 0},
      {units::kGradientFrame, 0, 0},
  };
  units_test::ParentWindow parent;
  for (const Case& c : cases) {
    units::LabelProperties p;
    p.borderStyle = c.borderStyle;
    auto* unit = parent.Create(units::LabelInterface, units::WriteLabelBlob(p), {0, 0, 60, 24});
    ASSERT_TRUE(unit);
    constexpr DWORD kEdges = WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE;
    EXPECT_EQ(units_test::ExStyleOf(unit->handle()) & kEdges, c.exStyle) << "border style " << c.borderStyle;
    EXPECT_EQ(units_test::StyleOf(unit->handle()) & WS_BORDER, c.style) << "border style " << c.borderStyle;
  }
}

TEST(LabelSerialize, WritesTheNewestVersion) {
  std::vector<uint8_t> old = FullBlob(0);
  units_test::ParentWindow parent;
  auto* unit = parent.Create(units::LabelInterface, old, {0, 0, 60, 24});
  ASSERT_TRUE(unit);
  std::vector<uint8_t> newest = units_test::Serialize(units::LabelInterface, unit);
  EXPECT_EQ(newest, units::WriteLabelBlob(*units::ReadLabelBlob(old)));
  EXPECT_EQ(newest[0], 2);
}

TEST(LabelTexts, VisitorSeesEveryTextAndItsChangesAreKept) {
  units_test::TextVisits visits = units_test::VisitTexts(units::LabelInterface, FullBlob(2), "Tahoma");
  EXPECT_EQ(visits.seen, (units_test::TextVisitList{{"Frame rate:", 0}, {"A", 0}, {"B", 0}, {"Arial", 1}}));
  units::LabelProperties expected = *units::ReadLabelBlob(FullBlob(2));
  expected.caption = "Frame rate:!";
  expected.textOptionA = "A!";
  expected.textOptionB = "B!";
  expected.font = units_test::StoredFont(-16, "Tahoma");
  EXPECT_EQ(visits.blob, units::WriteLabelBlob(expected));
  EXPECT_FALSE(units_test::VisitTexts(units::LabelInterface, FullBlob(3), "Tahoma").blob)
      << "a refused blob gives nothing";
}

using testing_support::Handler;

constexpr uint32_t kLabelTypeCode = 0x0001000A;
constexpr uint32_t kLabelId = 0x16017001;

// The handlers of the label's events 0, -7 and -8.
constexpr std::string_view kLabelEvents[] = {"feedback", "got focus", "lost focus"};

class LabelUnit : public testing_support::LoadedWindowTest {
 protected:
  void SetUp() override {
    LoadedWindowTest::SetUp();
    units::LabelProperties p;
    p.caption = "Size:";
    LoadWith({{.id = kLabelId, .type = kLabelTypeCode, .events = {{0, Handler(0)}, {-7, Handler(1)}, {-8, Handler(2)}},
               .blob = units::WriteLabelBlob(p)}});
  }
  const units_test::UnitProperties label{kWindowId, kLabelId, units::kLabelType};
};

using Bytes = std::vector<uint8_t>;

// The clamps a write applies, and a picture taken away by an empty one.
const units_test::PropertyCase kLabelCases[] = {
    {"caption", units::LABEL_CAPTION, std::string("帧率:"), std::string("帧率:")},
    {"effect above its range", units::LABEL_EFFECT, 7, 3},
    {"border style above its range", units::LABEL_BORDER_STYLE, 9, 6},
    {"frame width below 5", units::LABEL_FRAME_WIDTH, 3, 5},
    {"negative frame width", units::LABEL_FRAME_WIDTH, -20, 5},
    {"background picture", units::LABEL_PICTURE, Bytes{'B', 'M', 0, 7}, Bytes{'B', 'M', 0, 7}},
    {"background picture removed", units::LABEL_PICTURE, Bytes{}, Bytes{}},
    {"picture mode above its range", units::LABEL_PICTURE_MODE, 5, 2},
    {"gradient mode above its range", units::LABEL_GRADIENT_MODE, 12, 8},
    {"horizontal alignment above its range", units::LABEL_HORIZONTAL_ALIGNMENT, 9, 2},
    {"vertical alignment above its range", units::LABEL_VERTICAL_ALIGNMENT, 9, 2},
};

TEST_F(LabelUnit, WritesAreClampedAndTheCaptionShown) {
  label.ExpectReads(kLabelCases);
  EXPECT_EQ(units_test::TextOf(label.Handle()), L"帧率:") << "the caption is the window's text";
}

// Below the framework, which already raises negative picks to 0.
TEST_F(LabelUnit, NegativePicksAreClampedByTheLabelItself) {
  for (int index : {units::LABEL_EFFECT, units::LABEL_BORDER_STYLE, units::LABEL_PICTURE_MODE,
                    units::LABEL_GRADIENT_MODE,
                    units::LABEL_HORIZONTAL_ALIGNMENT, units::LABEL_VERTICAL_ALIGNMENT}) {
    EXPECT_FALSE(label.SetWord(index, -3)) << "property " << index;
    EXPECT_EQ(label.GetWord(index), 0) << "property " << index;
  }
}

TEST_F(LabelUnit, EveryWriteRepaintsAndNoneRecreates) {
  HWND handle = label.Handle();
  ShowWindow(Handle(0), SW_SHOW);
  UpdateWindow(Handle(0));
  for (int index = win::kCommonPropertyCount; index < units::kLabelType.propertyCount; ++index) {
    ValidateRect(handle, nullptr);
    label.Write(index, label.Read(index));
    EXPECT_TRUE(GetUpdateRect(handle, nullptr, FALSE)) << "property " << index;
  }
  EXPECT_EQ(label.Handle(), handle);
}

// Which bits each border style sets is the toolkit's; the write applies it.
TEST_F(LabelUnit, BorderStyleWritesApplyTheFrame) {
  constexpr DWORD kEdges = WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE;
  label.Write(units::LABEL_BORDER_STYLE, 5);
  EXPECT_EQ(units_test::StyleOf(label.Handle()) & WS_BORDER, DWORD(WS_BORDER));
  label.Write(units::LABEL_BORDER_STYLE, 1);
  EXPECT_EQ(units_test::ExStyleOf(label.Handle()) & kEdges, DWORD(WS_EX_CLIENTEDGE));
  EXPECT_EQ(units_test::StyleOf(label.Handle()) & WS_BORDER, 0u);
  label.Write(units::LABEL_BORDER_STYLE, 9);
  EXPECT_EQ(units_test::ExStyleOf(label.Handle()) & kEdges, 0u) << "the gradient frame has no window border";
}

TEST_F(LabelUnit, FeedbackMessageRaisesEventZeroAndAnswersWithTheHandlersValue) {
  AnswerNext(42);
  EXPECT_EQ(SendMessageW(label.Handle(), units::kLabelFeedbackMessage, 7, -3), 42);
  EXPECT_EQ(SendMessageW(label.Handle(), units::kLabelFeedbackMessage, 1, 2), 0) << "no value answered";
  EXPECT_EQ(CallsSeen(kLabelEvents), "feedback(7,-3), feedback(1,2)");
}

TEST_F(LabelUnit, TakingAndLosingTheFocusRaiseTheirEvents) {
  ShowWindow(Handle(0), SW_SHOW);
  SetForegroundWindow(Handle(0));
  SetFocus(label.Handle());
  SetFocus(Handle(0));
  EXPECT_EQ(CallsSeen(kLabelEvents), "got focus, lost focus");
}

}  // namespace
