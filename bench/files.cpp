#include "files.h"

#include <windows.h>

namespace bench {

std::string ReadFrom(const std::wstring& path, uint64_t from) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  LARGE_INTEGER at;
  at.QuadPart = LONGLONG(from);
  SetFilePointerEx(file, at, nullptr, FILE_BEGIN);
  std::string text;
  char chunk[4096];
  DWORD read = 0;
  while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) text.append(chunk, read);
  CloseHandle(file);
  return text;
}

}  // namespace bench
