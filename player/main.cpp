// The program: its descriptor, its entry routine and the process entry.
#include <windows.h>

#include <shellapi.h>

#include <cfloat>
#include <iterator>
#include <string>
#include <vector>

#include "commands/program_libraries.h"
#include "player/command_line.h"
#include "player/form_data.h"
#include "player/ids.h"
#include "player/playback.h"
#include "player/runtime_calls.h"
#include "player/state.h"
#include "runtime/helpers.h"
#include "runtime/services.h"
#include "windows/framework.h"

namespace player {
namespace {

// The four kernel32 functions the player declares, by number.
constexpr const char* kDllFiles[] = {"", "kernel32.dll", "kernel32.dll", "kernel32.dll"};
constexpr const char* kDllExports[] = {"MultiByteToWideChar", "WideCharToMultiByte", "SuspendThread",
                                       "ResumeThread"};

// The program's text literals live in one read-only block.
struct Constants {
  char empty[1] = "";
};
constexpr Constants kConstants;

const rt::ProgramDescriptor kProgram = {
    .buildKind = 3,
    .reserved = 0,
    .thirdWord = 0x101ac,
    .handlers = kHandlers,
    .handlerCount = kHandlerCount,
    .constantBlock = &kConstants,
    .constantSize = sizeof kConstants,
    .formData = kFormData,
    .formDataSize = kFormDataSize,
    .libraryCount = uint32_t(std::size(lib::kProgramLibraries)),
    .libraries = lib::kProgramLibraries,
    .dllCommandCount = uint32_t(std::size(kDllExports)),
    .dllFileNames = kDllFiles,
    .dllExportNames = kDllExports,
};

// The arguments after the program's name.
std::vector<std::wstring> Arguments() {
  int count = 0;
  wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> arguments;
  for (int i = 1; i < count; ++i) arguments.emplace_back(words[i]);
  LocalFree(words);
  return arguments;
}

int ProgramEntry(const rt::RuntimeServices& runtime) {
  runtime.CallRuntimeHelper(rt::HELPER_INIT_RUNTIME);
  _fpreset();
  runtime.CallRuntimeHelper(rt::HELPER_REGISTER_EXIT_ROUTINE, &FreePlayerState);
  const CommandLine& commandLine = State().commandLine;
  if (commandLine.help) {
    ShowMessage(kUsage, kInformationIcon, "Ombrevista", rt::ArgRecord{});
    return 0;
  }
  runtime.LoadStartWindow(kMainWindow);
  ApplyCommandLine(commandLine);
  runtime.RunMessageLoop();
  // The loop can end with the main window still there (a quit message from
  // outside); the end of the program destroys it with events suppressed, so
  // the playbacks end here, before their frames lose their window.
  EndAllPlaybacks();
  return 0;
}

}  // namespace
}  // namespace player

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  player::State().commandLine = player::ParseCommandLine(player::Arguments());
  return rt::RunApplication(player::kProgram, win::kWindowFramework, player::ProgramEntry);
}
