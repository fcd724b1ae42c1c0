// The unit gallery under test (tests/e2e/gallery.cpp, forms/gallery.form):
// started for each test with a fresh log, closed after it, and read through
// the lines its handlers log.
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

inline constexpr DWORD kTimeout = 20000;

// Control IDs the loader hands out: 100 for the last listed unit, 10 more
// for each one before it. Units are added at the end of the gallery's list,
// so only the count changes: a unit's ID comes from its place in the list
// (the first unit after the window is 1).
inline constexpr int kGalleryUnits = 23;
constexpr int GalleryControlId(int place) { return 100 + 10 * (kGalleryUnits - place); }

class Gallery : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = std::make_unique<driver::Process>(Start(Beside(L"gallery.exe"), Quoted(log_.path())));
    window_ = driver::waitTopWindow(program_->pid(), L"VNWindow", L"单元展示 Gallery", kTimeout);
    ASSERT_NE(window_, nullptr) << "the gallery did not appear";
    ASSERT_TRUE(WaitForLine("OnGalleryCreated"));
    ASSERT_EQ(driver::className(Control(GalleryControlId(1))), L"_QX_Label")
        << "kGalleryUnits must count the units of forms/gallery.form";
  }
  void TearDown() override {
    if (!program_->running()) return;
    PostMessageW(window_, WM_CLOSE, 0, 0);
    DWORD code = 1;
    EXPECT_TRUE(program_->waitExit(kTimeout, &code)) << "the gallery did not close";
    EXPECT_EQ(code, 0u);
  }

  // How the gallery is started; a test that listens to it starts it otherwise.
  virtual driver::Process Start(const std::wstring& exePath, const std::wstring& args) {
    return driver::Process::start(exePath, args);
  }

  HWND Control(int id) { return driver::waitChild(window_, nullptr, id, kTimeout); }

  // Whether the log has the line (`times` times) within the timeout; a
  // failure names what it has instead.
  bool WaitForLine(const std::string& line, size_t times = 1) {
    for (ULONGLONG deadline = GetTickCount64() + kTimeout; GetTickCount64() < deadline; Sleep(20))
      if (Count(line) >= times) return true;
    ADD_FAILURE() << "the log never had \"" << line << "\" " << times << " times; it has:\n" << Joined();
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
  // Waits until the gallery has processed everything posted so far. A sent
  // message would overtake the posted ones, so the barrier is posted too: a
  // selection in the large-font box, which no test looks at, read back
  // until it has arrived.
  void Settle() {
    HWND barrier = Control(kBarrierBoxId);
    barrierMark_ = (barrierMark_ + 1) % 4;
    PostMessageW(barrier, EM_SETSEL, 0, barrierMark_);
    for (ULONGLONG deadline = GetTickCount64() + kTimeout; GetTickCount64() < deadline; Sleep(5)) {
      DWORD end = 0;
      SendMessageW(barrier, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&end));
      if (end == DWORD(barrierMark_)) return;
    }
    ADD_FAILURE() << "the gallery did not process its messages";
  }

  static constexpr int kBarrierBoxId = GalleryControlId(8);  // EditBox4, the large-font box

  ProbeLog log_{L"gallery"};
  int barrierMark_ = 0;
  std::unique_ptr<driver::Process> program_;
  HWND window_ = nullptr;
};

}  // namespace e2e
