// ShowMessage with real message boxes: a watcher thread finds the box this
// process shows, records what it shows and presses one of its buttons.
#include "commands/message_box.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "commands_window_fixture.h"

namespace {

using namespace commands_test;
constexpr ULONGLONG kPatienceMs = 10000;

// What a message box showed while it was up.
struct BoxSeen {
  bool found = false;
  std::wstring title;
  std::wstring text;
  HWND owner = nullptr;
  bool topmost = false;
  bool probeEnabled = false;  // the probe window, while the box was up
};

std::wstring WindowText(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

// A shown dialog box of this process; null when there is none.
HWND ShownDialogOfThisProcess() {
  HWND found = nullptr;
  EnumWindows(
      [](HWND window, LPARAM result) -> BOOL {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process != GetCurrentProcessId() || ClassOf(window) != L"#32770" || !IsWindowVisible(window)) return TRUE;
        *reinterpret_cast<HWND*>(result) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// The texts of the box's static controls; the icon's is empty.
std::wstring StaticTexts(HWND box) {
  std::wstring texts;
  EnumChildWindows(
      box,
      [](HWND child, LPARAM texts) -> BOOL {
        if (ClassOf(child) == L"Static") *reinterpret_cast<std::wstring*>(texts) += WindowText(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&texts));
  return texts;
}

class BoxWatcher {
 public:
  BoxWatcher(int button, HWND probe) : button_(button), probe_(probe), thread_([this] { Watch(); }) {}
  ~BoxWatcher() {
    if (thread_.joinable()) Finish();
  }
  // Called once the box has gone (or never came).
  BoxSeen Finish() {
    boxGone_ = true;
    thread_.join();
    return seen_;
  }

 private:
  template <class Found>
  auto WaitFor(Found found) -> decltype(found()) {
    for (ULONGLONG end = GetTickCount64() + kPatienceMs; GetTickCount64() < end && !boxGone_; Sleep(5))
      if (auto result = found()) return result;
    return {};
  }

  void Watch() {
    HWND box = WaitFor(ShownDialogOfThisProcess);
    if (!box) return;
    HWND button = WaitFor([&] { return GetDlgItem(box, button_); });
    seen_ = {true, WindowText(box), StaticTexts(box), GetWindow(box, GW_OWNER),
             (GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, probe_ && IsWindowEnabled(probe_) != FALSE};
    if (button) PostMessageW(button, BM_CLICK, 0, 0);
    else PostMessageW(box, WM_COMMAND, IDOK, 0);  // a box without that button still ends
  }

  int button_;
  HWND probe_;
  std::atomic<bool> boxGone_ = false;
  BoxSeen seen_;
  std::thread thread_;  // last: it starts watching once the rest is set
};

class ShowMessage : public CommandWindows {
 protected:
  void SetUp() override {
    CommandWindows::SetUp();
    probe_ = CreateWindowExW(0, L"Static", L"probe", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(probe_, nullptr);
  }
  void TearDown() override {
    DestroyWindow(probe_);
    CommandWindows::TearDown();
  }

  // Shows the box, presses `button` in it, and gives back the command's
  // result with what the box showed.
  int32_t Show(std::vector<rt::ArgRecord> arguments, int button, BoxSeen& seen) {
    BoxWatcher watcher(button, probe_);
    int32_t result = int32_t(Call(core::CMD_SHOW_MESSAGE, std::move(arguments)).low);
    seen = watcher.Finish();
    EXPECT_TRUE(seen.found) << "no message box appeared";
    return result;
  }

  HWND probe_ = nullptr;
};

TEST_F(ShowMessage, ButtonsAreNumberedFromZero) {
  struct Case {
    const char* name;
    UINT buttons;
    int press;
    int32_t expected;
  } cases[] = {
      {"OK", MB_OK, IDOK, 0},
      {"Cancel", MB_OKCANCEL, IDCANCEL, 1},
      {"Abort", MB_ABORTRETRYIGNORE, IDABORT, 2},
      {"Retry", MB_ABORTRETRYIGNORE, IDRETRY, 3},
      {"Ignore", MB_ABORTRETRYIGNORE, IDIGNORE, 4},
      {"Yes", MB_YESNOCANCEL, IDYES, 5},
      {"No", MB_YESNO, IDNO, 6},
      {"Try Again", MB_CANCELTRYCONTINUE, IDTRYAGAIN, 0},
      {"Continue", MB_CANCELTRYCONTINUE, IDCONTINUE, 0},
  };
  for (const Case& c : cases) {
    BoxSeen seen;
    EXPECT_EQ(Show({Text("press"), rt::MakeInt(int32_t(c.buttons))}, c.press, seen), c.expected) << c.name;
  }
}

TEST_F(ShowMessage, MessageAndTitle) {
  const int32_t values[] = {1, 2};
  const int32_t size = 2;
  rt::HeapPtr<> array(rt::MakeArray(rt::TYPE_INT, &size, 1));
  std::memcpy(rt::ArrayData(array.get()), values, sizeof values);
  struct Case {
    const char* name;
    rt::ArgRecord message;
    rt::ArgRecord title;
    const wchar_t* text;
    const wchar_t* shownTitle;
  } cases[] = {
      {"text, no title", Text("中文 message"), kOmitted, L"中文 message", L"信息："},
      {"title", Text("m"), Text("Error"), L"m", L"Error"},
      {"logical", rt::MakeBool(true), kOmitted, L"真", L"信息："},
      {"double", rt::MakeDouble(59.0), kOmitted, L"59", L"信息："},
      {"integer", rt::MakeInt(-7), kOmitted, L"-7", L"信息："},
      {"date-time", rt::MakeDateTime(36526.5), kOmitted, L"2000年1月1日12时", L"信息："},
      {"null text", Text(nullptr), kOmitted, L"", L"信息："},
      {"an array is not shown", rt::MakeBlock(rt::TYPE_INT | rt::kArrayFlag, array.get()), kOmitted, L"", L"信息："},
      {"a unit is not shown", UnitReference(kFirstWindow), kOmitted, L"", L"信息："},
  };
  for (const Case& c : cases) {
    BoxSeen seen;
    Show({c.message, rt::MakeInt(MB_ICONSTOP), c.title}, IDOK, seen);  // flags 16, as the player passes
    EXPECT_EQ(seen.text, c.text) << c.name;
    EXPECT_EQ(seen.title, c.shownTitle) << c.name;
  }
}

TEST_F(ShowMessage, OwnerIsAWindowOrAWindowHandle) {
  ASSERT_TRUE(Load(kFirstWindow));
  HWND window = HWND(LongToHandle(int32_t(Call(core::CMD_GET_WINDOW_HANDLE, {UnitReference(kFirstWindow)}).low)));
  ASSERT_NE(window, nullptr);
  const rt::ArgRecord message = Text("owned"), flags = rt::MakeInt(MB_OK), title = Text("owner");
  struct Case {
    const char* name;
    std::vector<rt::ArgRecord> arguments;
    int count;
    HWND owner;
  } cases[] = {
      {"a loaded window", {message, flags, title, UnitReference(kFirstWindow)}, 4, window},
      {"a window not loaded", {message, flags, title, UnitReference(kSecondWindow)}, 4, nullptr},
      {"a window handle", {message, flags, title, rt::MakeInt(HandleToLong(probe_))}, 4, probe_},
      {"a handle of no window", {message, flags, title, rt::MakeInt(0x7FFF0)}, 4, nullptr},
      {"omitted", {message, flags, title, kOmitted}, 4, nullptr},
      {"only three records given", {message, flags, title, UnitReference(kFirstWindow)}, 3, nullptr},
  };
  for (const Case& c : cases) {
    BoxWatcher watcher(IDOK, nullptr);
    Call(core::CMD_SHOW_MESSAGE, c.arguments, c.count);
    BoxSeen seen = watcher.Finish();
    EXPECT_TRUE(seen.found) << c.name;
    EXPECT_EQ(seen.owner, c.owner) << c.name;
  }
}

// Without an owner, a task-modal box disables this thread's other windows;
// a system-modal box stays on top instead.
TEST_F(ShowMessage, TaskModalUnlessSystemModal) {
  BoxSeen seen;
  Show({Text("task"), rt::MakeInt(MB_OK)}, IDOK, seen);
  EXPECT_FALSE(seen.probeEnabled) << "not task-modal";
  EXPECT_FALSE(seen.topmost);
  Show({Text("system"), rt::MakeInt(MB_OK | MB_SYSTEMMODAL)}, IDOK, seen);
  EXPECT_TRUE(seen.probeEnabled) << "task-modal as well";
  EXPECT_TRUE(seen.topmost);
  EXPECT_TRUE(IsWindowEnabled(probe_));
}

}  // namespace
