// A program on the runtime for end-to-end tests: it runs the player's form
// data with handlers that only log their calls, and a few scenarios chosen
// on its command line:
//   probe <log> exit-from-thread   ExitProgram(5) from a second thread
//   probe <log> fatal-empty        a fatal error with code 0 and no message
//   probe <log> runtime-error-6    ReportRuntimeError(6)
//   probe <log> windows            loads the start window and runs the loop
//   probe <log> count-creations    loads the start window, logs "creations N"
//                                  (the windows its load made) and ends
//   probe <log> fail-creation N    loads the start window with its Nth window
//                                  creation failing
// Every line it logs is appended to <log>; the exit routine logs the thread
// it ran on.
#include <windows.h>

#include <shellapi.h>

#include <array>
#include <cstdio>
#include <cwchar>
#include <string>
#include <utility>

#include "commands/core_library.h"
#include "commands/program_libraries.h"
#include "player/form_data.h"
#include "runtime/callback.h"
#include "runtime/fault_injection.h"
#include "runtime/helpers.h"
#include "runtime/services.h"
#include "windows/framework.h"

namespace {

std::wstring logPath;
std::wstring scenario;
uint32_t failAt = 0;  // fail-creation's N
DWORD mainThread = 0;

void Log(const std::string& line) {
  FILE* f = _wfopen(logPath.c_str(), L"ab");
  if (!f) return;
  std::fprintf(f, "%s\n", line.c_str());
  std::fclose(f);
}

void ExitRoutine() { Log(GetCurrentThreadId() == mainThread ? "exit routine on main thread" : "exit routine on another thread"); }

template <size_t N>
void LoggingHandler(rt::HandlerCall& call) {
  std::string line = "handler ";
  line += player::kHandlerNames[N];
  for (int i = 0; i < call.argumentCount; ++i) {
    line += ' ';
    line += std::to_string(call.arguments[i]);
  }
  Log(line);
}

template <size_t... N>
constexpr std::array<rt::EventHandler, sizeof...(N)> LoggingHandlers(std::index_sequence<N...>) {
  return {&LoggingHandler<N>...};
}
constexpr size_t kMaxHandlers = 64;
constexpr auto kHandlers = LoggingHandlers(std::make_index_sequence<kMaxHandlers>());

uint32_t HandlerCount() {
  uint32_t count = 0;
  while (player::kHandlerNames[count]) ++count;
  return count <= kMaxHandlers ? count : 0;
}

const rt::ProgramDescriptor kProgram = {
    .buildKind = 3,
    .handlers = kHandlers.data(),
    .handlerCount = HandlerCount(),
    .formData = player::kFormData,
    .formDataSize = player::kFormDataSize,
    .libraryCount = uint32_t(std::size(lib::kProgramLibraries)),
    .libraries = lib::kProgramLibraries,
};

DWORD WINAPI ExitFromThread(void* services) {
  Sleep(200);
  static_cast<const rt::RuntimeServices*>(services)->ExitProgram(5);
  return 0;
}

void PumpForever() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
}

int Entry(const rt::RuntimeServices& runtime) {
  runtime.CallRuntimeHelper(rt::HELPER_INIT_RUNTIME);
  mainThread = GetCurrentThreadId();
  runtime.CallRuntimeHelper(rt::HELPER_REGISTER_EXIT_ROUTINE, &ExitRoutine);
  if (scenario == L"exit-from-thread") {
    CloseHandle(CreateThread(nullptr, 0, ExitFromThread, const_cast<rt::RuntimeServices*>(&runtime), 0, nullptr));
    PumpForever();
  } else if (scenario == L"fatal-empty") {
    rt::RuntimeCallbackEntry(rt::REQ_FATAL_ERROR, 0, 0);
  } else if (scenario == L"runtime-error-6") {
    runtime.ReportRuntimeError(6);
  } else if (scenario == L"windows") {
    runtime.LoadStartWindow(0x52010001);
    runtime.RunMessageLoop();
  } else if (scenario == L"count-creations") {
    rt::fault::Armed counting(rt::fault::Fault::WindowCreation, 0);
    runtime.LoadStartWindow(0x52010001);
    Log("creations " + std::to_string(counting.attempts()));
  } else if (scenario == L"fail-creation") {
    rt::fault::Armed failing(rt::fault::Fault::WindowCreation, failAt);
    runtime.LoadStartWindow(0x52010001);
  }
  Log("entry returned");
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc < 3) return 2;
  logPath = argv[1];
  scenario = argv[2];
  if (argc > 3) failAt = uint32_t(std::wcstoul(argv[3], nullptr, 10));
  LocalFree(argv);
  return rt::RunApplication(kProgram, win::kWindowFramework, Entry);
}
