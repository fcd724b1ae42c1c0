#include "units/hyper_linker.h"

#include <gtest/gtest.h>

#include "tests/unit/units_test_support.h"

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

}  // namespace
