// The runtime's start-up, exit and fatal-error paths, driven from outside.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <string>
#include <vector>

#include "driver.h"
#include "e2e_support.h"

namespace {

using e2e::ProbeLog;

constexpr DWORD kTimeout = 20000;

driver::Process StartProbe(const ProbeLog& log, const wchar_t* scenario) {
  return driver::Process::start(e2e::Beside(L"probe.exe"), e2e::Quoted(log.path()) + L" " + scenario);
}

// Runs a scenario to its end; its exit code (-2 when it did not end) and
// the lines it logged.
std::pair<DWORD, std::vector<std::string>> RunProbe(const wchar_t* logName, const wchar_t* scenario) {
  ProbeLog log(logName);
  driver::Process probe = StartProbe(log, scenario);
  DWORD code = 0;
  if (!probe.waitExit(kTimeout, &code)) code = DWORD(-2);
  return {code, log.lines()};
}

TEST(Spine, ExitProgramFromASecondThreadRunsExitRoutinesOnTheMainThread) {
  auto [code, lines] = RunProbe(L"exit_thread", L"exit-from-thread");
  EXPECT_EQ(code, 5u);
  EXPECT_EQ(lines, std::vector<std::string>{"exit routine on main thread"});
}

std::wstring WithoutTrailingBreaks(std::wstring text) {
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.pop_back();
  return text;
}

// The fatal-error box shows `text` while the process waits for it; once it
// is closed, the process ends with -1 and has run no exit routine.
void ExpectFatalBoxAndMinusOne(driver::Process& probe, const ProbeLog& log, const wchar_t* text) {
  HWND box = driver::waitTopWindow(probe.pid(), L"#32770", L"错误", kTimeout);
  ASSERT_NE(box, nullptr);
  // The box may drop trailing line breaks; everything else must be exact.
  EXPECT_TRUE(WithoutTrailingBreaks(driver::messageBoxText(box)) == WithoutTrailingBreaks(text))
      << "the box shows other text";
  EXPECT_TRUE(probe.running()) << "the process waits for the box";
  driver::clickButton(driver::waitChild(box, L"Button", -1, kTimeout));
  DWORD code = 0;
  ASSERT_TRUE(probe.waitExit(kTimeout, &code));
  EXPECT_EQ(code, 0xFFFFFFFFu);
  EXPECT_TRUE(log.lines().empty()) << "no exit routine and no return from the entry";
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
    ExpectFatalBoxAndMinusOne(probe, log, c.text);
  }
}

// Whichever window of the start window's load cannot be made, the program
// ends through the fatal error, not a crash.
TEST(Spine, EachFailedWindowCreationOfTheStartWindowIsFatal) {
  auto [code, lines] = RunProbe(L"count_creations", L"count-creations");
  EXPECT_EQ(code, 0u);
  // Among the handlers' lines.
  auto line = std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l.starts_with("creations "); });
  ASSERT_NE(line, lines.end());
  int creations = std::stoi(line->substr(10));
  EXPECT_GT(creations, 1) << "the window and its units";
  for (int n = 1; n <= creations; ++n) {
    SCOPED_TRACE(testing::Message() << "creation " << n << " of " << creations);
    ProbeLog log(L"fail_creation");
    driver::Process probe = StartProbe(log, (L"fail-creation " + std::to_wstring(n)).c_str());
    ExpectFatalBoxAndMinusOne(probe, log, L"运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n");
  }
}

}  // namespace
