#include "units/hyper_linker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/gbk.h"
#include "tests/unit/loaded_window.h"
#include "tests/unit/unit_properties.h"
#include "tests/unit/units_test_support.h"
#include "windows/font_value.h"

namespace {

using units_test::Blob;

// The About window's link.
std::vector<uint8_t> AboutLinkBlob(uint32_t version = 1) {
  return Blob()
      .word(version)
      .word(1)
      .word(0x00FF0000)
      .word(0x00000080)
      .word(0x00FF9933)
      .word(0xFF000000)
      .word(0)
      .bytes({})
      .text("ombre")
      .text("")
      .text("https://example.org/ombrevista");
}

TEST(HyperLinkerBlob, ReadsEveryField) {
  std::vector<uint8_t> blob = Blob()
                                  .word(1)
                                  .word(0)
                                  .word(1)
                                  .word(2)
                                  .word(3)
                                  .word(4)
                                  .word(5)
                                  .bytes(units_test::StoredFont(-12, "Tahoma"))
                                  .text("caption")
                                  .text("me@example.org")
                                  .text("example.org");
  auto p = units::ReadHyperLinkerBlob(blob);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->linkType, 0);
  EXPECT_EQ(p->normalColor, 1u);
  EXPECT_EQ(p->visitedColor, 2u);
  EXPECT_EQ(p->hoverColor, 3u);
  EXPECT_EQ(p->backColor, 4u);
  EXPECT_EQ(p->borderStyle, 5);
  EXPECT_EQ(p->font, units_test::StoredFont(-12, "Tahoma"));
  EXPECT_EQ(p->caption, "caption");
  EXPECT_EQ(p->emailAddress, "me@example.org");
  EXPECT_EQ(p->webAddress, "example.org");
  EXPECT_EQ(units::WriteHyperLinkerBlob(*p), blob);
}

TEST(HyperLinkerBlob, RoundTripReproducesTheNewestVersion) {
  EXPECT_EQ(units::WriteHyperLinkerBlob(*units::ReadHyperLinkerBlob(AboutLinkBlob())), AboutLinkBlob());
  EXPECT_EQ(units::WriteHyperLinkerBlob(*units::ReadHyperLinkerBlob(AboutLinkBlob(0))), AboutLinkBlob());
}

TEST(HyperLinkerBlob, NewerVersionIsRefused) { EXPECT_FALSE(units::ReadHyperLinkerBlob(AboutLinkBlob(2))); }

TEST(HyperLinkerBlob, EmptyBlobGivesDefaults) {
  auto p = units::ReadHyperLinkerBlob({});
  ASSERT_TRUE(p);
  EXPECT_EQ(p->linkType, 0);
  EXPECT_EQ(p->normalColor, 0x00FF0000u);
  EXPECT_EQ(p->visitedColor, 0x00000080u);
  EXPECT_EQ(p->hoverColor, GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(p->backColor, 0xFF000000u);
  EXPECT_TRUE(p->font.empty());
}

TEST(HyperLinkerBlob, TruncatedBlobsAreRefused) {
  units_test::ExpectPrefixesRefused(units::ReadHyperLinkerBlob, AboutLinkBlob());
}

TEST(HyperLinkerTarget, WebOrMailto) {
  struct Case {
    int32_t linkType;
    const char* email;
    const char* web;
    const char* target;
    const char* shown;
  } cases[] = {
      {1, "me@example.org", "example.org", "example.org", "example.org"},
      {0, "me@example.org", "example.org", "mailto:me@example.org", "me@example.org"},
      {0, "", "example.org", "", ""},
      {1, "me@example.org", "", "", ""},
      {5, "", "example.org", "example.org", "example.org"},
  };
  for (const Case& c : cases) {
    units::HyperLinkerProperties p;
    p.linkType = c.linkType;
    p.emailAddress = c.email;
    p.webAddress = c.web;
    EXPECT_EQ(units::LinkTarget(p), c.target) << "link type " << c.linkType << ", " << c.email << ", " << c.web;
    EXPECT_EQ(units::LinkAddress(p), c.shown) << "link type " << c.linkType << ", " << c.email << ", " << c.web;
  }
}

TEST(HyperLinkerColor, HoverOverVisitedOverNormal) {
  units::HyperLinkerProperties p;
  p.normalColor = 1;
  p.visitedColor = 2;
  p.hoverColor = 3;
  EXPECT_EQ(units::LinkTextColor(p, false, false), 1u);
  EXPECT_EQ(units::LinkTextColor(p, false, true), 2u);
  EXPECT_EQ(units::LinkTextColor(p, true, false), 3u);
  EXPECT_EQ(units::LinkTextColor(p, true, true), 3u);
}

TEST(HyperLinkerBrowser, CommandLineReplacesThePlaceholder) {
  struct Case {
    const wchar_t* command;
    const wchar_t* expected;
  } cases[] = {
      {LR"("C:\Browser\browser.exe" "%1")", LR"("C:\Browser\browser.exe" http://a.b/)"},
      {LR"(C:\browser.exe "%1")", LR"(C:\browser.exe http://a.b/)"},
      {LR"(C:\browser.exe %1)", LR"(C:\browser.exe http://a.b/)"},
      {LR"(C:\browser.exe -url %1 -new)", LR"(C:\browser.exe -url http://a.b/)"},
      {LR"(C:\browser.exe)", LR"(C:\browser.exe http://a.b/)"},
  };
  for (const Case& c : cases) EXPECT_EQ(units::BrowserCommandLine(c.command, L"http://a.b/"), c.expected);
}

TEST(HyperLinkerCreate, MakesTheAboutLink) {
  units_test::ParentWindow parent;
  auto* unit = parent.Create(units::HyperLinkerInterface, AboutLinkBlob(), {24, 37, 128, 61});
  ASSERT_TRUE(unit);
  HWND link = unit->handle();
  EXPECT_EQ(units_test::ClassOf(link), L"_QX_HyperLinker");
  EXPECT_EQ(units_test::TextOf(link), L"ombre");
  EXPECT_EQ(units_test::StyleOf(link) & (WS_CHILD | WS_CLIPSIBLINGS | WS_VISIBLE), DWORD(WS_CHILD | WS_CLIPSIBLINGS));
  EXPECT_EQ(units_test::PlaceOf(link), units_test::Describe({24, 37, 128, 61}));
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), L"_QX_HyperLinker", &windowClass));
  EXPECT_EQ(windowClass.style, UINT(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS));
  EXPECT_TRUE(windowClass.hCursor) << "the link cursor";
  EXPECT_FALSE(windowClass.hbrBackground);
}

TEST(HyperLinkerCreate, AppliesTheBorderStyle) {
  units::HyperLinkerProperties p;
  p.borderStyle = 3;
  units_test::ParentWindow parent;
  auto* unit = parent.Create(units::HyperLinkerInterface, units::WriteHyperLinkerBlob(p), {0, 0, 100, 24});
  ASSERT_TRUE(unit);
  EXPECT_TRUE(units_test::ExStyleOf(unit->handle()) & WS_EX_STATICEDGE);
}

TEST(HyperLinkerCreate, RefusedBlobCreatesNothing) {
  units_test::ParentWindow parent;
  EXPECT_FALSE(parent.Create(units::HyperLinkerInterface, AboutLinkBlob(2), {0, 0, 100, 24}));
}

TEST(HyperLinkerTexts, VisitsCaptionAddressesAndFontFace) {
  units::HyperLinkerProperties p;
  p.caption = "c";
  p.emailAddress = "e";
  p.webAddress = "w";
  p.font = units_test::StoredFont(-12, "Tahoma");
  units_test::TextVisits visits =
      units_test::VisitTexts(units::HyperLinkerInterface, units::WriteHyperLinkerBlob(p), "Arial");
  EXPECT_EQ(visits.seen, (units_test::TextVisitList{{"c", 0}, {"e", 0}, {"w", 0}, {"Tahoma", 1}}));
  p.caption = "c!";
  p.emailAddress = "e!";
  p.webAddress = "w!";
  p.font = units_test::StoredFont(-12, "Arial");
  EXPECT_EQ(visits.blob, units::WriteHyperLinkerBlob(p));
  EXPECT_FALSE(units_test::VisitTexts(units::HyperLinkerInterface, AboutLinkBlob(2), "Arial").blob)
      << "a refused blob gives nothing";
}

// ---- A link loaded on a window ------------------------------------------------

constexpr uint32_t kLinkId = 0x16017001;
constexpr uint32_t kHyperLinkerCode = 0x0001001D;
constexpr COLORREF kNormal = RGB(255, 0, 0);
constexpr COLORREF kVisited = RGB(0, 0, 255);
constexpr COLORREF kHover = RGB(0, 160, 0);

units::HyperLinkerProperties DrawnLink() {
  units::HyperLinkerProperties p;
  p.linkType = 1;
  p.normalColor = kNormal;
  p.visitedColor = kVisited;
  p.hoverColor = kHover;
  p.backColor = RGB(255, 255, 255);
  p.font = units_test::StoredFont(-28, "Tahoma", FW_BOLD);  // whole pixels show the text colour
  p.caption = "Ombre";
  return p;
}

// The window's client area as drawn.
std::vector<COLORREF> Shown(HWND window) {
  UpdateWindow(window);
  RECT client;
  GetClientRect(window, &client);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC dc = GetDC(window);
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
  GdiFlush();
  std::vector<COLORREF> pixels;
  for (LONG i = 0; i < client.right * client.bottom; ++i) {
    uint32_t rgb = static_cast<const uint32_t*>(bits)[i];
    pixels.push_back(RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
  }
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, dc);
  return pixels;
}

size_t Count(const std::vector<COLORREF>& pixels, COLORREF color) {
  return size_t(std::count(pixels.begin(), pixels.end(), color));
}

// Pixels of the three text colours, named for failure messages.
std::string TextColors(HWND window) {
  std::vector<COLORREF> pixels = Shown(window);
  return "normal " + std::to_string(Count(pixels, kNormal) > 0) + ", visited " +
         std::to_string(Count(pixels, kVisited) > 0) + ", hover " + std::to_string(Count(pixels, kHover) > 0);
}

class HyperLinkerUnit : public testing_support::LoadedWindowTest {
 protected:
  void Load(const units::HyperLinkerProperties& p, std::vector<std::pair<int32_t, uint32_t>> events = {}) {
    testing_support::UnitSpec declaration{kLinkId, kHyperLinkerCode, 0, std::move(events), "", units::WriteHyperLinkerBlob(p)};
    declaration.left = 10, declaration.top = 10, declaration.width = 240, declaration.height = 48;
    LoadWith({declaration});
    ShowWindow(Handle(0), SW_SHOW);
    PumpMessages();
  }
  static HWND Link() { return Handle(kLinkId); }
  static void Click() { SendMessageW(Link(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)); }

  const units_test::UnitProperties link{kWindowId, kLinkId, units::kHyperLinkerType};
};

TEST_F(HyperLinkerUnit, PicksAreClampedAsWritten) {
  Load(DrawnLink());
  HWND before = Link();
  const units_test::PropertyCase cases[] = {
      {"link type above its range", units::HL_LINK_TYPE, 7, 1},
      {"border style above its range", units::HL_BORDER_STYLE, 9, 5},
  };
  link.ExpectReads(cases);
  EXPECT_EQ(Link(), before) << "no write re-creates the link";
}

TEST_F(HyperLinkerUnit, BorderStyleIsAppliedAtOnce) {
  Load(DrawnLink());
  struct Case {
    int32_t written;
    DWORD style;
    DWORD exStyle;
  } cases[] = {
      {3, 0, WS_EX_STATICEDGE}, {9, WS_BORDER, 0}, {0, 0, 0},
  };
  constexpr DWORD kExStyles = WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME;
  for (const Case& c : cases) {
    link.Write(units::HL_BORDER_STYLE, c.written);
    EXPECT_EQ(units_test::StyleOf(Link()) & WS_BORDER, c.style) << "border style " << c.written;
    EXPECT_EQ(units_test::ExStyleOf(Link()) & kExStyles, c.exStyle) << "border style " << c.written;
  }
}

TEST_F(HyperLinkerUnit, EveryKindOfPropertyTravelsThroughTheFramework) {
  Load(DrawnLink());
  HWND before = Link();
  link.Write(units::HL_CAPTION, "链接");
  link.Write(units::HL_EMAIL_ADDRESS, "me@example.org");
  link.Write(units::HL_HOVER_COLOR, 0x00123456);
  link.Write(units::HL_BACK_COLOR, win::kDefaultColor);
  link.Write(units::HL_FONT, 20, win::FONT_SIZE);
  link.Write(units::HL_FONT, "Tahoma", win::FONT_FACE);

  EXPECT_EQ(units_test::TextOf(Link()), L"链接");
  EXPECT_EQ(link.ReadText(units::HL_CAPTION), "链接");
  EXPECT_EQ(link.ReadText(units::HL_EMAIL_ADDRESS), "me@example.org");
  EXPECT_EQ(link.ReadNumber(units::HL_HOVER_COLOR), 0x00123456);
  EXPECT_EQ(link.ReadNumber(units::HL_BACK_COLOR), int32_t(win::kDefaultColor));
  EXPECT_EQ(link.ReadNumber(units::HL_FONT, win::FONT_SIZE), 20);
  EXPECT_EQ(link.ReadText(units::HL_FONT, win::FONT_FACE), "Tahoma");
  EXPECT_EQ(Link(), before) << "no write re-creates the link";

  auto stored = units::ReadHyperLinkerBlob(units_test::Serialize(units::HyperLinkerInterface, Unit(kLinkId)));
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->caption, "链接");
  EXPECT_EQ(stored->emailAddress, "me@example.org");
  EXPECT_EQ(stored->hoverColor, 0x00123456u);
  EXPECT_EQ(stored->font.size(), win::kLogFontSize);
}

// Writing an address redraws the link when it shows that address.
TEST_F(HyperLinkerUnit, AnEmptyCaptionShowsTheAddress) {
  units::HyperLinkerProperties p = DrawnLink();
  p.caption = "";
  p.webAddress = "Ombre";
  Load(p);
  std::vector<COLORREF> address = Shown(Link());
  EXPECT_GT(Count(address, kNormal), 0u) << "the web address is drawn";
  link.Write(units::HL_CAPTION, "Ombre");
  EXPECT_EQ(Shown(Link()), address) << "the caption looks like the address it replaces";

  link.Write(units::HL_CAPTION, "");
  link.Write(units::HL_LINK_TYPE, 0);
  EXPECT_EQ(Count(Shown(Link()), kNormal), 0u) << "the empty e-mail address draws nothing";
  link.Write(units::HL_EMAIL_ADDRESS, "Ombre");
  EXPECT_EQ(Shown(Link()), address) << "the e-mail address is drawn";
}

TEST_F(HyperLinkerUnit, HoverColourFollowsTheMouse) {
  Load(DrawnLink());
  EXPECT_EQ(TextColors(Link()), "normal 1, visited 0, hover 0");
  SendMessageW(Link(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(TextColors(Link()), "normal 0, visited 0, hover 1");
  EXPECT_EQ(GetCapture(), Link()) << "the link watches the mouse leave";
  SendMessageW(Link(), WM_MOUSEMOVE, 0, MAKELPARAM(-5, 5));
  EXPECT_EQ(TextColors(Link()), "normal 1, visited 0, hover 0");
  EXPECT_EQ(GetCapture(), nullptr);
}

// An empty address fails the open without calling anything.
TEST_F(HyperLinkerUnit, AFailedOpenAfterASuccessfulOneShowsTheNormalColour) {
  wchar_t system[MAX_PATH];
  GetSystemDirectoryW(system, MAX_PATH);
  units::HyperLinkerProperties p = DrawnLink();
  p.webAddress = rt::GbkFromWide(std::wstring(system) + L"\\rundll32.exe");  // starts and ends, showing nothing
  Load(p);
  Click();
  EXPECT_EQ(TextColors(Link()), "normal 0, visited 1, hover 0");
  link.Write(units::HL_WEB_ADDRESS, "");
  Click();
  EXPECT_EQ(TextColors(Link()), "normal 1, visited 0, hover 0");
}

TEST_F(HyperLinkerUnit, FocusRaisesItsEvents) {
  Load(DrawnLink(), {{win::EV_GOT_FOCUS, testing_support::Handler(0)}, {win::EV_LOST_FOCUS, testing_support::Handler(1)}});
  Calls().clear();
  SetFocus(Link());
  SetFocus(Handle(0));
  constexpr std::string_view kNames[] = {"got focus", "lost focus"};
  EXPECT_EQ(CallsSeen(kNames), "got focus, lost focus");
}

}  // namespace
