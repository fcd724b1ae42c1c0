// The player under test: started for each test (with a command line when the
// test gives one), driven through its menu, and closed after the test with
// exit code 0 expected.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "driver.h"
#include "e2e_support.h"
#include "player_commands.h"

namespace e2e {

class PlayerTest : public ::testing::Test {
 public:
  static constexpr DWORD kTimeout = 20000;

 protected:
  // A modal window a test left open is closed first: the user can close
  // the main window only after it.
  void TearDown() override {
    if (modal_ && IsWindow(modal_)) PostMessageW(modal_, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitGone(modal_)) << "the modal window closes";
    if (player_ && player_->running()) CloseAndExpectExitCodeZero();
  }

  // How the player is started; a test that listens to it starts it otherwise.
  virtual driver::Process Launch(const std::wstring& exePath, const std::wstring& arguments) {
    return driver::Process::start(exePath, arguments);
  }

  // Starts the player and waits for its main window and units.
  void StartPlayer(const std::wstring& arguments = L"") {
    player_ = std::make_unique<driver::Process>(Launch(Beside(L"ombrevista.exe"), arguments));
    main_ = driver::waitTopWindow(player_->pid(), L"VNWindow", L"Ombrevista", kTimeout);
    ASSERT_NE(main_, nullptr) << "the main window did not appear";
    edit_ = driver::waitChild(main_, L"Edit", -1, kTimeout);
    status_ = driver::waitChild(main_, L"msctls_statusbar32", -1, kTimeout);
    ASSERT_NE(edit_, nullptr);
    ASSERT_NE(status_, nullptr);
  }

  // Closes the main window like the user does and expects a clean end.
  void CloseAndExpectExitCodeZero() {
    PostMessageW(main_, WM_CLOSE, 0, 0);
    DWORD code = 1;
    ASSERT_TRUE(player_->waitExit(kTimeout, &code)) << "the player did not end";
    EXPECT_EQ(code, 0u);
  }

  // Polls until `done` holds; false after the timeout.
  static bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = kTimeout, DWORD pollMs = 10) {
    for (ULONGLONG deadline = GetTickCount64() + timeoutMs;; Sleep(pollMs)) {
      if (done()) return true;
      if (GetTickCount64() >= deadline) return false;
    }
  }

  HWND WaitWindow(const wchar_t* title) { return driver::waitTopWindow(player_->pid(), nullptr, title, kTimeout); }
  bool WaitGone(HWND window) {
    return WaitUntil([&] { return !IsWindow(window); });
  }

  void Command(PlayerCommand command) { driver::postCommand(main_, command); }
  // Opens a modal window from the menu; it is ready (its created handler
  // has run) once it has disabled the main window.
  HWND OpenModal(PlayerCommand command, const wchar_t* title) {
    Command(command);
    modal_ = driver::waitTopWindow(player_->pid(), L"VNWindow", title, kTimeout);
    bool ready = modal_ && WaitUntil([&] { return !IsWindowEnabled(main_); });
    if (!ready) ADD_FAILURE() << "the modal window did not open";
    return ready ? modal_ : nullptr;
  }
  // The Config window that Start brings, closed by its close box: playback
  // then starts with the values the player had.
  void StartThroughConfig() {
    Command(kStartCommand);
    HWND config = WaitWindow(L"Config");
    ASSERT_NE(config, nullptr);
    PostMessageW(config, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitGone(config));
  }
  // Sets the frame box's font size through Setting/Font.
  void SetFrameFontSize(int points) {
    constexpr int kFontSizeBoxId = 110;  // the Font window's size box
    HWND font = OpenModal(kFontCommand, L"Font");
    ASSERT_NE(font, nullptr);
    SetText(Control(font, kFontSizeBoxId), std::to_wstring(points));
    driver::clickButton(driver::findButton(font, L"OK"));
    ASSERT_TRUE(WaitGone(font));
  }
  // A unit of a window by its control ID.
  static HWND Control(HWND window, int id) { return driver::waitChild(window, nullptr, id, kTimeout); }
  // The player's message box titled "Error"; null when none comes.
  HWND ErrorBox() { return driver::waitTopWindow(player_->pid(), L"#32770", L"Error", kTimeout); }
  // Presses a message box's OK; false when the box stays.
  bool Dismiss(HWND box) {
    driver::clickButton(driver::findButton(box, L"OK"));
    return WaitGone(box);
  }
  static void SetText(HWND window, const std::wstring& text) {
    SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }

  // Whether Open, Start, Pause/Continue and Stop are enabled, as the File
  // menu shows them.
  std::vector<bool> FileItemsEnabled() {
    constexpr int kFileTitleX = 14, kFileItems = 4;
    return driver::menuItemsEnabled(main_, kFileTitleX, kFileItems);
  }

  std::wstring Frame() { return driver::windowText(edit_); }
  std::wstring Status() { return driver::statusText(status_, 1); }
  bool WaitForStatus(const std::wstring& text, DWORD timeoutMs = kTimeout) {
    return WaitUntil([&] { return Status() == text; }, timeoutMs);
  }

  // Waits until the player has processed everything posted so far. A sent
  // message would overtake the posted ones, so the barrier is posted too:
  // the frame box's length limit, which only typing obeys, read back until
  // it has arrived.
  void Settle() {
    mark_ = mark_ % 8 + 1;
    const LPARAM limit = 0x7FFFFFF0 + mark_;
    PostMessageW(edit_, EM_SETLIMITTEXT, WPARAM(limit), 0);
    bool arrived = WaitUntil([&] { return SendMessageW(edit_, EM_GETLIMITTEXT, 0, 0) == limit; });
    if (!arrived) ADD_FAILURE() << "the player did not process its messages";
  }

  std::unique_ptr<driver::Process> player_;
  HWND main_ = nullptr, edit_ = nullptr, status_ = nullptr;
  int mark_ = 0;
  HWND modal_ = nullptr;  // the last window OpenModal opened
};

}  // namespace e2e
