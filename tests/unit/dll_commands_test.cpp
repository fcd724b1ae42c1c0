#include "runtime/dll_commands.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "fatal_trap.h"
#include "runtime/services.h"
#include "runtime/state.h"

namespace {

using namespace rt;

// Command 5 names a DLL that nothing else in the test process loads, so its
// reference count shows what resolving took and gave back.
constexpr const char* kFiles[] = {"", "kernel32.dll", "kernel32.dll", "no_such_library.dll", "", "mpr.dll"};
constexpr const char* kExports[] = {"MultiByteToWideChar", "#123", "NoSuchExport", "Anything", "NoSuchExportEither",
                                    "WNetGetConnectionW"};
constexpr int kMprCommand = 5;

class DllCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = State().program;
    program_.dllCommandCount = uint32_t(std::size(kFiles));
    program_.dllFileNames = kFiles;
    program_.dllExportNames = kExports;
    State().program = &program_;
    InitDllCommands();
  }
  void TearDown() override {
    FreeDllModules();
    State().program = saved_;
  }
  ProgramDescriptor program_{};
  const ProgramDescriptor* saved_ = nullptr;
};

TEST_F(DllCommands, EmptyFileNameFindsTheFirstStandardDllAndCaches) {
  FARPROC address = ResolveDllCommand(0);
  EXPECT_EQ(address, GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "MultiByteToWideChar"));
  EXPECT_EQ(ResolveDllCommand(0), address);
  int n = CallDll<int>(Services(), 0, UINT(CP_UTF8), DWORD(0), "abc", 3, static_cast<wchar_t*>(nullptr), 0);
  EXPECT_EQ(n, 3);
}

TEST_F(DllCommands, HashNamesAnOrdinal) {
  EXPECT_EQ(ResolveDllCommand(1), GetProcAddress(GetModuleHandleW(L"kernel32.dll"), MAKEINTRESOURCEA(123)));
}

TEST_F(DllCommands, MissingExportIsFatalWithFileAndExport) {
  EXPECT_EQ(testing_support::ExpectFatal([] { ResolveDllCommand(2); }).message,
            "无法找到指定DLL库文件“kernel32.dll”中的输出命令“NoSuchExport”");
  EXPECT_EQ(testing_support::ExpectFatal([] { ResolveDllCommand(3); }).message,
            "无法找到指定DLL库文件“no_such_library.dll”中的输出命令“Anything”");
  EXPECT_EQ(testing_support::ExpectFatal([] { ResolveDllCommand(4); }).message,
            "无法找到指定DLL库文件中的输出命令“NoSuchExportEither”");
}

// The process does not wait for program threads at its end: one may still
// call a DLL command after shutdown freed the modules, and must not find the
// table gone.
TEST_F(DllCommands, ACommandCalledAfterTheModulesWereFreedIsResolvedAgain) {
  ASSERT_NE(ResolveDllCommand(kMprCommand), nullptr);
  FreeDllModules();
  ASSERT_EQ(GetModuleHandleW(L"mpr.dll"), nullptr) << "freeing the modules let the DLL go";
  FARPROC address = nullptr;
  testing_support::ExpectNoFatal("a call after the end", [&] { address = ResolveDllCommand(kMprCommand); });
  HMODULE mpr = GetModuleHandleW(L"mpr.dll");
  ASSERT_NE(mpr, nullptr);
  EXPECT_EQ(address, GetProcAddress(mpr, "WNetGetConnectionW"));
}

// Every thread waits for one signal, then all resolve the same command.
std::vector<FARPROC> ResolveAtOnce(int threadCount, int number) {
  HANDLE go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::vector<FARPROC> resolved(size_t(threadCount), nullptr);
  std::vector<std::thread> threads;
  for (size_t i = 0; i < resolved.size(); ++i)
    threads.emplace_back([&, i] {
      WaitForSingleObject(go, INFINITE);
      resolved[i] = ResolveDllCommand(number);
    });
  SetEvent(go);
  for (std::thread& thread : threads) thread.join();
  CloseHandle(go);
  return resolved;
}

TEST_F(DllCommands, ThreadsResolvingAtOnceGetOneAddressAndKeepOneModuleReference) {
  ASSERT_EQ(GetModuleHandleW(L"mpr.dll"), nullptr) << "the test needs a DLL the process has not loaded";
  constexpr int kRounds = 20, kThreads = 8;
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    InitDllCommands();
    std::vector<FARPROC> resolved = ResolveAtOnce(kThreads, kMprCommand);
    HMODULE mpr = GetModuleHandleW(L"mpr.dll");
    ASSERT_NE(mpr, nullptr) << "the cached command keeps its DLL loaded";
    FARPROC expected = GetProcAddress(mpr, "WNetGetConnectionW");
    for (size_t i = 0; i < resolved.size(); ++i) EXPECT_EQ(resolved[i], expected) << "thread " << i;
    FreeDllModules();
    ASSERT_EQ(GetModuleHandleW(L"mpr.dll"), nullptr) << "a thread that lost the race kept its reference";
  }
}

}  // namespace
