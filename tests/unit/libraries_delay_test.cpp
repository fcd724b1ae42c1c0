#include "libraries/utilities/delay.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <thread>

#include "libraries/libraries.h"
#include "program_fixture.h"
#include "timing.h"

namespace {

using namespace lib::utilities;

using testing_support::NowMs;
using testing_support::ThreadCpuMs;

// Program code's call, through the library's checking entry; the callback
// that processes messages comes with the fixture's libraries. Answers how
// many milliseconds it took.
class Delaying : public testing_support::ProgramFixture {
 protected:
  static double Delay(int32_t time) {
    rt::ArgRecord argument = rt::MakeInt(time), result{};
    double start = NowMs();
    lib::kUtilitiesLibrary.commands[CMD_DELAY](&result, 1, &argument);
    return NowMs() - start;
  }
};

struct AtOnceCase {
  const char* name;
  int32_t time;
};

TEST_F(Delaying, NoTimeOrANegativeTimeReturnsAtOnce) {
  const AtOnceCase cases[] = {{"zero", 0}, {"negative", -5}, {"most negative", INT32_MIN}};
  for (const AtOnceCase& c : cases) EXPECT_LT(Delay(c.time), 2.0) << c.name;
}

// The shortest of many runs, so that a busy machine cannot fail it: a
// delay paced by a 16 ms system tick (Windows's usual step) could not come
// in under 14 ms in any of them.
TEST_F(Delaying, TenMillisecondsLastAtLeastTenAndNotATickLonger) {
  double shortest = 1e9;
  for (int run = 0; run < 40; ++run) {
    double took = Delay(10);
    EXPECT_GE(took, 10.0) << "run " << run;
    shortest = std::min(shortest, took);
  }
  EXPECT_LT(shortest, 14.0);
}

// A message-only window of the test thread that notes when its messages came.
class MessageWindow {
 public:
  static constexpr UINT kPosted = WM_APP + 1, kSent = WM_APP + 2;
  MessageWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"DelayTestWindow";
    RegisterClassW(&wc);
    handle_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    postedArrived = sentArrived = 0;
  }
  ~MessageWindow() { DestroyWindow(handle_); }
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;
  HWND handle() const { return handle_; }
  static inline std::atomic<double> postedArrived{0}, sentArrived{0};

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kPosted) postedArrived = NowMs();
    if (message == kSent) sentArrived = NowMs();
    return DefWindowProcW(window, message, wParam, lParam);
  }
  HWND handle_;
};

// Another thread posts and sends to the delaying thread's window 50 ms into
// a one-second delay; both are handled long before the delay ends.
TEST_F(Delaying, MessagesOfTheCallingThreadAreProcessedWhileItWaits) {
  MessageWindow window;
  ASSERT_NE(window.handle(), nullptr);
  std::atomic<double> postedAt{0}, sentAt{0};
  std::thread other([&] {
    Sleep(50);
    postedAt = NowMs();
    PostMessageW(window.handle(), MessageWindow::kPosted, 0, 0);
    sentAt = NowMs();
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(window.handle(), MessageWindow::kSent, 0, 0, SMTO_NORMAL, 5000, &answer);
  });
  double took = Delay(1000);
  other.join();
  EXPECT_GE(took, 1000.0) << "a message does not end the delay";
  ASSERT_NE(MessageWindow::postedArrived, 0) << "the posted message was handled";
  ASSERT_NE(MessageWindow::sentArrived, 0) << "the sent message was handled";
  EXPECT_LT(MessageWindow::postedArrived - postedAt, 200.0);
  EXPECT_LT(MessageWindow::sentArrived - sentAt, 200.0);
}

struct WorkerCase {
  const char* name;
  int32_t time;
  bool quitWaiting;  // a quit message waits in the worker's queue throughout
};

TEST_F(Delaying, AWorkerThreadSleepsThroughItsDelay) {
  const WorkerCase cases[] = {
      {"two seconds", 2000, false},
      {"a second with a quit message waiting", 1000, true},
  };
  for (const WorkerCase& c : cases) {
    double took = 0, cpu = 0;
    bool quitKept = false;
    std::thread worker([&] {
      if (c.quitWaiting) PostQuitMessage(3);
      double before = ThreadCpuMs();
      took = Delay(c.time);
      cpu = ThreadCpuMs() - before;
      MSG msg;
      quitKept = PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
    });
    worker.join();
    EXPECT_GE(took, double(c.time)) << c.name;
    EXPECT_LT(cpu, 0.05 * c.time) << c.name << ": under 5 % of one core";
    EXPECT_EQ(quitKept, c.quitWaiting) << c.name << ": a quit message is left for its loop";
  }
}

}  // namespace
