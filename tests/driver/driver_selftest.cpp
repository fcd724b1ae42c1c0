// Checks the driver against a program it starts itself: this executable, run
// with kMessageBoxFlag, shows a standard message box and exits with the answer.
#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "driver.h"

namespace {

constexpr wchar_t kMessageBoxFlag[] = L"--message-box";
constexpr wchar_t kBoxTitle[] = L"Driver self-test";
// Chinese and a line break: the text must cross the process boundary whole.
constexpr wchar_t kBoxMessage[] = L"Play frame 帧 12?\nSecond line";
constexpr DWORD kTimeoutMs = 10000;

std::wstring selfPath() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::wstring(path, length);
}

driver::Process startBox() {
  return driver::Process::start(selfPath(), kMessageBoxFlag);
}

// The box can appear before its buttons exist; it takes input only then.
HWND waitBox(const driver::Process& process) {
  const HWND box =
      driver::waitTopWindow(process.pid(), L"#32770", kBoxTitle, kTimeoutMs);
  if (box && !driver::waitChild(box, L"Button", IDCANCEL, kTimeoutMs))
    return nullptr;
  return box;
}

TEST(Driver, ReadsMessageBox) {
  driver::Process process = startBox();
  const HWND box = waitBox(process);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(driver::className(box), L"#32770");
  EXPECT_EQ(driver::windowText(box), kBoxTitle);
  EXPECT_EQ(driver::messageBoxText(box), kBoxMessage);
  EXPECT_EQ(driver::findButton(box, L"Cancel"),
            driver::waitChild(box, L"Button", IDCANCEL, 0));
  EXPECT_EQ(driver::findButton(box, L"No such button"), nullptr);
  EXPECT_EQ(driver::children(box, L"button").size(), 2u);
}

struct Answer {
  const char* name;
  void (*give)(HWND box);
  DWORD exitCode;
};

const Answer kAnswers[] = {
    {"click Cancel",
     [](HWND box) { driver::clickButton(driver::findButton(box, L"Cancel")); },
     IDCANCEL},
    {"post the OK command", [](HWND box) { driver::postCommand(box, IDOK); },
     IDOK},
};

TEST(Driver, AnswersMessageBox) {
  for (const Answer& answer : kAnswers) {
    SCOPED_TRACE(answer.name);
    driver::Process process = startBox();
    const HWND box = waitBox(process);
    ASSERT_NE(box, nullptr);
    answer.give(box);
    DWORD exitCode = 0;
    ASSERT_TRUE(process.waitExit(kTimeoutMs, &exitCode));
    EXPECT_EQ(exitCode, answer.exitCode);
    EXPECT_FALSE(process.running());
  }
}

TEST(Driver, KillEndsProgram) {
  driver::Process process = startBox();
  ASSERT_NE(waitBox(process), nullptr);
  process.kill();
  EXPECT_FALSE(process.running());
  DWORD exitCode = 0;
  ASSERT_TRUE(process.waitExit(0, &exitCode));
  EXPECT_EQ(exitCode, driver::kKilledExitCode);
}

TEST(Driver, DestroyingProcessEndsProgram) {
  DWORD pid = 0;
  {
    driver::Process process = startBox();
    ASSERT_NE(waitBox(process), nullptr);
    pid = process.pid();
  }
  EXPECT_EQ(driver::waitTopWindow(pid, nullptr, nullptr, 0,
                                  driver::Visibility::IncludeHidden),
            nullptr);
}

TEST(Driver, WaitGivesUpAtTimeout) {
  driver::Process process = startBox();
  ASSERT_NE(waitBox(process), nullptr);
  const ULONGLONG started = GetTickCount64();
  EXPECT_EQ(driver::waitTopWindow(process.pid(), L"#32770", L"Other title", 300),
            nullptr);
  const ULONGLONG elapsed = GetTickCount64() - started;
  EXPECT_GE(elapsed, 300u);
  EXPECT_LT(elapsed, 3000u);
}

struct Words {
  const char* name;
  std::vector<std::wstring> words;
};

const Words kWords[] = {
    {"plain words", {L"--rate", L"25"}},
    {"an empty word", {L"--prefix", L"", L"x"}},
    {"spaces and a tab", {L"C:\\my frames\\a b", L"x\ty"}},
    {"a quote", {L"say \"hi\"", L"\""}},
    {"backslashes before a quote", {L"a\\\"b", L"a\\\\\"b"}},
    {"a trailing backslash", {L"Z:\\frames\\", L"Z:\\frames\\\\"}},
    {"backslashes alone", {L"\\", L"\\\\server\\share"}},
    {"Chinese", {L"帧 第一", L"影子"}},
};

TEST(Driver, ArgumentLineSplitsBackIntoItsWords) {
  for (const Words& words : kWords) {
    SCOPED_TRACE(words.name);
    const std::wstring line = L"program.exe " + driver::argumentLine(words.words);
    int count = 0;
    wchar_t** split = CommandLineToArgvW(line.c_str(), &count);
    ASSERT_NE(split, nullptr);
    const std::vector<std::wstring> back(split + 1, split + count);
    LocalFree(split);
    EXPECT_EQ(back, words.words) << "line: " << testing::PrintToString(line);
  }
}

TEST(Driver, StartReportsMissingProgram) {
  EXPECT_THROW(driver::Process::start(L"C:\\no\\such\\program.exe", L""),
               std::runtime_error);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wstring(argv[1]) == kMessageBoxFlag)
    return MessageBoxW(nullptr, kBoxMessage, kBoxTitle, MB_OKCANCEL);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
