#include "runtime/dll_commands.h"

#include <gtest/gtest.h>

#include "fatal_trap.h"
#include "runtime/services.h"
#include "runtime/state.h"

namespace {

using namespace rt;

constexpr const char* kFiles[] = {"", "kernel32.dll", "kernel32.dll", "no_such_library.dll", ""};
constexpr const char* kExports[] = {"MultiByteToWideChar", "#123", "NoSuchExport", "Anything", "NoSuchExportEither"};

class DllCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = State().program;
    program_.dllCommandCount = 5;
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

}  // namespace
