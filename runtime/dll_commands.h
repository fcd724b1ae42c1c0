// Declared DLL commands: functions of system DLLs that program code calls by
// number, resolved on first use and cached until shutdown. Any thread may
// resolve, also after shutdown has freed the modules; start-up sizes the
// tables alone.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

namespace rt {

// Worker threads call DLL commands while others resolve them. Each caller
// resolves on its own and the first to finish publishes its address; a later
// one drops its extra module reference. No lock: a thread ended by force in
// the middle of a resolution (the player's Stop) cannot leave one held.
// Resolved calls cost one atomic load.
struct DllCommand {
  std::string fileName;
  std::string exportName;
  std::atomic<HMODULE> module = nullptr;
  std::atomic<FARPROC> address = nullptr;
};

// Sizes the tables from the program descriptor (start-up).
void InitDllCommands();
// The export's address; a missing library or export is a fatal error.
FARPROC ResolveDllCommand(int number);
// Frees every module loaded for DLL commands; each command forgets its
// address and is resolved again if it is called once more.
void FreeDllModules();

}  // namespace rt
