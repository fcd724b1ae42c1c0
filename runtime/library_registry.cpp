#include "runtime/library_registry.h"

#include <vector>

#include "runtime/callback.h"
#include "runtime/state.h"
#include "windows/unit_type.h"

namespace rt {
namespace {

struct RegisteredLibrary {
  const LibraryDescriptor* descriptor;
  intptr_t dataWord;
};
std::vector<RegisteredLibrary> libraries;

}  // namespace

void RegisterLibraries() {
  const ProgramDescriptor& program = *State().program;
  for (uint32_t i = 0; i < program.libraryCount; ++i) {
    const LibraryDescriptor* library = program.libraries[i];
    if (library->notify) library->notify(NOTIFY_START, reinterpret_cast<intptr_t>(&RuntimeCallbackEntry), 0);
  }
  libraries.clear();
  for (uint32_t i = 0; i < program.libraryCount; ++i) libraries.push_back({program.libraries[i], 0});
}

void NotifyLibrariesOfEnd() {
  for (const RegisteredLibrary& library : libraries)
    if (library.descriptor->notify) library.descriptor->notify(NOTIFY_END, library.dataWord, 0);
  libraries.clear();
}

int LibraryCount() { return int(libraries.size()); }

const LibraryDescriptor* Library(int number) {
  return number >= 0 && number < LibraryCount() ? libraries[size_t(number)].descriptor : nullptr;
}

const win::UnitTypeDescriptor* FindUnitType(uint32_t typeCode) {
  if (ClassifyTag(typeCode) != TagClass::Library) return nullptr;
  const LibraryDescriptor* library = Library(int(typeCode >> 16) - 1);
  int typeIndex = int(typeCode & 0xFFFF) - 1;
  if (!library || typeIndex < 0 || typeIndex >= library->dataTypeCount) return nullptr;
  return &library->dataTypes[typeIndex];
}

}  // namespace rt
