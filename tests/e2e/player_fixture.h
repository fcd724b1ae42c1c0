// The player under test: started for each test (with a command line when the
// test gives one), driven through its menu, and closed after the test with
// exit code 0 expected.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <memory>
#include <string>
#include <vector>

#include "driver.h"
#include "e2e_support.h"
#include "player_commands.h"

namespace e2e {

// Drops onto the main window from a thread of its own, which lives as long
// as the test: the player's drop handler may show a message box, which the
// drop waits for. One thread and one OLE apartment for every drop: under
// this Wine a drop from a fresh apartment, after many apartments have come
// and gone, can hang in the RPC start-up that marshalling the data needs.
class DropThread {
 public:
  DropThread() : thread_([this] { Serve(); }) {}
  // A drop still under way when the test ends is left to the process's end.
  ~DropThread() {
    {
      std::lock_guard lock(lock_);
      ending_ = true;
    }
    wake_.notify_one();
    stuck_ ? thread_.detach() : thread_.join();
  }
  DropThread(const DropThread&) = delete;
  DropThread& operator=(const DropThread&) = delete;

  std::future<driver::DropOutcome> Drop(HWND main, std::vector<std::wstring> paths) {
    std::packaged_task<driver::DropOutcome()> drop([main, paths] {
      POINT at{300, 200};
      ClientToScreen(main, &at);
      auto data = driver::DragData::make({driver::fileListFormat(paths)});
      return driver::dragAndDrop(*data, at);
    });
    std::future<driver::DropOutcome> done = drop.get_future();
    {
      std::lock_guard lock(lock_);
      drops_.push_back(std::move(drop));
    }
    wake_.notify_one();
    return done;
  }
  void MarkStuck() { stuck_ = true; }

 private:
  void Serve() {
    OleInitialize(nullptr);
    for (;;) {
      std::unique_lock lock(lock_);
      wake_.wait(lock, [&] { return ending_ || !drops_.empty(); });
      if (drops_.empty()) break;
      std::packaged_task<driver::DropOutcome()> drop = std::move(drops_.front());
      drops_.pop_front();
      lock.unlock();
      drop();
    }
    OleUninitialize();
  }

  std::mutex lock_;
  std::condition_variable wake_;
  std::deque<std::packaged_task<driver::DropOutcome()>> drops_;
  bool ending_ = false;
  bool stuck_ = false;
  std::thread thread_;
};

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

  // Drops the paths and waits for the drop to end; a message box that it
  // brings is closed and its title and text returned.
  std::pair<std::wstring, std::wstring> Drop(std::vector<std::wstring> paths) {
    if (!drops_) drops_ = std::make_unique<DropThread>();
    std::future<driver::DropOutcome> drop = drops_->Drop(main_, std::move(paths));
    std::pair<std::wstring, std::wstring> box;
    bool ended = WaitUntil([&] {
      if (HWND shown = driver::waitTopWindow(player_->pid(), L"#32770", nullptr, 0)) {
        box = {driver::windowText(shown), driver::messageBoxText(shown)};
        PostMessageW(shown, WM_COMMAND, IDOK, 0);
      }
      return drop.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready;
    }, kTimeout, 20);
    if (!ended) {
      ADD_FAILURE() << "the drop did not end";
      // Its thread may wake when the player ends, and must find its object;
      // the next drop gets a thread of its own.
      drops_->MarkStuck();
      drops_.release();
    }
    return box;
  }
  // Polls until `done` holds; false after the timeout.
  static bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = kTimeout, DWORD pollMs = 10) {
    for (ULONGLONG deadline = GetTickCount64() + timeoutMs;; Sleep(pollMs)) {
      if (done()) return true;
      if (GetTickCount64() >= deadline) return false;
    }
  }

  // Every window of the player, hidden ones and children included.
  std::vector<HWND> PlayerWindows() const {
    struct Search {
      DWORD pid;
      std::vector<HWND> found;
    } search{player_->pid(), {}};
    EnumWindows([](HWND top, LPARAM found) {
      auto& s = *reinterpret_cast<Search*>(found);
      DWORD pid = 0;
      GetWindowThreadProcessId(top, &pid);
      if (pid != s.pid) return TRUE;
      s.found.push_back(top);
      for (HWND child : driver::children(top, nullptr)) s.found.push_back(child);
      return TRUE;
    }, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }
  // The player's windows that leave a WM_NULL unanswered for `timeoutMs`
  // (one that went away meanwhile is not counted).
  std::vector<HWND> SilentWindows(DWORD timeoutMs = 2000) const {
    std::vector<HWND> silent;
    for (HWND window : PlayerWindows()) {
      DWORD_PTR answer = 0;
      if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &answer) && IsWindow(window))
        silent.push_back(window);
    }
    return silent;
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

  std::unique_ptr<DropThread> drops_;  // made by the first drop, and after a stuck one
  std::unique_ptr<driver::Process> player_;
  HWND main_ = nullptr, edit_ = nullptr, status_ = nullptr;
  int mark_ = 0;
  HWND modal_ = nullptr;  // the last window OpenModal opened
};

}  // namespace e2e
