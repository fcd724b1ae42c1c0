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

}  // namespace rt
