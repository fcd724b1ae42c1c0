// Start-up: the runtime's initialisation and the process's main routine.
#pragma once

namespace rt {

// Runtime helper 6, called first by the program's entry routine.
void InitRuntime();

}  // namespace rt
