// The unit gallery (tests/e2e/gallery.cpp), started for each test and
// driven from outside: its handlers log what they see to a log file the test
// reads.
//
// Units are reached by their place in the gallery's unit list, counted from
// the top. Units are only ever added at the end of that list, so places
// stay; control IDs do not: the loader numbers controls from the end (100 for
// the last unit, 10 more for each one before it).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "driver.h"
#include "e2e_support.h"

namespace e2e {

constexpr DWORD kGalleryTimeout = 20000;

inline std::string Utf8(const std::wstring& wide) {
  int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(size_t(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), int(wide.size()), utf8.data(), n, nullptr, nullptr);
  return utf8;
}

class Gallery : public ::testing::Test {
 protected:
  // A single-line box no test looks at: Settle's barrier.
  static constexpr int kBarrierPlace = 7;
  static constexpr int kControlIdStep = 10;

  void SetUp() override {
    program_ = std::make_unique<driver::Process>(
        driver::Process::start(Beside(L"gallery.exe"), Quoted(log_.path())));
    window_ = driver::waitTopWindow(program_->pid(), L"VNWindow", L"单元展示 Gallery", kGalleryTimeout);
    ASSERT_NE(window_, nullptr) << "the gallery did not appear";
    ASSERT_TRUE(WaitForLine("OnGalleryCreated"));
    firstControlId_ = HighestControlId();
  }
  void TearDown() override {
    if (!program_->running()) return;
    PostMessageW(window_, WM_CLOSE, 0, 0);
    DWORD code = 1;
    EXPECT_TRUE(program_->waitExit(kGalleryTimeout, &code)) << "the gallery did not close";
    EXPECT_EQ(code, 0u);
  }

  // The control ID of the unit at that place in the unit list, and its control.
  int ControlId(int place) const { return firstControlId_ - kControlIdStep * place; }
  HWND Control(int place) { return driver::waitChild(window_, nullptr, ControlId(place), kGalleryTimeout); }

  // Whether the log has the line within the timeout; a test failure names
  // what it has instead.
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
  // Waits until the gallery has processed everything posted so far. A sent
  // message would overtake the posted ones, so the barrier is posted too: a
  // selection in the barrier box, read back until it has arrived.
  void Settle() {
    HWND barrier = Control(kBarrierPlace);
    barrierMark_ = (barrierMark_ + 1) % 4;
    PostMessageW(barrier, EM_SETSEL, 0, barrierMark_);
    for (ULONGLONG deadline = GetTickCount64() + kGalleryTimeout; GetTickCount64() < deadline; Sleep(5)) {
      DWORD end = 0;
      SendMessageW(barrier, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&end));
      if (end == DWORD(barrierMark_)) return;
    }
    ADD_FAILURE() << "the gallery did not process its messages";
  }

  ProbeLog log_{L"gallery"};
  std::unique_ptr<driver::Process> program_;
  HWND window_ = nullptr;

 private:
  // The first unit's: the window's own children all number below it.
  int HighestControlId() const {
    int highest = 0;
    for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      highest = std::max(highest, GetDlgCtrlID(child));
    return highest;
  }

  int barrierMark_ = 0;
  int firstControlId_ = 0;
};

}  // namespace e2e
