#include "commands/file_commands.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string_view>

#include "libraries/arguments.h"
#include "runtime/fault_injection.h"
#include "runtime/gbk.h"
#include "runtime/heap.h"

namespace core {
namespace {

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using FileHandle = std::unique_ptr<void, HandleCloser>;

// Other readers may share the file; writers are kept out while it is read,
// and a file someone is writing is not opened at all.
FileHandle OpenForReading(std::string_view gbkName) {
  HANDLE file = CreateFileW(rt::WideFromGbk(gbkName).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  return FileHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

// 0 when the size cannot be read or does not fit a byte set's length word.
int32_t ReadableLength(HANDLE file) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size) || size.QuadPart > INT32_MAX) return 0;
  return int32_t(size.QuadPart);
}

// The number of bytes that arrived before the end of the file, or -1 when a
// read fails.
int64_t ReadInto(HANDLE file, uint8_t* bytes, int32_t length) {
  int64_t done = 0;
  while (done < length) {
    DWORD got = 0;
    if (!ReadFile(file, bytes + done, DWORD(length - done), &got, nullptr)) return -1;
    if (got == 0) break;
    done += got;
  }
  return done;
}

// A file too large for the heap reads as empty rather than ending the program.
void* ReadWholeFile(std::string_view gbkName) {
  FileHandle file = gbkName.empty() ? nullptr : OpenForReading(gbkName);
  int32_t length = file ? ReadableLength(file.get()) : 0;
  if (length == 0) return nullptr;
  rt::HeapPtr<rt::ByteSetHeader> set(
      static_cast<rt::ByteSetHeader*>(rt::TryAllocMemory(sizeof(rt::ByteSetHeader) + size_t(length))));
  if (!set) return nullptr;
  auto* bytes = reinterpret_cast<uint8_t*>(set.get() + 1);
  int64_t got = ReadInto(file.get(), bytes, int32_t(rt::fault::ReadLimit(size_t(length))));
  if (got <= 0) return nullptr;
  *set = {1, int32_t(got)};
  return set.release();
}

}  // namespace

void ReadFileBytes(rt::ArgRecord* result, int count, rt::ArgRecord* arguments) {
  *result = rt::MakeBlock(rt::TYPE_BYTESET, ReadWholeFile(lib::Arguments(count, arguments).text(0)));
}

}  // namespace core
