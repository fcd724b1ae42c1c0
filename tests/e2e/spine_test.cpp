// The runtime's start-up, exit and fatal-error paths, driven from outside.
#include <gtest/gtest.h>

#include "driver.h"
#include "e2e_support.h"

namespace {

using e2e::ProbeLog;

constexpr DWORD kTimeout = 20000;

driver::Process StartProbe(const ProbeLog& log, const wchar_t* scenario) {
  return driver::Process::start(e2e::Beside(L"probe.exe"), e2e::Quoted(log.path()) + L" " + scenario);
}

TEST(Spine, ExitProgramFromASecondThreadRunsExitRoutinesOnTheMainThread) {
  ProbeLog log(L"exit_thread");
  driver::Process probe = StartProbe(log, L"exit-from-thread");
  DWORD code = 0;
  ASSERT_TRUE(probe.waitExit(kTimeout, &code));
  EXPECT_EQ(code, 5u);
  EXPECT_EQ(log.lines(), std::vector<std::string>{"exit routine on main thread"});
}

struct FatalCase {
  const wchar_t* scenario;
  const wchar_t* text;
};

TEST(Spine, FatalErrorShowsTheBoxRunsNoExitRoutineAndEndsWithMinusOne) {
  const FatalCase cases[] = {
      {L"fatal-empty", L"运行时出错!\r\n\r\n"},
      {L"runtime-error-6", L"运行时出错!\r\n\r\n错误代码：6\r\n\r\n错误信息：调用DLL命令后发现堆栈错误\r\n"},
  };
  for (const FatalCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "scenario " << std::string(c.scenario, c.scenario + wcslen(c.scenario)));
    ProbeLog log(L"fatal");
    driver::Process probe = StartProbe(log, c.scenario);
    HWND box = driver::waitTopWindow(probe.pid(), L"#32770", L"错误", kTimeout);
    ASSERT_NE(box, nullptr);
    std::wstring text = driver::messageBoxText(box);
    // The box may drop trailing line breaks; everything else must be exact.
    std::wstring expected = c.text;
    while (!expected.empty() && (expected.back() == L'\n' || expected.back() == L'\r')) expected.pop_back();
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.pop_back();
    EXPECT_TRUE(text == expected) << "the box shows other text";
    EXPECT_TRUE(probe.running()) << "the process waits for the box";
    driver::clickButton(driver::waitChild(box, L"Button", -1, kTimeout));
    DWORD code = 0;
    ASSERT_TRUE(probe.waitExit(kTimeout, &code));
    EXPECT_EQ(code, 0xFFFFFFFFu);
    EXPECT_TRUE(log.lines().empty()) << "no exit routine and no return from the entry";
  }
}

}  // namespace
