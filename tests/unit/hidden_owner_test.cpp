#include "runtime/hidden_owner.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "runtime/state.h"
#include "worker_thread.h"

namespace {

using testing_support::kWorkerPatienceMs;
using testing_support::SentMessageWaiting;

// This test's thread stands for the window thread.
class CarriedWork : public ::testing::Test {
 protected:
  void SetUp() override { rt::State().mainThreadId = GetCurrentThreadId(); }
  void TearDown() override { rt::State().mainThreadId = 0; }
};

void HandleMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

// True when the thread ends within the patience, its messages handled.
bool EndsHandlingMessages(HANDLE thread) {
  for (ULONGLONG start = GetTickCount64(); GetTickCount64() - start < kWorkerPatienceMs; HandleMessages())
    if (MsgWaitForMultipleObjects(1, &thread, FALSE, 50, QS_ALLINPUT) == WAIT_OBJECT_0) return true;
  return false;
}

DWORD WINAPI CarryAFlag(void* flag) {
  rt::RunOnMainThread([flag] { *static_cast<bool*>(flag) = true; });
  return 0;
}

// The player's Stop ends its threads by force, also while one waits for the
// window thread: that thread's work (a frame, a status text, a track to
// play) must not turn up after the Stop.
TEST_F(CarriedWork, OfAThreadEndedWhileItWaitedIsNotRun) {
  bool ran = false;
  HANDLE thread = CreateThread(nullptr, 0, CarryAFlag, &ran, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  ASSERT_TRUE(SentMessageWaiting()) << "the worker never asked for the window thread";
  EXPECT_TRUE(rt::EndThreadByForce(thread, 1));
  EXPECT_EQ(WaitForSingleObject(thread, kWorkerPatienceMs), WAIT_OBJECT_0);
  CloseHandle(thread);
  HandleMessages();
  EXPECT_FALSE(ran) << "the ended thread's work ran";
}

// A thread named for ending that lives on (its end was refused, or its ID
// went on to a new thread) still has its work run.
TEST_F(CarriedWork, OfAThreadThatOutlivedItsEndRuns) {
  bool ran = false;
  HANDLE thread = CreateThread(nullptr, 0, CarryAFlag, &ran, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  ASSERT_TRUE(SentMessageWaiting()) << "the worker never asked for the window thread";
  HANDLE mayNotEnd = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, GetThreadId(thread));
  EXPECT_FALSE(rt::EndThreadByForce(mayNotEnd, 1)) << "a handle without the right to end the thread";
  CloseHandle(mayNotEnd);
  EXPECT_TRUE(EndsHandlingMessages(thread));
  CloseHandle(thread);
  EXPECT_TRUE(ran);
}

// The window thread may wait taking sent messages only (a playback's Stop or
// Hold waits so for the step under way): the posted messages cannot have
// their turn then, and a caller waits for them once, not on every call.
TEST_F(CarriedWork, CallsWhileTheWindowThreadTakesOnlySentMessagesWaitForPostedOnesOnce) {
  constexpr int kTimedCalls = 8;
  constexpr ULONGLONG kMarkerOverdueMs = 150, kTimedCallsLimitMs = 1000;
  ULONGLONG timedMs = 0;
  testing_support::Worker worker([&] {
    for (ULONGLONG start = GetTickCount64(); GetTickCount64() - start < kMarkerOverdueMs;)
      rt::RunOnMainThread([] {});
    ULONGLONG start = GetTickCount64();
    for (int call = 0; call < kTimedCalls; ++call) rt::RunOnMainThread([] {});
    timedMs = GetTickCount64() - start;
  });
  EXPECT_TRUE(worker.WaitTakingSentMessagesOnly(kWorkerPatienceMs));
  HandleMessages();
  EXPECT_LT(timedMs, kTimedCallsLimitMs) << kTimedCalls << " calls with the posted messages overdue";
}

// A marker that never reached the queue (its poster was ended by force
// between taking it and posting it) would keep posted messages from their
// turn for good: once it has been out too long, the next caller posts one.
TEST_F(CarriedWork, AMarkerOutTooLongIsPostedAgain) {
  rt::RuntimeState::PostedTurn& turn = rt::State().postedTurn;
  // As a marker taken but never posted leaves it once a wait for it ran out.
  turn.pending = true;
  turn.postedAt = 0;
  SetEvent(turn.reached);
  testing_support::Worker worker([] { rt::RunOnMainThread([] {}); });
  EXPECT_TRUE(worker.WaitTakingSentMessagesOnly(kWorkerPatienceMs));
  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, rt::State().hiddenOwner, rt::kPostedTurnMessage, rt::kPostedTurnMessage, PM_NOREMOVE))
      << "no marker was posted";
  HandleMessages();
  EXPECT_FALSE(turn.pending) << "the marker came through and is no longer out";
}

}  // namespace
