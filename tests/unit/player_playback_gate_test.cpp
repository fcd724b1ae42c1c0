#include "player/playback_gate.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <limits>
#include <string>

#include "timing.h"
#include "worker_thread.h"

namespace {

using player::PlaybackGate;
using Holds = PlaybackGate::Holds;
using testing_support::NowMs;
using testing_support::ThreadCpuMs;
using testing_support::Worker;

// Long enough for a worker that is not let go to reach its wait and show
// that it stays there.
constexpr DWORD kStaysMs = 100;
constexpr DWORD kPatienceMs = testing_support::kWorkerPatienceMs;

// A visible step on a worker; `ran` tells whether its work was done.
struct StepOnWorker {
  StepOnWorker(PlaybackGate& gate, Holds holds)
      : worker([this, &gate, holds] { answer = gate.ShowStep(holds, [this] { ran = true; }); }) {}
  std::atomic<bool> ran = false, answer = false;
  Worker worker;
};

TEST(PlaybackGate, ReleaseNeverTakesHoldsBelowZero) {
  PlaybackGate gate;
  gate.Release();
  gate.Release();
  EXPECT_EQ(gate.holds(), 0);
  bool ran = false;
  EXPECT_TRUE(gate.ShowStep(Holds::Respect, [&] { ran = true; }));
  EXPECT_TRUE(ran) << "a step runs at once after Releases without a Hold";
  gate.Hold();
  EXPECT_EQ(gate.holds(), 1) << "the extra Releases were not kept as credit";
  StepOnWorker step(gate, Holds::Respect);
  EXPECT_FALSE(step.worker.WaitWithoutMessages(kStaysMs)) << "one Hold after two spare Releases still holds";
  gate.Release();
  EXPECT_TRUE(step.worker.WaitWithoutMessages(kPatienceMs));
  EXPECT_TRUE(step.ran);
}

TEST(PlaybackGate, AHeldRespectStepWaitsForReleaseWhileAnIgnoreStepRuns) {
  PlaybackGate gate;
  gate.Hold();
  StepOnWorker respecting(gate, Holds::Respect);
  StepOnWorker ignoring(gate, Holds::Ignore);
  EXPECT_TRUE(ignoring.worker.WaitWithoutMessages(kPatienceMs));
  EXPECT_TRUE(ignoring.ran && ignoring.answer);
  EXPECT_FALSE(respecting.worker.WaitWithoutMessages(kStaysMs));
  EXPECT_FALSE(respecting.ran);
  gate.Release();
  EXPECT_TRUE(respecting.worker.WaitWithoutMessages(kPatienceMs));
  EXPECT_TRUE(respecting.ran && respecting.answer);
}

TEST(PlaybackGate, HoldsCountSoOnlyTheLastReleaseLetsStepsRun) {
  PlaybackGate gate;
  gate.Hold();
  gate.Hold();
  StepOnWorker step(gate, Holds::Respect);
  gate.Release();
  EXPECT_FALSE(step.worker.WaitWithoutMessages(kStaysMs)) << "one of two holds is left";
  gate.Release();
  EXPECT_TRUE(step.worker.WaitWithoutMessages(kPatienceMs));
  EXPECT_TRUE(step.ran);
}

// A wait of a worker; `held` holds the gate before the worker starts.
struct StopCase {
  const char* name;
  bool held;
  std::function<bool(PlaybackGate&)> wait;  // what the wait answered: true to go on
};

TEST(PlaybackGate, StopEndsEveryWaitPromptlyWithAFalseAnswer) {
  std::atomic<bool> stepRan = false;
  const StopCase cases[] = {
      {"WaitWhileHeld", true, [](PlaybackGate& gate) { return gate.WaitWhileHeld(); }},
      {"WaitUntil far ahead", false, [](PlaybackGate& gate) { return gate.WaitUntil(gate.ClockMs() + 1e8); }},
      {"WaitUntil while held", true, [](PlaybackGate& gate) { return gate.WaitUntil(gate.ClockMs() + 1); }},
      {"TakeHandedOver with nothing handed over", false,
       [](PlaybackGate& gate) { return gate.TakeHandedOver().has_value(); }},
      {"a held ShowStep", true,
       [&](PlaybackGate& gate) { return gate.ShowStep(Holds::Respect, [&] { stepRan = true; }); }},
  };
  for (const StopCase& c : cases) {
    PlaybackGate gate;
    if (c.held) gate.Hold();
    std::atomic<bool> answer = true;
    Worker worker([&] { answer = c.wait(gate); });
    EXPECT_FALSE(worker.WaitWithoutMessages(kStaysMs)) << c.name << ": the wait ended before Stop";
    gate.Stop();
    EXPECT_TRUE(worker.WaitWithoutMessages(kPatienceMs)) << c.name << ": Stop did not end the wait";
    EXPECT_FALSE(answer) << c.name;
  }
  EXPECT_FALSE(stepRan) << "the held step's work ran after Stop";
}

TEST(PlaybackGate, NoStepRunsOnceStopped) {
  for (Holds holds : {Holds::Respect, Holds::Ignore}) {
    PlaybackGate gate;
    gate.Stop();
    bool ran = false;
    EXPECT_FALSE(gate.ShowStep(holds, [&] { ran = true; }));
    EXPECT_FALSE(ran) << (holds == Holds::Respect ? "Respect" : "Ignore");
  }
}

// Due times too far ahead for one wait of the system's.
TEST(PlaybackGate, AFarDueTimeIsWaitedForWithoutSpinning) {
  const struct {
    const char* name;
    double aheadMs;
  } cases[] = {
      {"a day", 86400e3},
      {"beyond 2^63 ms", 1e300},
      {"never", std::numeric_limits<double>::infinity()},
  };
  for (const auto& c : cases) {
    PlaybackGate gate;
    std::atomic<double> cpuMs = 0;
    std::atomic<bool> answer = true;
    Worker worker([&] {
      double before = ThreadCpuMs();
      answer = gate.WaitUntil(gate.ClockMs() + c.aheadMs);
      cpuMs = ThreadCpuMs() - before;
    });
    EXPECT_FALSE(worker.WaitWithoutMessages(5 * kStaysMs)) << c.name << ": the wait ended by itself";
    gate.Stop();
    EXPECT_TRUE(worker.WaitWithoutMessages(kPatienceMs)) << c.name;
    EXPECT_FALSE(answer) << c.name;
    // A thread that sleeps shows no time (the count goes in 10 ms steps);
    // one that spins for those 500 ms showed 60 to 80 ms under this Wine.
    EXPECT_LT(cpuMs, 20.0) << c.name;
  }
}

// A message-only window of this thread, which stands for the window thread.
class OwnWindow {
 public:
  OwnWindow() : handle_(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {}
  ~OwnWindow() { DestroyWindow(handle_); }
  OwnWindow(const OwnWindow&) = delete;
  OwnWindow& operator=(const OwnWindow&) = delete;
  HWND handle() const { return handle_; }
  std::wstring text() const {
    wchar_t text[64] = {};
    GetWindowTextW(handle_, text, 64);
    return text;
  }

 private:
  HWND handle_;
};

// The worker's step sends to this thread's window while Hold waits for the
// step: Hold must carry the message out, or each waits for the other.
TEST(PlaybackGate, HoldCarriesOutTheStepsWindowWorkAndReturnsAfterTheStep) {
  const struct {
    const char* name;
    bool sendOnceHoldBegins;  // else Hold begins once the message waits
  } cases[] = {
      {"the message comes while Hold waits", true},
      {"the message already waits when Hold begins", false},
  };
  for (const auto& c : cases) {
    OwnWindow window;
    ASSERT_NE(window.handle(), nullptr);
    PlaybackGate gate;
    std::atomic<bool> entered = false, finished = false;
    Worker worker([&] {
      gate.ShowStep(Holds::Respect, [&] {
        entered = true;
        while (c.sendOnceHoldBegins && gate.holds() == 0) Sleep(1);
        SendMessageW(window.handle(), WM_SETTEXT, 0, LPARAM(L"from the step"));
        finished = true;
      });
    });
    for (ULONGLONG end = GetTickCount64() + kPatienceMs; !entered && GetTickCount64() < end;) Sleep(1);
    ASSERT_TRUE(entered) << c.name << ": the step did not begin";
    if (!c.sendOnceHoldBegins) {
      ASSERT_TRUE(testing_support::SentMessageWaiting()) << c.name;
    }
    gate.Hold();
    EXPECT_TRUE(finished) << c.name << ": Hold returned while the step was under way";
    EXPECT_EQ(window.text(), L"from the step") << c.name;
    EXPECT_TRUE(worker.WaitWithoutMessages(kPatienceMs)) << c.name;
    gate.Release();
  }
}

TEST(PlaybackGate, ServeWorkersUntilAnswersFalseAfterItsBackstop) {
  HANDLE never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  double start = NowMs();
  EXPECT_FALSE(player::ServeWorkersUntil(never, 50));
  EXPECT_GE(NowMs() - start, 45.0) << "the backstop was not waited for";
  SetEvent(never);
  EXPECT_TRUE(player::ServeWorkersUntil(never, 50));
  CloseHandle(never);
}

// The clock's advance over a held sleep is at most the real time less the
// time known to be held: the span between Hold's return and Release.
TEST(PlaybackGate, TheClockStandsStillWhileHeld) {
  PlaybackGate gate;
  double realStart = NowMs(), clockStart = gate.ClockMs();
  gate.Hold();
  double heldFrom = NowMs();
  double clockHeld = gate.ClockMs();
  Sleep(100);
  EXPECT_EQ(gate.ClockMs(), clockHeld) << "the clock moved while held";
  double heldTo = NowMs();
  gate.Release();
  double clockEnd = gate.ClockMs(), realEnd = NowMs();
  EXPECT_GE(clockEnd, clockStart);
  EXPECT_LE(clockEnd - clockStart, (realEnd - realStart) - (heldTo - heldFrom))
      << "real " << realEnd - realStart << " ms, held " << heldTo - heldFrom << " ms";
  bool moves = false;
  for (double until = NowMs() + kPatienceMs; !moves && NowMs() < until; Sleep(1)) moves = gate.ClockMs() > clockEnd;
  EXPECT_TRUE(moves) << "the clock did not go on after Release";
}

// A hold in the middle of the wait puts the due time off by at least the
// time known to be held.
TEST(PlaybackGate, WaitUntilReturnsOnlyOnceTheClockHasReachedTheDueTime) {
  const struct {
    const char* name;
    double aheadMs;
    DWORD holdMs;  // held this long while the worker waits; 0: not held
  } cases[] = {
      {"due now", 0, 0},
      {"due in the past", -50, 0},
      {"due in 30 ms", 30, 0},
      {"due in 30 ms, held for 80 ms", 30, 80},
  };
  for (const auto& c : cases) {
    PlaybackGate gate;
    const double start = NowMs(), due = gate.ClockMs() + c.aheadMs;
    std::atomic<double> clockAtReturn = 0, returnedAt = 0;
    std::atomic<bool> answer = false;
    Worker worker([&] {
      answer = gate.WaitUntil(due);
      clockAtReturn = gate.ClockMs();
      returnedAt = NowMs();
    });
    double heldMs = 0;
    if (c.holdMs) {
      gate.Hold();
      double heldFrom = NowMs();
      EXPECT_FALSE(worker.WaitWithoutMessages(c.holdMs)) << c.name << ": the wait ended while held";
      heldMs = NowMs() - heldFrom;
      gate.Release();
    }
    EXPECT_TRUE(worker.WaitWithoutMessages(kPatienceMs)) << c.name;
    EXPECT_TRUE(answer) << c.name;
    EXPECT_GE(clockAtReturn, due) << c.name;
    EXPECT_GE(returnedAt - start, c.aheadMs + heldMs) << c.name;
  }
}

TEST(PlaybackGate, AHandedOverTextIsTakenOnce) {
  PlaybackGate gate;
  std::string taken;
  Worker taker([&] { taken = gate.TakeHandedOver().value_or("nothing"); });
  EXPECT_FALSE(taker.WaitWithoutMessages(kStaysMs)) << "Take returned before anything was handed over";
  gate.HandOver("Find...3item...");
  EXPECT_TRUE(taker.WaitWithoutMessages(kPatienceMs));
  EXPECT_EQ(taken, "Find...3item...");
  std::atomic<bool> second = true;
  Worker again([&] { second = gate.TakeHandedOver().has_value(); });
  EXPECT_FALSE(again.WaitWithoutMessages(kStaysMs)) << "the text was taken twice";
  gate.Stop();
  EXPECT_TRUE(again.WaitWithoutMessages(kPatienceMs));
  EXPECT_FALSE(second);
}

}  // namespace
