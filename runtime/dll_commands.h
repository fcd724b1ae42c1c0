// Declared DLL commands: functions of system DLLs that program code calls by
// number, resolved on first use and cached until shutdown. Any thread may
// resolve, also after shutdown has freed the modules; start-up sizes the
// tables alone.
#pragma once

#include <windows.h>

namespace rt {

// Sizes the tables from the program descriptor (start-up).
void InitDllCommands();
// The export's address; a missing library or export is a fatal error.
FARPROC ResolveDllCommand(int number);
// Frees every module loaded for DLL commands; each command forgets its
// address and is resolved again if it is called once more.
void FreeDllModules();

}  // namespace rt
