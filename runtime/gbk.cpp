#include "runtime/gbk.h"

#include <windows.h>

namespace rt {

std::wstring WideFromGbk(std::string_view gbk) {
  if (gbk.empty()) return {};
  int n = MultiByteToWideChar(kGbkCodePage, 0, gbk.data(), int(gbk.size()), nullptr, 0);
  std::wstring wide(size_t(n), L'\0');
  MultiByteToWideChar(kGbkCodePage, 0, gbk.data(), int(gbk.size()), wide.data(), n);
  return wide;
}

std::string GbkFromWide(std::wstring_view wide) {
  if (wide.empty()) return {};
  int n = WideCharToMultiByte(kGbkCodePage, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string gbk(size_t(n), '\0');
  WideCharToMultiByte(kGbkCodePage, 0, wide.data(), int(wide.size()), gbk.data(), n, nullptr, nullptr);
  return gbk;
}

std::optional<std::string> ExactGbkFromWide(std::wstring_view wide) {
  std::string gbk = GbkFromWide(wide);
  if (WideFromGbk(gbk) != wide) return std::nullopt;
  return gbk;
}

int32_t GbkCharCode(wchar_t character) {
  char bytes[2];
  BOOL lossy = FALSE;
  int n = WideCharToMultiByte(kGbkCodePage, 0, &character, 1, bytes, 2, nullptr, &lossy);
  if (n <= 0 || lossy) return '?';
  return n == 1 ? uint8_t(bytes[0]) : uint8_t(bytes[0]) << 8 | uint8_t(bytes[1]);
}

wchar_t CharOfGbkCode(int64_t code) {
  char bytes[2] = {char(code >> 8), char(code)};
  bool single = code >= 0 && code <= 0xFF;
  if (code < 0 || code > 0xFFFF) return L'?';
  wchar_t character = L'?';
  int n = MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, single ? bytes + 1 : bytes, single ? 1 : 2,
                              &character, 1);
  return n == 1 ? character : L'?';
}

}  // namespace rt
