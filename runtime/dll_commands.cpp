#include "runtime/dll_commands.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/fatal.h"
#include "runtime/gbk.h"
#include "runtime/state.h"

namespace rt {
namespace {

struct DllCommand {
  std::string fileName;
  std::string exportName;
  HMODULE module = nullptr;
  FARPROC address = nullptr;
};
std::vector<DllCommand> commands;

// Searched in this order when a command names no library file.
constexpr const char* kStandardDlls[] = {"Kernel32.dll", "Gdi32.dll", "User32.dll",
                                         "Advapi32.dll", "Mpr.dll",   "Shell32.dll"};

HMODULE Load(const std::string& path) { return LoadLibraryW(WideFromGbk(path).c_str()); }

// "#123" names an ordinal; only its low 16 bits count.
FARPROC Lookup(HMODULE module, const std::string& exportName) {
  if (!exportName.empty() && exportName[0] == '#') {
    auto ordinal = WORD(std::strtoul(exportName.c_str() + 1, nullptr, 10) & 0xFFFF);
    return GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
  }
  return GetProcAddress(module, exportName.c_str());
}

void ResolveFromStandardDlls(DllCommand& command) {
  for (const char* name : kStandardDlls) {
    HMODULE module = Load(name);
    if (!module) continue;
    if (FARPROC address = Lookup(module, command.exportName)) {
      command.module = module;
      command.address = address;
      return;
    }
    FreeLibrary(module);
  }
}

// The program's directory first, then the system's search order; a path
// with a drive is loaded as given.
HMODULE LoadNamedDll(const std::string& fileName) {
  if (fileName.find(':') != std::string::npos) return Load(fileName);
  const RuntimeState& state = State();
  for (const std::string& candidate :
       {state.directory + "\\" + fileName, state.directoryWithBackslash + fileName, fileName})
    if (HMODULE module = Load(candidate)) return module;
  return nullptr;
}

void ResolveFromNamedDll(DllCommand& command) {
  command.module = LoadNamedDll(command.fileName);
  if (command.module) command.address = Lookup(command.module, command.exportName);
}

[[noreturn]] void ReportMissingExport(DllCommand& command) {
  if (command.module) FreeLibrary(command.module);
  command.module = nullptr;
  std::string message = command.fileName.empty()
                            ? "无法找到指定DLL库文件中的输出命令“" + command.exportName + "”"
                            : "无法找到指定DLL库文件“" + command.fileName + "”中的输出命令“" +
                                  command.exportName + "”";
  ReportFatalError(message);
}

}  // namespace

void InitDllCommands() {
  const ProgramDescriptor& program = *State().program;
  commands.assign(program.dllCommandCount, {});
  for (uint32_t i = 0; i < program.dllCommandCount; ++i) {
    commands[i].fileName = program.dllFileNames[i] ? program.dllFileNames[i] : "";
    commands[i].exportName = program.dllExportNames[i] ? program.dllExportNames[i] : "";
  }
}

FARPROC ResolveDllCommand(int number) {
  if (number < 0 || size_t(number) >= commands.size()) ReportFatalError("无法找到指定DLL库文件中的输出命令“”");
  DllCommand& command = commands[size_t(number)];
  if (command.address) return command.address;
  if (command.fileName.empty()) ResolveFromStandardDlls(command);
  else ResolveFromNamedDll(command);
  if (!command.address) ReportMissingExport(command);
  return command.address;
}

void FreeDllModules() {
  for (DllCommand& command : commands)
    if (command.module) FreeLibrary(command.module);
  commands.clear();
}

}  // namespace rt
