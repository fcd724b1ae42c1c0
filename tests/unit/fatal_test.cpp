#include "runtime/fatal.h"

#include <gtest/gtest.h>

#include "fatal_trap.h"
#include "runtime/shutdown.h"
#include "runtime/state.h"

namespace {

using namespace rt;

TEST(FatalErrorText, CodeAndMessageSections) {
  EXPECT_EQ(FatalErrorText(0, ""), "运行时出错!\r\n\r\n");
  EXPECT_EQ(FatalErrorText(6, RuntimeErrorMessage(6)),
            "运行时出错!\r\n\r\n错误代码：6\r\n\r\n错误信息：调用DLL命令后发现堆栈错误\r\n");
  EXPECT_EQ(FatalErrorText(0, "x"), "运行时出错!\r\n\r\n错误信息：x\r\n");
}

TEST(RuntimeErrors, NumberedMessages) {
  EXPECT_STREQ(RuntimeErrorMessage(1), "数组成员引用下标超出定义范围");
  EXPECT_STREQ(RuntimeErrorMessage(11), "所提供参数的数据类型不符合要求");
  EXPECT_STREQ(RuntimeErrorMessage(0), "");
  EXPECT_STREQ(RuntimeErrorMessage(12), "");
}

void NeverRuns() { ADD_FAILURE() << "an exit routine ran after a fatal error"; }

TEST(ReportFatalError, SuppressesEventsAndDropsExitRoutines) {
  RegisterExitRoutine(&NeverRuns);
  int before = State().eventSuppression;
  auto raised = testing_support::ExpectFatal([] { ReportRuntimeError(4); });
  EXPECT_EQ(raised.code, 4);
  EXPECT_EQ(raised.message, "数组成员引用下标必须大于等于1");
  EXPECT_EQ(State().eventSuppression, before + 1);
  // The hook threw before the exit routines were dropped; drop them the way
  // the reporter would have.
  DiscardExitRoutines();
}

int nestedCalls = 0;
int CountingHook(int, const char*) {
  ++nestedCalls;
  throw testing_support::FatalErrorRaised{0, "hook"};
}

TEST(ReportFatalError, HookIsEnteredAgainAfterItThrew) {
  SetErrorHook(CountingHook);
  nestedCalls = 0;
  testing_support::ExpectFatal([] { ReportFatalError("one"); });
  testing_support::ExpectFatal([] { ReportFatalError("two"); });
  EXPECT_EQ(nestedCalls, 2);
  SetErrorHook(testing_support::ThrowingErrorHook);
}

}  // namespace
