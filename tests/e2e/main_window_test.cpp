// The player's main window and its modal windows, driven from outside.
#include <gtest/gtest.h>

#include "driver.h"
#include "e2e_support.h"
#include "player_fixture.h"

namespace {

using e2e::kAboutCommand;
using e2e::kFontCommand;
constexpr DWORD kTimeout = e2e::PlayerTest::kTimeout;

class Player : public e2e::PlayerTest {
 protected:
  void SetUp() override { StartPlayer(); }
};

TEST_F(Player, MainWindowIsCentredWithItsSizeTitleAndUnits) {
  RECT r;
  GetWindowRect(main_, &r);
  EXPECT_EQ(r.right - r.left, 620);
  EXPECT_EQ(r.bottom - r.top, 550);
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 620) / 2);
  EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 550) / 2);
  HWND edit = driver::waitChild(main_, L"Edit", -1, kTimeout);
  ASSERT_NE(edit, nullptr);
  EXPECT_TRUE(IsWindowVisible(edit));
  HWND status = driver::waitChild(main_, L"msctls_statusbar32", -1, kTimeout);
  ASSERT_NE(status, nullptr);
  RECT client, bar;
  GetClientRect(main_, &client);
  GetWindowRect(status, &bar);
  MapWindowPoints(nullptr, main_, reinterpret_cast<POINT*>(&bar), 2);
  EXPECT_EQ(bar.bottom, client.bottom) << "the status bar sits on the bottom edge";
  EXPECT_TRUE(e2e::SaveScreenshot(e2e::Beside(L"main_window.bmp")));
  CloseAndExpectExitCodeZero();
}

TEST_F(Player, AboutIsModalOnlyOnceAndGivesBackTheMainWindow) {
  Command(kAboutCommand);
  HWND about = driver::waitTopWindow(player_->pid(), L"VNWindow", L"About", kTimeout);
  ASSERT_NE(about, nullptr);
  EXPECT_FALSE(IsWindowEnabled(main_)) << "a modal window disables the main window";
  Command(kAboutCommand);
  PostMessageW(main_, WM_NULL, 0, 0);
  Sleep(300);
  EXPECT_EQ(driver::waitTopWindow(player_->pid(), L"VNWindow", L"About", kTimeout), about)
      << "loading a loaded window makes no second one";
  PostMessageW(about, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitGone(about)) << "the About window closes";
  EXPECT_TRUE(IsWindowEnabled(main_)) << "closing it gives the main window back";
  // The nested loop has ended: the main window still answers its menu.
  Command(kFontCommand);
  HWND font = driver::waitTopWindow(player_->pid(), L"VNWindow", L"Font", kTimeout);
  ASSERT_NE(font, nullptr);
  PostMessageW(font, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitGone(font));
  CloseAndExpectExitCodeZero();
}

TEST_F(Player, CtrlFOpensTheFontWindowThroughTheAccelerator) {
  SetForegroundWindow(main_);
  INPUT keys[4] = {};
  for (INPUT& k : keys) k.type = INPUT_KEYBOARD;
  keys[0].ki.wVk = VK_CONTROL;
  keys[1].ki.wVk = 'F';
  keys[2].ki.wVk = 'F';
  keys[2].ki.dwFlags = KEYEVENTF_KEYUP;
  keys[3].ki.wVk = VK_CONTROL;
  keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(4, keys, sizeof(INPUT));
  HWND font = driver::waitTopWindow(player_->pid(), L"VNWindow", L"Font", kTimeout);
  ASSERT_NE(font, nullptr);
  PostMessageW(font, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitGone(font));
  CloseAndExpectExitCodeZero();
}

// The probe runs the player's forms with handlers that only log their calls.
TEST(Probe, LoadingRaisesTheCreatedAndResizedHandlersAndClosingRunsExitRoutinesOnce) {
  e2e::ProbeLog log(L"probe_windows");
  driver::Process probe = driver::Process::start(e2e::Beside(L"probe.exe"), e2e::Quoted(log.path()) + L" windows");
  HWND main = driver::waitTopWindow(probe.pid(), L"VNWindow", L"Ombrevista", kTimeout);
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_CLOSE, 0, 0);
  DWORD code = 1;
  ASSERT_TRUE(probe.waitExit(kTimeout, &code));
  EXPECT_EQ(code, 0u);
  auto lines = log.lines();
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], "handler OnMainCreated");
  EXPECT_EQ(lines[1], "handler OnMainResized");
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "exit routine on main thread"), 1);
  EXPECT_EQ(lines.back(), "exit routine on main thread") << "shutdown runs after the loop ends";
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "entry returned"), 1);
}

}  // namespace
