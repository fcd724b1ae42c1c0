#include "runtime/library_registry.h"

#include <vector>

#include "runtime/callback.h"
#include "runtime/state.h"

namespace rt {
void RegisterLibraries() {
  const ProgramDescriptor& program = *State().program;
  for (uint32_t i = 0; i < program.libraryCount; ++i) {
    const LibraryDescriptor* library = program.libraries[i];
    if (library->notify) library->notify(NOTIFY_START, reinterpret_cast<intptr_t>(&RuntimeCallbackEntry), 0);
  }
  auto& libraries = State().libraries;
  libraries.clear();
  for (uint32_t i = 0; i < program.libraryCount; ++i) libraries.push_back({program.libraries[i], 0});
}

void NotifyLibrariesOfEnd() {
  auto& libraries = State().libraries;
  for (const RegisteredLibrary& library : libraries)
    if (library.descriptor->notify) library.descriptor->notify(NOTIFY_END, library.dataWord, 0);
  libraries.clear();
}

int LibraryCount() { return int(State().libraries.size()); }

const LibraryDescriptor* Library(int number) {
  return number >= 0 && number < LibraryCount() ? State().libraries[size_t(number)].descriptor : nullptr;
}

}  // namespace rt
