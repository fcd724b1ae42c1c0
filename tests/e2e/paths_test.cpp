// Frame folders by unusual paths, from outside: Chinese names that code page
// 936 holds play; a name it cannot hold is refused with the window's own
// message, whether the folder is dropped or chosen with Open; very long
// paths play or find nothing, and never bring the player down.
#include <gtest/gtest.h>

#include <string>

#include "driver.h"
#include "e2e_support.h"
#include "frame_folder.h"
#include "player_fixture.h"

namespace {

using e2e::FrameFolder;

const wchar_t kPathError[] =
    L"File path error, please drag directory!!\r\nPlease keep English path, by deleting spaces and Chinese symbols!!!";

// Hangul and Thai: code page 936 has neither.
const wchar_t kOutsideGbk[] = L"\uD55C\uAE00\u0E01";

class Paths : public e2e::PlayerTest {
 protected:
  // The message box a step brings: its text, once dismissed; empty when
  // none came while `step` ran and shortly after.
  std::wstring BoxAfter(const std::function<void()>& step) {
    step();
    HWND box = driver::waitTopWindow(player_->pid(), L"#32770", L"Error", 3000);
    if (!box) return L"";
    std::wstring text = driver::messageBoxText(box);
    EXPECT_EQ(GetWindow(box, GW_OWNER), main_) << "owned by the main window";
    EXPECT_TRUE(Dismiss(box));
    return text;
  }

  void ChooseWithOpen(const std::wstring& folder) {
    Command(e2e::kOpenCommand);
    HWND dialog = driver::waitTopWindow(player_->pid(), L"#32770", nullptr, kTimeout);
    ASSERT_NE(dialog, nullptr);
    ASSERT_NE(driver::waitChild(dialog, L"SysTreeView32", -1, kTimeout), nullptr);
    driver::RemoteText path(player_->pid(), folder);
    driver::chooseFolder(dialog, path);
    ASSERT_TRUE(WaitGone(dialog));
  }
};

TEST_F(Paths, AFolderWithAChineseNamePlays) {
  FrameFolder folder(L"帧 目录");
  folder.WriteFrame(L"帧", 1, "\xE4\xB8\x80");  // 一 in UTF-8: narrow texts here are GBK
  folder.WriteFrame(L"帧", 2, "\xE4\xBA\x8C");  // 二
  StartPlayer(L"--prefix 帧 --rate 20");
  auto [title, text] = Drop({folder.path()});
  EXPECT_EQ(title, L"") << e2e::Utf8(text);
  EXPECT_EQ(Status(), folder.path());
  StartThroughConfig();
  EXPECT_TRUE(WaitForStatus(L"Playing...2Item"));
  EXPECT_EQ(Frame(), L"二");
}

TEST_F(Paths, AFolderDroppedWhoseNameCodePage936CannotHoldIsRefused) {
  FrameFolder folder(kOutsideGbk);
  folder.WriteFrame(L"a", 1, "one");
  StartPlayer(L"--prefix a --rate 20");
  auto [title, text] = Drop({folder.path()});
  EXPECT_EQ(title, L"Error");
  EXPECT_EQ(text, kPathError);
  EXPECT_EQ(Status(), L"Item") << "nothing taken";
}

TEST_F(Paths, AFolderOpenedWhoseNameCodePage936CannotHoldIsRefused) {
  FrameFolder folder(kOutsideGbk);
  folder.WriteFrame(L"a", 1, "one");
  StartPlayer(L"--prefix a --rate 20");
  EXPECT_EQ(BoxAfter([&] { ChooseWithOpen(folder.path()); }), kPathError);
  EXPECT_EQ(Status(), L"Item") << "nothing taken";
  EXPECT_EQ(driver::waitTopWindow(player_->pid(), nullptr, L"Config", 300), nullptr) << "nothing started";
}

// Folders nested until the path is about 1,000 characters long: dropped, it
// plays like any other; a path of 30,000 characters that names nothing
// finds no frame.
TEST_F(Paths, VeryLongPathsPlayOrFindNothing) {
  FrameFolder root(L"long");
  std::wstring deep = root.path();
  std::vector<std::wstring> made;
  while (deep.size() < 1000) {
    deep += L"\\" + std::wstring(200, wchar_t(L'a' + made.size()));
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr)) << deep.size();
    made.push_back(deep);
  }
  std::wstring frame = L"\\\\?\\" + deep + L"\\a0001.txt";
  HANDLE out = CreateFileW(frame.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(out, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(out, "deep", 4, &written, nullptr);
  CloseHandle(out);

  StartPlayer(L"--prefix a --rate 20");
  Drop({deep});
  EXPECT_EQ(Status(), deep);
  StartThroughConfig();
  EXPECT_TRUE(WaitForStatus(L"Playing...1Item"));
  EXPECT_EQ(Frame(), L"deep");

  std::wstring nowhere = L"C:\\" + std::wstring(30000, L'n');
  Drop({nowhere});
  StartThroughConfig();
  EXPECT_TRUE(WaitForStatus(L"Find...0item..."));
  EXPECT_EQ(SilentWindows().size(), 0u);

  DeleteFileW(frame.c_str());
  for (auto folder = made.rbegin(); folder != made.rend(); ++folder) RemoveDirectoryW((L"\\\\?\\" + *folder).c_str());
}

}  // namespace
