// The program: its descriptor, its entry routine and the process entry.
#include <windows.h>

#include <cfloat>
#include <iterator>

#include "commands/core_library.h"
#include "libraries/libraries.h"
#include "player/form_data.h"
#include "player/ids.h"
#include "player/state.h"
#include "runtime/helpers.h"
#include "runtime/services.h"

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

void GlobalInitialisation() {}

int ProgramEntry(const rt::RuntimeServices& runtime) {
  runtime.CallRuntimeHelper(rt::HELPER_INIT_RUNTIME);
  _fpreset();
  GlobalInitialisation();
  runtime.CallRuntimeHelper(rt::HELPER_REGISTER_EXIT_ROUTINE, &FreePlayerState);
  runtime.LoadStartWindow(kMainWindow);
  runtime.RunMessageLoop();
  return 0;
}

}  // namespace
}  // namespace player

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return rt::RunApplication(player::kProgram, player::ProgramEntry); }
