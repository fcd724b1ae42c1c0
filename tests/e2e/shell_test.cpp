// The shell library's folder dialog in the gallery, driven from outside: the
// gallery's folder button calls BrowseForFolder and logs what it returned.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>

#include "driver.h"
#include "e2e_support.h"
#include "gallery_fixture.h"

namespace {

using e2e::kTimeout;
const std::wstring kFolderButton = L"文件夹… Folder";
const std::wstring kTitle = L"选择文件夹 Choose a folder";

// A new folder with a Chinese name in the temporary directory, which the
// gallery shares with the test.
class TemporaryFolder {
 public:
  TemporaryFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + L"帧目录_" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~TemporaryFolder() { RemoveDirectoryW(path_.c_str()); }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

class FolderDialog : public e2e::Gallery {
 protected:
  // Clicks the folder button and answers the folder dialog once its tree
  // is there; null when it did not come.
  HWND Browse() {
    HWND button = driver::findButton(window_, kFolderButton);
    if (!button) return ADD_FAILURE() << "no folder button", nullptr;
    PostMessageW(button, BM_CLICK, 0, 0);
    HWND dialog = driver::waitTopWindow(program_->pid(), L"#32770", nullptr, kTimeout);
    if (!dialog || !driver::waitChild(dialog, L"SysTreeView32", -1, kTimeout))
      return ADD_FAILURE() << "the folder dialog did not come", nullptr;
    return dialog;
  }

  static bool ShowsTitle(HWND dialog) {
    for (HWND text : driver::children(dialog, L"Static"))
      if (driver::windowText(text) == kTitle) return true;
    return false;
  }

};

TEST_F(FolderDialog, TheChosenFolderComesBackWhileTheGalleryWaitsDisabled) {
  TemporaryFolder folder;
  HWND dialog = Browse();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(ShowsTitle(dialog)) << "the dialog shows the handler's title";
  EXPECT_FALSE(IsWindowEnabled(window_)) << "the program's window is disabled while the dialog is up";
  driver::RemoteText path(program_->pid(), folder.path());
  ASSERT_NE(path.address(), 0);
  driver::chooseFolder(dialog, path);
  ASSERT_TRUE(WaitForLine("OnBrowseFolder [" + e2e::Utf8(folder.path()) + "]"));
  EXPECT_TRUE(IsWindowEnabled(window_)) << "and enabled again afterwards";
}

struct CancelCase {
  const char* name;
  bool enabledBefore;
};

TEST_F(FolderDialog, ACancelledDialogGivesTheEmptyTextAndLeavesTheWindowAsItWas) {
  const CancelCase cases[] = {{"enabled before", true}, {"disabled before", false}};
  for (const CancelCase& c : cases) {
    SCOPED_TRACE(c.name);
    size_t cancelled = Count("OnBrowseFolder []");
    EnableWindow(window_, c.enabledBefore);
    HWND dialog = Browse();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(IsWindowEnabled(window_));
    driver::cancelDialog(dialog);
    for (ULONGLONG deadline = GetTickCount64() + kTimeout; Count("OnBrowseFolder []") == cancelled; Sleep(20))
      ASSERT_LT(GetTickCount64(), deadline) << "the handler did not log a cancelled dialog:\n" << Joined();
    EXPECT_EQ(IsWindowEnabled(window_) != FALSE, c.enabledBefore);
  }
  EnableWindow(window_, TRUE);
}

}  // namespace
