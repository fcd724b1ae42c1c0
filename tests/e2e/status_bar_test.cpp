// The status bar commands in a real window, driven from outside: a gallery
// button runs them on StatusBar1, its handler logs what GetPartText reads,
// and the bar's texts and right edges are read back across processes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver.h"
#include "gallery_fixture.h"

namespace {

using e2e::Utf8;

constexpr int kStatusBarId = e2e::GalleryControlId(14);
constexpr int kStatusButtonId = e2e::GalleryControlId(18);

class GalleryStatusBar : public e2e::Gallery {
 protected:
  void SetUp() override {
    e2e::Gallery::SetUp();
    bar_ = driver::waitChild(window_, L"msctls_statusbar32", kStatusBarId, e2e::kTimeout);
    ASSERT_NE(bar_, nullptr);
  }

  // One click runs the handler's next scenario.
  void Click() { PostMessageW(Control(kStatusButtonId), BM_CLICK, 0, 0); }

  std::vector<std::wstring> ShownTexts() {
    std::vector<std::wstring> texts;
    for (size_t i = 0; i < driver::statusRightEdges(bar_).size(); ++i) texts.push_back(driver::statusText(bar_, int(i)));
    return texts;
  }

  HWND bar_ = nullptr;
};

struct ClickCase {
  const char* name;
  std::wstring logged;  // the handler's line: parts 0 to 2 as GetPartText reads them
  std::vector<std::wstring> shown;
  std::vector<int> edges;
};

TEST_F(GalleryStatusBar, CommandsChangeTheShownPartsAndReadTheirTextsBack) {
  const ClickCase clicks[] = {
      {"part 0 written, part 5 ignored, widths 120 and 300", L"OnStatusCommands 1 状态 Busy|单元展示 Gallery|",
       {L"状态 Busy", L"单元展示 Gallery"}, {120, 420}},
      {"part 1 emptied, width 0 omitted, width 1 below -1", L"OnStatusCommands 2 状态 Busy||", {L"状态 Busy", L""},
       {50, -1}},
  };
  ASSERT_EQ(ShownTexts(), (std::vector<std::wstring>{L"状态 Ready", L"单元展示 Gallery"}));
  ASSERT_EQ(driver::statusRightEdges(bar_), (std::vector<int>{200, -1}));
  for (const ClickCase& c : clicks) {
    SCOPED_TRACE(c.name);
    Click();
    ASSERT_TRUE(WaitForLine(Utf8(c.logged)));
    EXPECT_EQ(ShownTexts(), c.shown);
    EXPECT_EQ(driver::statusRightEdges(bar_), c.edges);
  }
}

// The player writes its status from its playback thread while the user
// resizes the window: every write reads back as written, and the bar shows
// the last one.
TEST_F(GalleryStatusBar, AWorkerThreadsWritesReachTheBarWhileTheWindowResizes) {
  Click();
  ASSERT_TRUE(WaitForLine(Utf8(L"OnStatusCommands 1 状态 Busy|单元展示 Gallery|")));
  Click();
  ASSERT_TRUE(WaitForLine(Utf8(L"OnStatusCommands 2 状态 Busy||")));
  Click();
  const std::string done = Utf8(L"OnStatusWorker 线程 Worker 200 misread 0");
  for (int round = 0; Count(done) == 0 && round < 400; ++round) {
    SetWindowPos(window_, nullptr, 0, 0, 560 + round % 5 * 40, 420 + round % 3 * 30,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Sleep(10);
  }
  ASSERT_TRUE(WaitForLine(done));
  EXPECT_EQ(ShownTexts(), (std::vector<std::wstring>{L"状态 Busy", L"线程 Worker 200"}));
}

}  // namespace
