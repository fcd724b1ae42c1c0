// The unit gallery under test: started for each test with a fresh log,
// closed after it; what its handlers saw is read back from the log.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "driver.h"
#include "e2e_support.h"

namespace e2e {

constexpr DWORD kGalleryTimeout = 20000;

// The gallery logs UTF-8.
inline std::string Utf8(const std::wstring& wide) {
  int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(size_t(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), int(wide.size()), utf8.data(), n, nullptr, nullptr);
  return utf8;
}

class GalleryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = std::make_unique<driver::Process>(
        driver::Process::start(e2e::Beside(L"gallery.exe"), e2e::Quoted(log_.path())));
    window_ = driver::waitTopWindow(program_->pid(), L"VNWindow", L"单元展示 Gallery", kGalleryTimeout);
    ASSERT_NE(window_, nullptr) << "the gallery did not appear";
    ASSERT_TRUE(WaitForLine("OnGalleryCreated"));
  }
  void TearDown() override {
    if (!program_->running()) return;
    PostMessageW(window_, WM_CLOSE, 0, 0);
    DWORD code = 1;
    EXPECT_TRUE(program_->waitExit(kGalleryTimeout, &code)) << "the gallery did not close";
    EXPECT_EQ(code, 0u);
  }

  HWND Control(int id) { return driver::waitChild(window_, nullptr, id, kGalleryTimeout); }

  // Whether the log has the line within the timeout; a failure shows the log.
  bool WaitForLine(const std::string& line) {
    for (ULONGLONG deadline = GetTickCount64() + kGalleryTimeout; GetTickCount64() < deadline; Sleep(20))
      if (Count(line) > 0) return true;
    ADD_FAILURE() << "the log never had \"" << line << "\"; it has:\n" << Joined();
    return false;
  }
  size_t Count(const std::string& line) {
    std::vector<std::string> lines = log_.lines();
    return size_t(std::count(lines.begin(), lines.end(), line));
  }
  std::string Joined() {
    std::string all;
    for (const std::string& line : log_.lines()) all += "  " + line + "\n";
    return all;
  }

  e2e::ProbeLog log_{L"gallery"};
  std::unique_ptr<driver::Process> program_;
  HWND window_ = nullptr;
};

}  // namespace e2e
