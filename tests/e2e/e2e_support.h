// What the end-to-end tests share: where the programs under test are, and a
// log file each run of the probe writes.
#pragma once

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace e2e {

// A file beside the test executable.
inline std::wstring Beside(const wchar_t* name) {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir(path);
  return dir.substr(0, dir.rfind(L'\\') + 1) + name;
}

// A fresh, empty log file for one probe run.
class ProbeLog {
 public:
  explicit ProbeLog(const wchar_t* name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + name + L"_" + std::to_wstring(GetCurrentProcessId()) + L".log";
    DeleteFileW(path_.c_str());
  }
  ~ProbeLog() { DeleteFileW(path_.c_str()); }
  const std::wstring& path() const { return path_; }
  std::vector<std::string> lines() const {
    std::ifstream in(path_.c_str());
    std::vector<std::string> result;
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
  }

 private:
  std::wstring path_;
};

inline std::wstring Quoted(const std::wstring& s) { return L"\"" + s + L"\""; }

// The gallery logs UTF-8; Wine's Unix side names files in UTF-8.
inline std::string Utf8(const std::wstring& wide) {
  int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(size_t(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), int(wide.size()), utf8.data(), n, nullptr, nullptr);
  return utf8;
}
inline std::wstring Wide(const std::string& utf8) {
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
  std::wstring wide(size_t(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), n);
  return wide;
}

// Saves the whole screen (the Wine desktop) as a 24-bit BMP.
inline bool SaveScreenshot(const std::wstring& path) {
  int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFOHEADER header{sizeof header, width, height, 1, 24, BI_RGB};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  DWORD stride = DWORD((width * 3 + 3) & ~3), imageSize = stride * DWORD(height);
  BITMAPFILEHEADER file{0x4D42, DWORD(sizeof(BITMAPFILEHEADER) + sizeof header + imageSize), 0, 0,
                        DWORD(sizeof(BITMAPFILEHEADER) + sizeof header)};
  std::ofstream out(path.c_str(), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(static_cast<const char*>(bits), std::streamsize(imageSize));
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return bool(out);
}

}  // namespace e2e
