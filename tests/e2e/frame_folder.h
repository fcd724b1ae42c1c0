// A folder of frame files for one test, made fresh in the temporary folder
// and removed with everything in it afterwards. Its path holds no "." (the
// player refuses such paths).
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "e2e_support.h"

namespace e2e {

class FrameFolder {
 public:
  explicit FrameFolder(const std::wstring& name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + L"ombre_" + name + L"_" + std::to_wstring(GetCurrentProcessId());
    RemoveAll();
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~FrameFolder() { RemoveAll(); }
  FrameFolder(const FrameFolder&) = delete;
  FrameFolder& operator=(const FrameFolder&) = delete;

  const std::wstring& path() const { return path_; }

  // Writes a file into the folder; its full path.
  std::wstring Write(const std::wstring& file, std::string_view bytes) const {
    std::wstring path = path_ + L"\\" + file;
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    if (!bytes.empty()) WriteFile(out, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(out);
    return path;
  }
  // prefixNNNN.txt holding `utf8`.
  void WriteFrame(const std::wstring& prefix, int number, std::string_view utf8) const {
    wchar_t digits[8];
    swprintf(digits, 8, L"%04d", number % 10000);
    Write(prefix + digits + L".txt", utf8);
  }

 private:
  void RemoveAll() const {
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((path_ + L"\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        DeleteFileW((path_ + L"\\" + entry.cFileName).c_str());
      } while (FindNextFileW(search, &entry));
      FindClose(search);
    }
    RemoveDirectoryW(path_.c_str());
  }

  std::wstring path_;
};

}  // namespace e2e
