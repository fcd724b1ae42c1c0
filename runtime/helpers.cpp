#include "runtime/helpers.h"

#include <cstdarg>

#include "runtime/gbk.h"
#include "runtime/shutdown.h"
#include "runtime/startup.h"
#include "runtime/state.h"
#include "runtime/values.h"

namespace rt {
namespace {

bool Acceptable(const WIN32_FIND_DATAW& entry, uint32_t mask, bool filesOnly) {
  DWORD attributes = entry.dwFileAttributes;
  if (filesOnly) return !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  mask &= kFindFileMaskBits;
  return mask ? (attributes & mask) != 0 : attributes == 0;
}

// The first acceptable entry from `entry` on, or false when none is left.
bool SkipToAcceptable(HANDLE search, WIN32_FIND_DATAW& entry, uint32_t mask, bool filesOnly) {
  while (!Acceptable(entry, mask, filesOnly))
    if (!FindNextFileW(search, &entry)) return false;
  return true;
}

}  // namespace

void CloseFind(HANDLE* search) {
  if (*search) FindClose(*search);
  *search = nullptr;
}

char* FindFile(const char* pattern, uint32_t attributeMask, bool filesOnly, HANDLE* search) {
  WIN32_FIND_DATAW entry;
  if (pattern && *pattern) {
    CloseFind(search);
    HANDLE found = FindFirstFileW(WideFromGbk(pattern).c_str(), &entry);
    if (found == INVALID_HANDLE_VALUE) return nullptr;
    *search = found;
  } else if (!*search || !FindNextFileW(*search, &entry)) {
    CloseFind(search);
    return nullptr;
  }
  if (!SkipToAcceptable(*search, entry, attributeMask, filesOnly)) {
    CloseFind(search);
    return nullptr;
  }
  return MakeText(GbkFromWide(entry.cFileName).c_str());
}

uint64_t CallRuntimeHelper(int number, ...) {
  va_list args;
  va_start(args, number);
  uint64_t result = 0;
  switch (number) {
    case HELPER_FIND_FILE: {
      auto* pattern = va_arg(args, const char*);
      auto mask = va_arg(args, uint32_t);
      auto filesOnly = va_arg(args, int);
      auto* search = va_arg(args, HANDLE*);
      result = reinterpret_cast<uintptr_t>(FindFile(pattern, mask, filesOnly != 0, search));
      break;
    }
    case HELPER_CLOSE_FIND: CloseFind(va_arg(args, HANDLE*)); break;
    case HELPER_MAKE_ARRAY_WRITABLE: {
      auto elementSize = va_arg(args, size_t);
      MakeConstantArrayWritable(elementSize, va_arg(args, void**));
      break;
    }
    case HELPER_REGISTER_EXIT_ROUTINE: RegisterExitRoutine(va_arg(args, ExitRoutine)); break;
    case HELPER_READ_HELD_UNIT_PROPERTY: {
      va_arg(args, uint32_t);  // the unit type code: the unit's record already names it
      auto* unit = va_arg(args, const HeldUnit*);
      auto property = va_arg(args, int);
      result = uint64_t(Framework().readUnitProperty(unit->windowId, unit->unitId, property, va_arg(args, int)));
      break;
    }
    case HELPER_WRITE_HELD_UNIT_PROPERTY: {
      va_arg(args, uint32_t);
      auto* unit = va_arg(args, const HeldUnit*);
      auto property = va_arg(args, int);
      auto element = va_arg(args, int);
      auto low = va_arg(args, uint32_t);
      Framework().writeUnitProperty(unit->windowId, unit->unitId, property, element, low, va_arg(args, uint32_t));
      break;
    }
    case HELPER_INIT_RUNTIME: InitRuntime(); break;
    default: break;
  }
  va_end(args);
  return result;
}

}  // namespace rt
