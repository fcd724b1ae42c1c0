#include "runtime/startup.h"

#include <windows.h>
#include <ole2.h>

#include "runtime/dll_commands.h"
#include "runtime/fatal.h"
#include "runtime/gbk.h"
#include "runtime/heap.h"
#include "runtime/hidden_owner.h"
#include "runtime/library_registry.h"
#include "runtime/services.h"
#include "runtime/shutdown.h"
#include "runtime/state.h"

namespace rt {
namespace {

struct ProgramPath {
  std::string directory;  // no trailing backslash
  std::string fileName;
};

ProgramPath ReadProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  DWORD n;
  while ((n = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()))) >= path.size())
    path.resize(path.size() * 2);
  path.resize(n);
  std::string gbk = GbkFromWide(path);
  size_t slash = gbk.rfind('\\');
  if (slash == std::string::npos) return {"", gbk};
  return {gbk.substr(0, slash), gbk.substr(slash + 1)};
}

void StoreProgramPath() {
  ProgramPath path = ReadProgramPath();
  RuntimeState& state = State();
  state.directory = path.directory;
  state.fileName = path.fileName;
  state.directoryWithBackslash = path.directory + "\\";
}

}  // namespace

void InstallFormData(const ProgramDescriptor& program) {
  if (program.formDataSize == 0) return;
  if (!Framework().installFormData({program.formData, program.formDataSize}, program.handlerCount))
    ReportFatalError("载入窗口模板数据段出错!");
}

RuntimeState& State() {
  static RuntimeState state;
  return state;
}

void InstallWindowFramework(const WindowFramework& framework) { State().windowFramework = &framework; }

const WindowFramework& Framework() { return *State().windowFramework; }

// The process heap is fetched by the memory services before anything can
// allocate (heap.cpp), so initialisation starts with the descriptor words.
void InitRuntime() {
  RuntimeState& state = State();
  const ProgramDescriptor& program = *state.program;
  state.buildKind = program.buildKind;
  state.reservedWord = program.reserved;
  state.thirdWordPlusOne = program.thirdWord + 1;
  if (!state.oleInitialisedByRuntime && SUCCEEDED(OleInitialize(nullptr))) state.oleInitialisedByRuntime = true;
  StoreProgramPath();
  SetCurrentDirectoryW(WideFromGbk(state.directory).c_str());
  CreateHiddenOwner();
  state.mainThreadId = GetCurrentThreadId();
  if (program.constantSize) SetConstantBlock(program.constantBlock, program.constantSize);
  if (program.dllCommandCount) InitDllCommands();
  RegisterLibraries();
  InstallFormData(program);
}

// The framework's main routine: initialise-instance runs the program entry,
// whose result (0) tells the framework to skip its own loop and go straight
// to exit-instance, which shuts the runtime down with exit code 0. The
// process ends there: the program's own threads may still run, and must not
// meet the C runtime's static destructors. The program's directory is stored
// once, by InitRuntime, which every entry calls first.
int RunApplication(const ProgramDescriptor& program, const WindowFramework& framework, ProgramEntry entry) {
  InstallWindowFramework(framework);
  State().program = &program;
  entry(Services());
  ExitProgram(0);
}

}  // namespace rt
