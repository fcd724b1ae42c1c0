// Start-up: the runtime's initialisation and the process's main routine.
#pragma once

namespace rt {

// Runtime helper 6, called first by the program's entry routine.
void InitRuntime();

struct ProgramDescriptor;
// Reads the program's form data into the window registry; damaged form data
// is a fatal error.
void InstallFormData(const ProgramDescriptor& program);

}  // namespace rt
