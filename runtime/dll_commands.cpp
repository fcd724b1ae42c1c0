#include "runtime/dll_commands.h"

#include <atomic>
#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/fatal.h"
#include "runtime/gbk.h"
#include "runtime/state.h"

namespace rt {
namespace {

struct Resolution {
  HMODULE module = nullptr;
  FARPROC address = nullptr;
};

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

Resolution ResolveFromStandardDlls(const DllCommand& command) {
  for (const char* name : kStandardDlls) {
    HMODULE module = Load(name);
    if (!module) continue;
    if (FARPROC address = Lookup(module, command.exportName)) return {module, address};
    FreeLibrary(module);
  }
  return {};
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

Resolution ResolveFromNamedDll(const DllCommand& command) {
  HMODULE module = LoadNamedDll(command.fileName);
  return {module, module ? Lookup(module, command.exportName) : nullptr};
}

[[noreturn]] void ReportMissingExport(const DllCommand& command, HMODULE loaded) {
  if (loaded) FreeLibrary(loaded);
  std::string message = command.fileName.empty()
                            ? "无法找到指定DLL库文件中的输出命令“" + command.exportName + "”"
                            : "无法找到指定DLL库文件“" + command.fileName + "”中的输出命令“" +
                                  command.exportName + "”";
  ReportFatalError(message);
}

// The first resolution published wins; the module keeps the winner's
// reference, so a later resolver releases its own.
FARPROC Publish(DllCommand& command, Resolution found) {
  FARPROC published = nullptr;
  if (command.address.compare_exchange_strong(published, found.address, std::memory_order_acq_rel)) {
    command.module.store(found.module, std::memory_order_release);
    return found.address;
  }
  FreeLibrary(found.module);
  return published;
}

}  // namespace

void InitDllCommands() {
  const ProgramDescriptor& program = *State().program;
  std::vector<DllCommand> fresh(program.dllCommandCount);
  auto& commands = State().dllCommands;
  commands.swap(fresh);
  for (uint32_t i = 0; i < program.dllCommandCount; ++i) {
    commands[i].fileName = program.dllFileNames[i] ? program.dllFileNames[i] : "";
    commands[i].exportName = program.dllExportNames[i] ? program.dllExportNames[i] : "";
  }
}

FARPROC ResolveDllCommand(int number) {
  auto& commands = State().dllCommands;
  if (number < 0 || size_t(number) >= commands.size()) ReportFatalError("无法找到指定DLL库文件中的输出命令“”");
  DllCommand& command = commands[size_t(number)];
  if (FARPROC address = command.address.load(std::memory_order_acquire)) return address;
  Resolution found = command.fileName.empty() ? ResolveFromStandardDlls(command) : ResolveFromNamedDll(command);
  if (!found.address) ReportMissingExport(command, found.module);
  return Publish(command, found);
}

// At shutdown. Program threads end only with the process and may still
// call: the table stays, and a command called afterwards is resolved anew.
void FreeDllModules() {
  for (DllCommand& command : State().dllCommands) {
    command.address.store(nullptr, std::memory_order_release);
    if (HMODULE module = command.module.exchange(nullptr)) FreeLibrary(module);
  }
}

}  // namespace rt
