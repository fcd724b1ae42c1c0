#include "libraries/threads/thread_commands.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "fatal_trap.h"
#include "libraries/libraries.h"
#include "runtime/hidden_owner.h"
#include "runtime/state.h"
#include "worker_thread.h"

namespace {

using namespace lib::threads;

constexpr DWORD kTimeout = 5000;

// Through the library's checking entry, as program code calls it.
rt::ArgRecord Call(ThreadCommand command, int count, rt::ArgRecord* records) {
  rt::ArgRecord result{};
  lib::kThreadsLibrary.commands[command](&result, count, records);
  return result;
}

rt::ArgRecord Call(ThreadCommand command, std::initializer_list<rt::ArgRecord> arguments) {
  rt::ArgRecord records[3];
  std::copy(arguments.begin(), arguments.end(), records);
  return Call(command, int(arguments.size()), records);
}

rt::ArgRecord Routine(LPTHREAD_START_ROUTINE routine) {
  return rt::MakeBlock(rt::TYPE_SUBPTR, reinterpret_cast<const void*>(routine));
}
rt::ArgRecord Variable(int32_t& variable) { return rt::MakeReference(rt::TYPE_INT, &variable); }
rt::ArgRecord HandleValue(HANDLE handle) { return rt::MakeInt(HandleToLong(handle)); }

// What the last start of RecordingRoutine saw.
struct RoutineRuns {
  std::atomic<int> count{0};
  std::atomic<intptr_t> parameter{0};
  std::atomic<DWORD> threadId{0};
  HANDLE ran = CreateEventW(nullptr, FALSE, FALSE, nullptr);
} runs;

DWORD WINAPI RecordingRoutine(void* parameter) {
  runs.parameter = reinterpret_cast<intptr_t>(parameter);
  runs.threadId = GetCurrentThreadId();
  ++runs.count;
  SetEvent(runs.ran);
  return 0;
}

// Runs until it is ended. It never calls the system: a thread ended by
// force inside a system call may leave that call's locks held, and the
// process would then hang at its exit.
std::atomic<bool> neverSet{false};
DWORD WINAPI SpinningRoutine(void*) {
  while (!neverSet.load(std::memory_order_relaxed)) {
  }
  return 0;
}

// Waits until the thread with that ID is gone: a thread exists while it runs
// and while any handle to it is open.
bool ThreadObjectGone(DWORD threadId) {
  for (ULONGLONG deadline = GetTickCount64() + kTimeout; GetTickCount64() < deadline; Sleep(5)) {
    HANDLE probe = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, threadId);
    if (!probe) return true;
    CloseHandle(probe);
  }
  return false;
}

enum class Parameter { Absent, Omitted, Value, FromVariable };
enum class HandleArgument { Absent, Omitted, AsValue, Variable };

struct StartCase {
  const char* name;
  Parameter parameter;
  HandleArgument handle;
  int32_t given;     // the parameter's value where one is given
  intptr_t expected; // what the routine receives
};

TEST(ThreadCommands, StartThreadPassesTheParameterAndKeepsTheHandleOnlyInAVariable) {
  const StartCase cases[] = {
      {"only the routine", Parameter::Absent, HandleArgument::Absent, 0, 0},
      {"parameter omitted, variable given", Parameter::Omitted, HandleArgument::Variable, 0, 0},
      {"parameter and variable", Parameter::Value, HandleArgument::Variable, -7, -7},
      {"parameter read from a variable", Parameter::FromVariable, HandleArgument::Variable, 123456, 123456},
      {"parameter without a handle argument", Parameter::Value, HandleArgument::Absent, 0x7FFFFFFF, 0x7FFFFFFF},
      {"handle argument omitted", Parameter::Value, HandleArgument::Omitted, 9, 9},
      {"handle as a value, not a variable", Parameter::Value, HandleArgument::AsValue, 5, 5},
  };
  for (const StartCase& c : cases) {
    SCOPED_TRACE(c.name);
    int32_t parameterVariable = c.given, handleVariable = 0;
    rt::ArgRecord records[3] = {Routine(RecordingRoutine)};
    if (c.parameter == Parameter::Value) records[1] = rt::MakeInt(c.given);
    if (c.parameter == Parameter::FromVariable) records[1] = Variable(parameterVariable);
    if (c.handle == HandleArgument::AsValue) records[2] = rt::MakeInt(0);
    if (c.handle == HandleArgument::Variable) records[2] = Variable(handleVariable);
    int count = c.handle != HandleArgument::Absent ? 3 : c.parameter != Parameter::Absent ? 2 : 1;
    runs.count = 0;
    rt::ArgRecord result = Call(CMD_START_THREAD, count, records);

    EXPECT_EQ(result.low, 1u) << "the thread was started";
    ASSERT_EQ(WaitForSingleObject(runs.ran, kTimeout), WAIT_OBJECT_0) << "the routine ran";
    EXPECT_EQ(runs.parameter, c.expected);
    HANDLE kept = LongToHandle(handleVariable);
    if (c.handle == HandleArgument::Variable) {
      ASSERT_NE(kept, nullptr);
      EXPECT_EQ(GetThreadId(kept), runs.threadId) << "the variable names the routine's thread";
      EXPECT_EQ(WaitForSingleObject(kept, kTimeout), WAIT_OBJECT_0);
      CloseHandle(kept);
    } else {
      EXPECT_EQ(handleVariable, 0);
    }
    EXPECT_TRUE(ThreadObjectGone(runs.threadId)) << "no handle to the thread stays open";
    EXPECT_EQ(runs.count, 1) << "the routine ran once";
  }
}

TEST(ThreadCommands, ANullRoutineStartsNothing) {
  int32_t handleVariable = 77;
  rt::ArgRecord result = Call(CMD_START_THREAD, {Routine(nullptr), rt::MakeInt(1), Variable(handleVariable)});
  EXPECT_EQ(result.low, 0u);
  EXPECT_EQ(result.tag, rt::TYPE_BOOL);
  EXPECT_EQ(handleVariable, 0) << "a failed start leaves null in the variable";
}

// The player's pause and stop: suspend and resume the handle it was given,
// end the thread, then close the handle, which ending left open.
TEST(ThreadCommands, AKeptHandleIsSuspendedResumedEndedAndClosedOnce) {
  int32_t handleVariable = 0;
  ASSERT_EQ(Call(CMD_START_THREAD, {Routine(SpinningRoutine), {}, Variable(handleVariable)}).low, 1u);
  HANDLE thread = LongToHandle(handleVariable);
  EXPECT_EQ(SuspendThread(thread), 0u);
  EXPECT_EQ(SuspendThread(thread), 1u) << "the first suspension held";
  EXPECT_EQ(ResumeThread(thread), 2u);
  EXPECT_EQ(ResumeThread(thread), 1u);

  EXPECT_NE(Call(CMD_END_THREAD, {rt::MakeInt(handleVariable)}).low, 0u);
  ASSERT_EQ(WaitForSingleObject(thread, kTimeout), WAIT_OBJECT_0) << "the handle is still open and the thread ended";
  DWORD exitCode = 0;
  EXPECT_TRUE(GetExitCodeThread(thread, &exitCode));
  EXPECT_EQ(exitCode, kEndedThreadExitCode);

  EXPECT_EQ(Call(CMD_CLOSE_THREAD_HANDLE, {rt::MakeInt(handleVariable)}).low, 1u);
  EXPECT_EQ(Call(CMD_CLOSE_THREAD_HANDLE, {rt::MakeInt(handleVariable)}).low, 0u) << "a second close";
  EXPECT_EQ(Call(CMD_END_THREAD, {rt::MakeInt(handleVariable)}).low, 0u) << "ending through a closed handle";
}

std::atomic<bool> carriedWorkDone = false;

// Waits for the window thread, as the player's playback thread does for each
// frame and status text.
DWORD WINAPI CarryingRoutine(void*) {
  rt::RunOnMainThread([] { carriedWorkDone = true; });
  return 0;
}

class ThisThreadIsTheWindowThread {
 public:
  ThisThreadIsTheWindowThread() { rt::State().mainThreadId = GetCurrentThreadId(); }
  ~ThisThreadIsTheWindowThread() { rt::State().mainThreadId = 0; }
  ThisThreadIsTheWindowThread(const ThisThreadIsTheWindowThread&) = delete;
  ThisThreadIsTheWindowThread& operator=(const ThisThreadIsTheWindowThread&) = delete;
};

// The player's Stop ends its threads while one may wait for the window
// thread: what it waited for must not come after the Stop.
TEST(ThreadCommands, WhatAnEndedThreadLeftForTheWindowThreadIsNotDone) {
  ThisThreadIsTheWindowThread windowThread;
  carriedWorkDone = false;
  int32_t handleVariable = 0;
  ASSERT_EQ(Call(CMD_START_THREAD, {Routine(CarryingRoutine), {}, Variable(handleVariable)}).low, 1u);
  ASSERT_TRUE(testing_support::SentMessageWaiting()) << "the thread never asked for the window thread";
  EXPECT_NE(Call(CMD_END_THREAD, {rt::MakeInt(handleVariable)}).low, 0u);
  EXPECT_EQ(WaitForSingleObject(LongToHandle(handleVariable), kTimeout), WAIT_OBJECT_0);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  EXPECT_FALSE(carriedWorkDone);
  EXPECT_EQ(Call(CMD_CLOSE_THREAD_HANDLE, {rt::MakeInt(handleVariable)}).low, 1u);
}

TEST(ThreadCommands, AHandleOfAnotherKindIsNotClosed) {
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  EXPECT_EQ(Call(CMD_CLOSE_THREAD_HANDLE, {HandleValue(event)}).low, 0u);
  EXPECT_TRUE(SetEvent(event)) << "the event is still open";
  CloseHandle(event);
  EXPECT_EQ(Call(CMD_CLOSE_THREAD_HANDLE, {rt::MakeInt(0)}).low, 0u);
}

// Fault closes: what the system does for a bad handle under a debugger.
template <DWORD Code>
BOOL WINAPI RaisingClose(HANDLE) {
  RaiseException(Code, 0, 0, nullptr);
  return FALSE;
}

std::atomic<int> faultsSeen{0};
LONG CALLBACK CountAndContinue(EXCEPTION_POINTERS* exception) {
  if (exception->ExceptionRecord->ExceptionCode != DWORD(STATUS_INVALID_HANDLE)) return EXCEPTION_CONTINUE_SEARCH;
  ++faultsSeen;
  return EXCEPTION_CONTINUE_EXECUTION;
}

TEST(ThreadCommands, AHandleFaultWhileClosingGivesFalse) {
  EXPECT_FALSE(CloseCatchingHandleFaults(nullptr, &RaisingClose<STATUS_INVALID_HANDLE>));
  EXPECT_FALSE(CloseCatchingHandleFaults(nullptr, &RaisingClose<0xC0000235>)) << "a handle protected from closing";
}

TEST(ThreadCommands, TheFaultTrapEndsWithTheClose) {
  ASSERT_FALSE(CloseCatchingHandleFaults(nullptr, &RaisingClose<STATUS_INVALID_HANDLE>));
  // Last in line: it sees the fault only when no handler before it took it.
  void* last = AddVectoredExceptionHandler(0, CountAndContinue);
  faultsSeen = 0;
  RaiseException(STATUS_INVALID_HANDLE, 0, 0, nullptr);
  RemoveVectoredExceptionHandler(last);
  EXPECT_EQ(faultsSeen, 1) << "a handle fault after the close is not the trap's";
}

// Anything but a subroutine pointer as the routine would start a thread at
// an address that is no routine.
TEST(ThreadCommands, StartThreadRefusesARoutineThatIsNoSubroutinePointer) {
  EXPECT_EQ(testing_support::ExpectFatalMessage([] { Call(CMD_START_THREAD, {rt::MakeInt(0x401000)}); }),
            "命令参数不正确: StartThread 1");
  EXPECT_EQ(testing_support::ExpectFatalMessage([] { Call(CMD_START_THREAD, {}); }), "命令参数不正确: StartThread 1");
}

}  // namespace
