#include "runtime/message_loop.h"

#include <gtest/gtest.h>

#include <vector>

#include "runtime/state.h"

namespace {

using namespace rt;

std::vector<intptr_t> calls;
void Record(intptr_t parameter) { calls.push_back(parameter); }

HWND MakeWindow() {
  return CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
}

// One idle pass: a modal wait whose window is already gone returns as soon
// as the loop has been idle once.
void RunOneIdlePass() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  State().modalWaits.push_back(0);
  RunLoop(LoopMode::ModalWait);
  State().modalWaits.pop_back();
}

TEST(IdleRoutines, RunWhileTheirWindowLivesAndAreDroppedAfter) {
  calls.clear();
  State().idleRoutines.clear();
  HWND live = MakeWindow(), doomed = MakeWindow();
  RegisterIdleRoutine(live, Record, 1);
  RegisterIdleRoutine(doomed, Record, 2);
  RegisterIdleRoutine(live, Record, 3);      // the window has one already
  RegisterIdleRoutine(nullptr, Record, 4);
  RegisterIdleRoutine(live, nullptr, 5);
  ASSERT_EQ(State().idleRoutines.size(), 2u);
  RunOneIdlePass();
  EXPECT_EQ(calls, (std::vector<intptr_t>{2, 1})) << "from the last entry to the first";
  DestroyWindow(doomed);
  calls.clear();
  RunOneIdlePass();
  EXPECT_EQ(calls, std::vector<intptr_t>{1}) << "the dead window's routine is not called";
  EXPECT_EQ(State().idleRoutines.size(), 1u);
  UnregisterIdleRoutine(live);
  EXPECT_TRUE(State().idleRoutines.empty());
  DestroyWindow(live);
}

TEST(DoEvents, LeavesTheQuitMessageForTheLoop) {
  PostQuitMessage(3);
  DoEvents();
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, UINT(WM_QUIT));
  EXPECT_EQ(msg.wParam, 3u);
}

}  // namespace
