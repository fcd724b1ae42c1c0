#include "media.h"

#include <windows.h>

#include <cwchar>
#include <stdexcept>

namespace bench {
namespace {

constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr int kAlphabetSize = sizeof kAlphabet - 1;

// A diagonal pattern that moves one column a frame.
std::string FrameText(FrameSize size, int frame) {
  std::string text;
  text.reserve(size_t(size.rows) * size_t(size.columns + 2));
  for (int row = 0; row < size.rows; ++row) {
    for (int column = 0; column < size.columns; ++column) text += kAlphabet[(row + column + frame) % kAlphabetSize];
    text += "\r\n";
  }
  return text;
}

void WriteFile(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write a frame file");
  DWORD written = 0;
  bool complete = ::WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
  CloseHandle(file);
  if (!complete) throw std::runtime_error("a frame file was cut short");
}

}  // namespace

std::wstring WriteFrames(const std::wstring& folder, const std::wstring& prefix, FrameSize size, int count) {
  CreateDirectoryW(folder.c_str(), nullptr);
  for (int frame = 1; frame <= count; ++frame) {
    wchar_t number[8];
    std::swprintf(number, 8, L"%04d", frame % 10000);
    WriteFile(folder + L"\\" + prefix + number + L".txt", FrameText(size, frame));
  }
  return folder;
}

}  // namespace bench
