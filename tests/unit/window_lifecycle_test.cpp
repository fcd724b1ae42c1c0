// Windows whose handlers destroy them, nested modal windows, the destroy
// command, re-creation before the first show, character events and the
// event sequences of loading, closing and modal flows.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "commands/window_commands.h"
#include "loaded_window.h"
#include "runtime/gbk.h"
#include "runtime/state.h"
#include "units/button.h"
#include "units/edit_box.h"
#include "windows/events.h"
#include "windows/menu.h"
#include "windows/recreate.h"
#include "windows/window_unit.h"

namespace {

using namespace testing_support;

constexpr uint32_t kButton = 0x16010001;
constexpr uint32_t kEdit = 0x16010002;
constexpr uint32_t kButtonType = 0x0001000B;
constexpr uint32_t kEditType = 0x00010005;
constexpr uint32_t kRecordTabStop = 4;

// Work queued for the message loop: each action runs when a loop (outer or
// nested) dispatches its message.
class Actions {
 public:
  Actions() {
    win::RegisterUnitClass(L"TestActions", 0, nullptr);
    window_ = CreateWindowExW(0, L"TestActions", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc));
  }
  ~Actions() {
    DestroyWindow(window_);
    queue().clear();
  }
  void Post(std::function<void()> action) {
    queue().push_back(std::move(action));
    PostMessageW(window_, WM_APP, 0, 0);
  }

 private:
  static std::deque<std::function<void()>>& queue() {
    static std::deque<std::function<void()>> actions;
    return actions;
  }
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_APP || queue().empty()) return DefWindowProcW(window, message, wParam, lParam);
    std::function<void()> action = std::move(queue().front());
    queue().pop_front();
    action();
    return 0;
  }
  HWND window_;
};

// Every test window's own record has this ID.
rt::ArgRecord WindowReference(uint32_t windowId) { return {windowId, 0x06010000, 0x00010001}; }

// Ends every message loop of this thread when a wait would never end.
bool watchdogFired = false;
void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD) {
  watchdogFired = true;
  PostQuitMessage(0);
}

class Lifecycle : public LoadedWindowTest {
 protected:
  win::WindowTemplate& Template() { return *win::FindTemplate(kWindowId); }
  bool Loaded() { return win::LoadedWindow(Template()) != nullptr; }
};

TEST_F(Lifecycle, AWindowItsCreatedHandlerDestroysLoadsWithoutTouchingIt) {
  ActOn(0, [](rt::HandlerCall&) { DestroyWindow(Handle(0)); });
  LoadWith(WindowSpec{{}, {{0, Handler(0)}, {3, Handler(1)}, {4, Handler(2)}}});
  EXPECT_FALSE(Loaded());
  ASSERT_EQ(Calls().size(), 1u) << "events 3 and 4 belong to a window that is gone";
  EXPECT_EQ(Template().snapshot, std::nullopt) << "the unit list is back as it was";
}

TEST_F(Lifecycle, AWindowItsMovedHandlerDestroysStopsRaisingEvents) {
  ActOn(1, [](rt::HandlerCall&) { DestroyWindow(Handle(0)); });
  LoadWith(WindowSpec{{}, {{0, Handler(0)}, {3, Handler(1)}, {4, Handler(2)}}});
  EXPECT_FALSE(Loaded());
  EXPECT_EQ(Calls().size(), 2u);
}

TEST_F(Lifecycle, ACloseRequestHandlerThatDestroysTheWindowEndsTheClose) {
  ActOn(0, [](rt::HandlerCall&) { DestroyWindow(Handle(0)); });
  LoadWith(WindowSpec{{}, {{12, Handler(0)}, {1, Handler(1)}, {2, Handler(2)}}});
  SendMessageW(Handle(0), WM_CLOSE, 0, 0);
  EXPECT_FALSE(Loaded());
  std::vector<int> handlers;
  for (const HandlerCallRecord& call : Calls()) handlers.push_back(call.handler);
  EXPECT_EQ(handlers, (std::vector<int>{0, 2})) << "close request, then destroying; never the close query";
}

TEST_F(Lifecycle, TheDestroyCommandClosesAtOnceFromInsideTheWindowsOwnHandler) {
  ActOn(0, [](rt::HandlerCall&) {
    rt::ArgRecord arguments[] = {WindowReference(kWindowId), rt::MakeBool(true)};
    rt::ArgRecord result{};
    core::DestroyFormWindow(&result, 2, arguments);
  });
  WindowSpec window{{}, {{12, Handler(1)}, {2, Handler(2)}}};
  window.menu = {{0x26010001, 0, "Close", 0, 0, Handler(0)}};
  LoadWith(window);
  SendMessageW(Handle(0), WM_COMMAND, win::kFirstMenuCommand, 0);
  EXPECT_FALSE(Loaded());
  std::vector<int> handlers;
  for (const HandlerCallRecord& call : Calls()) handlers.push_back(call.handler);
  EXPECT_EQ(handlers, (std::vector<int>{0, 2})) << "the menu click, then destroying; no close request";
}

TEST_F(Lifecycle, TheDestroyCommandOtherwiseClosesWhenMessagesAreNextProcessed) {
  LoadWith(WindowSpec{{}, {{12, Handler(0)}}});
  rt::ArgRecord arguments[] = {WindowReference(kWindowId), {}};
  rt::ArgRecord result{};
  core::DestroyFormWindow(&result, 2, arguments);
  EXPECT_TRUE(Loaded()) << "still there until its thread processes messages";
  auto* window = win::WindowUnit::From(Unit(0));
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->closing());
  PumpMessages();
  EXPECT_FALSE(Loaded());
  EXPECT_TRUE(Calls().empty()) << "no close events";
}

TEST_F(Lifecycle, ReloadingTheOnlyWindowWhilePendingCloseKeepsTheProgramRunning) {
  LoadWith(WindowSpec{});
  HWND first = Handle(0);
  rt::State().started = true;
  win::WindowUnit::From(Unit(0))->MarkClosing();
  ASSERT_TRUE(win::LoadWindow(Template(), false, nullptr));
  MSG quit;
  bool quitPosted = PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  EXPECT_FALSE(quitPosted) << "the window was loaded anew";
  EXPECT_FALSE(IsWindow(first));
  EXPECT_TRUE(Loaded());
  DestroyWindow(Handle(0));
  quitPosted = PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  rt::State().started = false;
  EXPECT_TRUE(quitPosted) << "the last window's end ends the program";
}

TEST_F(Lifecycle, RecreatingBeforeTheFirstShowKeepsVisibilityAndTabStop) {
  UnitSpec button{kButton, kButtonType};
  button.flags = 1 | kRecordTabStop;
  LoadWith({button});
  ASSERT_FALSE(IsWindowVisible(Handle(0))) << "loaded, not shown";
  HWND old = Handle(kButton);
  win::RecreateUnit(Template(), 1);
  HWND made = Handle(kButton);
  ASSERT_NE(made, old);
  EXPECT_FALSE(IsWindow(old));
  LONG style = GetWindowLongW(made, GWL_STYLE);
  EXPECT_TRUE(style & WS_VISIBLE) << "shown with its window";
  EXPECT_TRUE(style & WS_TABSTOP);
}

TEST_F(Lifecycle, AMenuRebuildNeverDrawsItsItemsItself) {
  WindowSpec window;
  window.properties.option = true;
  window.menu = {{0x26010001, 0, "File"}, {0x26010002, 1, "Open"}};
  LoadWith(window);
  win::WindowUnit::From(Unit(0))->RebuildMenu();
  HMENU file = GetSubMenu(GetMenu(Handle(0)), 0);
  ASSERT_NE(file, nullptr);
  MENUITEMINFOW info{sizeof info, MIIM_FTYPE};
  ASSERT_TRUE(GetMenuItemInfoW(file, 0, TRUE, &info));
  EXPECT_FALSE(info.fType & MFT_OWNERDRAW);
}

TEST_F(Lifecycle, ALoadThatFailsCallsNoHandlerWhileTakingItsWindowBack) {
  UnitSpec refused{kButton + 2, 0x0001000A, 0, {}, "", {99, 0, 0, 0}};  // a label blob of a future version
  UnitSpec edit{kEdit, kEditType, 0, {{-8, Handler(1)}}};
  InstallWindow(kWindowId, WindowList(WindowSpec{{refused, edit}, {{2, Handler(0)}}}));
  EXPECT_FALSE(win::LoadWindow(Template(), false, nullptr));
  EXPECT_FALSE(Loaded());
  EXPECT_TRUE(Calls().empty()) << "the window never loaded: its handlers have nothing to act on";
  EXPECT_FALSE(win::EventsSuppressed());
}

TEST_F(Lifecycle, AFocusHandlerThatDestroysTheWindowEndsItsActivation) {
  UnitSpec button{kButton, kButtonType, 0, {{-7, Handler(0)}}};
  button.flags = 1 | kRecordTabStop;
  ActOn(0, [](rt::HandlerCall&) { DestroyWindow(Handle(0)); });
  LoadWith(WindowSpec{{button}, {{8, Handler(1)}, {5, Handler(2)}}});
  win::WindowUnit::From(Unit(0))->Show();
  EXPECT_FALSE(Loaded());
  std::vector<int> handlers;
  for (const HandlerCallRecord& call : Calls()) handlers.push_back(call.handler);
  EXPECT_EQ(handlers, std::vector<int>{0}) << "no activation events for a window that is gone";
}

// The form windows this thread has, whether the registry knows them or not.
std::vector<HWND> FormWindows() {
  std::vector<HWND> windows;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM found) {
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        if (std::wstring(name) == L"VNWindow") reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

TEST_F(Lifecycle, AWindowThatAPendingMessageLoadsMeanwhileIsNotLoadedTwice) {
  InstallWindow(kWindowId, WindowList(WindowSpec{}));
  Actions actions;
  actions.Post([this] { EXPECT_TRUE(win::LoadWindow(Template(), false, nullptr)); });
  ASSERT_TRUE(win::LoadWindow(Template(), false, nullptr));
  std::vector<HWND> windows = FormWindows();
  EXPECT_EQ(windows, std::vector<HWND>{Handle(0)}) << "one live instance, the one its record holds";
  for (HWND window : windows) DestroyWindow(window);
}

TEST_F(Lifecycle, AModalWindowEndedWhileItDisablesTheOthersTakesNoneOfThem) {
  constexpr uint32_t kFocused = 0x52017011, kOther = 0x52017012, kModal = 0x52017013;
  InstallWindow(kFocused, WindowList(WindowSpec{{}, {{-8, Handler(0)}}}));
  InstallWindow(kOther, WindowList(WindowSpec{}));
  InstallWindow(kModal, WindowList(WindowSpec{}));
  for (uint32_t id : {kFocused, kOther}) ASSERT_TRUE(win::LoadWindow(*win::FindTemplate(id), false, nullptr));
  win::WindowUnit::From(win::LiveUnitObject(kFocused, 0))->Show();
  ASSERT_EQ(GetFocus(), win::LiveUnitObject(kFocused, 0)->handle());
  // Disabling the focused window takes its focus; its handler ends the modal one.
  ActOn(0, [](rt::HandlerCall&) { DestroyWindow(win::LiveUnitObject(kModal, 0)->handle()); });
  ASSERT_TRUE(win::LoadWindow(*win::FindTemplate(kModal), true, nullptr));
  EXPECT_EQ(win::LiveUnitObject(kModal, 0), nullptr);
  for (uint32_t id : {kFocused, kOther})
    EXPECT_TRUE(IsWindowEnabled(win::LiveUnitObject(id, 0)->handle())) << std::hex << id << ": nobody gives it back";
}

struct CharacterCase {
  const char* name;
  wchar_t typed;
  int32_t code;  // what the handler sees
};

TEST_F(Lifecycle, CharacterEventsCarryGbkCodesAndTheirAnswerIsOne) {
  LoadWith({{kEdit, kEditType, 0, {{-11, Handler(0)}}}});
  const CharacterCase cases[] = {
      {"ASCII", L'a', 'a'},
      {"two-byte", L'吴', 0xCEE2},
      {"not in code page 936", L'\u0E01', '?'},
      {"half of a surrogate pair", L'\xD83D', '?'},
  };
  for (const CharacterCase& c : cases) {
    Calls().clear();
    MSG message{Handle(kEdit), WM_CHAR, WPARAM(c.typed), 0};
    win::PreTranslateThroughAncestors(message);
    ASSERT_EQ(Calls().size(), 1u) << c.name;
    EXPECT_EQ(Calls()[0].arguments, std::vector<int64_t>{c.code}) << c.name;
  }
  AnswerNext(0xB0A1);  // 啊
  MSG message{Handle(kEdit), WM_CHAR, WPARAM(L'a'), 0};
  EXPECT_FALSE(win::PreTranslateThroughAncestors(message)) << "a replaced character goes on";
  EXPECT_EQ(message.wParam, WPARAM(L'啊'));
}

// Two windows of the same test: the outer one shown modally first.
class NestedModal : public LoadedWindowTest {
 protected:
  static constexpr uint32_t kOuter = 0x52017001, kInner = 0x52017002;
  void SetUp() override {
    LoadedWindowTest::SetUp();
    InstallWindow(kOuter, WindowList(WindowSpec{{}, {{0, Handler(1)}}}));
    InstallWindow(kInner, WindowList(WindowSpec{{}, {{0, Handler(0)}}}));
  }
  static HWND Window(uint32_t id) {
    win::UnitObject* window = win::LiveUnitObject(id, 0);
    return window ? window->handle() : nullptr;
  }
  static intptr_t LoadModal(uint32_t id) {
    win::LoadRequest request{id, nullptr, 1};
    return win::LoadWindowRequest(request);
  }
};

TEST_F(NestedModal, AnOuterModalWindowThatDiesMeanwhileEndsItsLoadToo) {
  Actions actions;
  watchdogFired = false;
  // The inner window, once created, destroys the outer one and then closes.
  ActOn(0, [&](rt::HandlerCall&) {
    actions.Post([] { DestroyWindow(Window(kOuter)); });
    actions.Post([] { PostMessageW(Window(kInner), WM_CLOSE, 0, 0); });
  });
  // The outer window, once created, has the inner one loaded by its loop.
  ActOn(1, [&](rt::HandlerCall&) { actions.Post([] { EXPECT_EQ(LoadModal(kInner), 0); }); });
  UINT_PTR watchdog = SetTimer(nullptr, 0, 10000, &Watchdog);
  EXPECT_EQ(LoadModal(kOuter), 0);
  KillTimer(nullptr, watchdog);
  MSG quit;
  PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  EXPECT_FALSE(watchdogFired) << "the outer load never returned by itself";
  EXPECT_EQ(Window(kOuter), nullptr);
  EXPECT_EQ(Window(kInner), nullptr);
  EXPECT_TRUE(rt::State().modalWaits.empty());
}

TEST_F(NestedModal, AModalWindowClosedByTheDestroyCommandEndsItsLoad) {
  ActOn(0, [](rt::HandlerCall&) {
    rt::ArgRecord arguments[] = {WindowReference(kInner)};
    rt::ArgRecord result{};
    core::DestroyFormWindow(&result, 1, arguments);
  });
  EXPECT_EQ(LoadModal(kInner), 0);
  EXPECT_EQ(Window(kInner), nullptr);
}

}  // namespace

namespace {

// The events of a window and of one edit box on it, each bound to its own
// recording handler, so a flow's calls read as a sequence of names.
const char* const kEventNames[] = {
    "created",   "close query", "destroying", "moved", "resized", "activated", "deactivated", "first activation",
    "shown",     "hidden",      "close request", "got focus", "lost focus", "box got focus", "box lost focus",
};
constexpr int32_t kWindowEvents[] = {0, 1, 2, 3, 4, 5, 6, 8, 10, 11, 12, -7, -8};

class EventSequences : public LoadedWindowTest {
 protected:
  static constexpr uint32_t kMain = 0x52017101, kDialog = 0x52017102;

  void SetUp() override {
    LoadedWindowTest::SetUp();
    InstallWindow(kMain, WindowList(WindowWithHandlersFrom(0)));
    InstallWindow(kDialog, WindowList(WindowWithHandlersFrom(kSecondWindow)));
  }

  // Handler k + offset records window event k (in kWindowEvents order);
  // the box's focus events come after them.
  static constexpr int kSecondWindow = 16;
  static WindowSpec WindowWithHandlersFrom(int offset) {
    WindowSpec window;
    for (int k = 0; k < int(std::size(kWindowEvents)); ++k) window.events.push_back({kWindowEvents[k], Handler(offset + k)});
    UnitSpec box{kEdit, kEditType, 0, {{-7, Handler(offset + 13)}, {-8, Handler(offset + 14)}}};
    box.flags = 1 | kRecordTabStop;
    window.units = {box};
    return window;
  }

  // The calls since the last look, as "window: event" names.
  static std::vector<std::string> Sequence() {
    std::vector<std::string> names;
    for (const HandlerCallRecord& call : Calls()) {
      std::string window = call.handler >= kSecondWindow ? "dialog" : "main";
      names.push_back(window + ": " + kEventNames[call.handler % kSecondWindow]);
    }
    Calls().clear();
    return names;
  }

  static intptr_t Load(uint32_t id, bool modal) {
    win::LoadRequest request{id, nullptr, modal};
    return win::LoadWindowRequest(request);
  }
  static HWND Window(uint32_t id) {
    win::UnitObject* window = win::LiveUnitObject(id, 0);
    return window ? window->handle() : nullptr;
  }
};

using Names = std::vector<std::string>;

TEST_F(EventSequences, LoadingAndShowingAWindow) {
  ASSERT_EQ(Load(kMain, false), 0);
  PumpMessages();
  // The focus is in place before the activation events; the first show
  // brings the platform's own size and move messages.
  EXPECT_EQ(Sequence(), (Names{"main: created", "main: moved", "main: resized", "main: shown", "main: box got focus",
                               "main: first activation", "main: activated", "main: resized", "main: moved"}));
}

TEST_F(EventSequences, ClosingAWindow) {
  ASSERT_EQ(Load(kMain, false), 0);
  PumpMessages();
  Sequence();
  SendMessageW(Window(kMain), WM_CLOSE, 0, 0);
  PumpMessages();
  EXPECT_EQ(Sequence(), (Names{"main: close request", "main: close query", "main: deactivated",
                               "main: box lost focus", "main: destroying"}));
}

TEST_F(EventSequences, AModalWindowOverAnother) {
  ASSERT_EQ(Load(kMain, false), 0);
  PumpMessages();
  Sequence();
  Actions actions;
  std::vector<Names> steps;
  // Once the dialog is up, its loop records what happened and closes it.
  ActOn(kSecondWindow + 5, [&](rt::HandlerCall&) {
    actions.Post([&] {
      steps.push_back(Sequence());
      PostMessageW(Window(kDialog), WM_CLOSE, 0, 0);
    });
  });
  ASSERT_EQ(Load(kDialog, true), 0);
  PumpMessages();
  steps.push_back(Sequence());
  ASSERT_EQ(steps.size(), 2u);
  EXPECT_EQ(steps[0], (Names{"dialog: created", "dialog: moved", "dialog: resized", "dialog: shown",
                             "main: deactivated", "main: box lost focus", "dialog: box got focus",
                             "dialog: first activation", "dialog: activated", "dialog: resized", "dialog: moved"}));
  // The main window is enabled before the dialog goes, so the platform
  // activates it while the dialog is being destroyed.
  EXPECT_EQ(steps[1], (Names{"dialog: close request", "dialog: close query", "dialog: deactivated",
                             "dialog: box lost focus", "main: box got focus", "main: activated",
                             "dialog: destroying"}));
  EXPECT_TRUE(IsWindowEnabled(Window(kMain)));
}

}  // namespace
