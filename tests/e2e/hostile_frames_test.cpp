// Frames of hostile content, played from outside. A frame shows what the
// platform's own conversions make of its bytes (UTF-8 to UTF-16 to code page
// 936, up to the first zero byte), or nothing when it cannot be read; the
// player goes on with the next frame and never stops answering.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <string_view>

#include "driver.h"
#include "e2e_support.h"
#include "frame_folder.h"
#include "player_fixture.h"

namespace {

using e2e::FrameFolder;

constexpr unsigned kNoiseSeed = 20240611;

std::wstring Decode(UINT codePage, std::string_view bytes) {
  int n = MultiByteToWideChar(codePage, 0, bytes.data(), int(bytes.size()), nullptr, 0);
  std::wstring wide(size_t(n), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), int(bytes.size()), wide.data(), n);
  return wide;
}

std::string Encode(UINT codePage, std::wstring_view wide) {
  int n = WideCharToMultiByte(codePage, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(size_t(n), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), int(wide.size()), bytes.data(), n, nullptr, nullptr);
  return bytes;
}

// What the frame box shows for a frame file's bytes: decoded by the
// platform, a leading byte-order mark dropped, ended at the first zero.
std::wstring Shown(std::string_view utf8) {
  std::wstring wide = Decode(CP_UTF8, utf8);
  if (!wide.empty() && wide[0] == 0xFEFF) wide.erase(0, 1);
  std::string gbk = Encode(936, wide);
  return Decode(936, gbk.substr(0, std::strlen(gbk.c_str())));
}

std::string Noise(size_t length) {
  std::mt19937 random(kNoiseSeed);
  std::string bytes(length, '\0');
  for (char& byte : bytes) byte = char(random() & 0xFF);
  return bytes;
}

class HostileFrames : public e2e::PlayerTest {
 protected:
  void Play(const FrameFolder& folder, int rate) {
    StartPlayer(L"--prefix a --rate " + std::to_wstring(rate) + L" --play " + e2e::Quoted(folder.path()));
  }

  // The frame shown with each frame number, read once its status text has
  // come, until `last` has shown or the timeout. A frame's text is written
  // before its status: read just after, it is that frame's.
  std::map<int, std::wstring> FramesByNumber(int last, DWORD timeoutMs = kTimeout, DWORD pollMs = 1) {
    std::map<int, std::wstring> seen;
    WaitUntil([&] {
      int shown = 0;
      if (swscanf(Status().c_str(), L"Playing...%dItem", &shown) != 1) return false;
      if (!seen.count(shown)) seen[shown] = Frame();
      return shown == last;
    }, timeoutMs, pollMs);
    return seen;
  }

  // Removes a file that the player may hold open for a moment.
  static bool RemoveSoon(const std::wstring& path, bool directory) {
    return WaitUntil([&] {
      return (directory ? RemoveDirectoryW(path.c_str()) : DeleteFileW(path.c_str())) ||
             GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
    }, 5000);
  }

  void ExpectAnswering() {
    EXPECT_TRUE(player_->running()) << "the player died";
    EXPECT_EQ(SilentWindows().size(), 0u) << "windows that did not answer within 2 s";
  }
};

struct ContentCase {
  const char* name;
  std::string bytes;
  const wchar_t* never = L"";  // characters the frame must not show
};

// Frames 1 … n of hostile content, then a directory named as a frame, a
// frame another process holds open exclusively, and a last plain frame.
TEST_F(HostileFrames, EachFrameShowsWhatItsBytesDecodeToOrNothing) {
  const ContentCase cases[] = {
      {"bytes that are never UTF-8", "A\xFF\xFE\x80" "B"},
      {"a sequence cut short", "C\xE4\xB8" "D"},
      {"overlong forms of '/' and of a zero", "E\xC0\xAF\xE0\x80\xAF\xC0\x80" "F", L"/"},
      {"lone surrogates", "G\xED\xA0\x80" "H\xED\xBF\xBF" "I"},
      {"a surrogate pair written as two (CESU-8)", "J\xED\xA0\xBD\xED\xB8\x80" "K"},
      {"zero bytes", std::string("L\0M\0", 4)},
      {"binary noise", Noise(64 * 1024)},
  };
  FrameFolder folder(L"hostile");
  int frame = 0;
  for (const ContentCase& c : cases) folder.WriteFrame(L"a", ++frame, c.bytes);
  const int directoryFrame = ++frame, lockedFrame = ++frame, lastFrame = ++frame;
  wchar_t name[16];
  swprintf(name, 16, L"a%04d.txt", directoryFrame);
  const std::wstring directory = folder.path() + L"\\" + name;
  ASSERT_TRUE(CreateDirectoryW(directory.c_str(), nullptr));
  folder.Write(L"pad.txt", "a directory is no frame file: this one takes its place in the count");
  folder.WriteFrame(L"a", lockedFrame, "locked");
  folder.WriteFrame(L"a", lastFrame, "last");
  swprintf(name, 16, L"a%04d.txt", lockedFrame);
  HANDLE locked = CreateFileW((folder.path() + L"\\" + name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);

  Play(folder, 10);
  std::map<int, std::wstring> seen = FramesByNumber(lastFrame);
  CloseHandle(locked);
  ASSERT_EQ(int(seen.size()), lastFrame) << "frames seen: " << testing::PrintToString(seen);
  frame = 0;
  for (const ContentCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::wstring& shown = seen[++frame];
    EXPECT_EQ(shown, Shown(c.bytes));
    EXPECT_EQ(shown.find_first_of(c.never), std::wstring::npos) << testing::PrintToString(shown);
  }
  EXPECT_EQ(seen[directoryFrame], L"") << "a directory named as a frame";
  EXPECT_EQ(seen[lockedFrame], L"") << "a frame another process holds";
  EXPECT_EQ(seen[lastFrame], L"last");
  ExpectAnswering();
  RemoveSoon(directory, true);
}

// A frame of 20 MB is read and shown whole, and stays as the last frame.
TEST_F(HostileFrames, ATwentyMegabyteFrameIsShownWhole) {
  constexpr size_t kLine = 100, kLines = 20 * 1024 * 1024 / kLine;
  std::string line(kLine - 2, 'x');
  line += "\r\n";
  std::string big;
  big.reserve(kLine * kLines);
  for (size_t i = 0; i < kLines; ++i) big += line;
  FrameFolder folder(L"big");
  folder.WriteFrame(L"a", 1, "before");
  folder.WriteFrame(L"a", 2, big);
  Play(folder, 1);
  ASSERT_TRUE(WaitForStatus(L"Playing...2Item", 60000));
  EXPECT_EQ(size_t(SendMessageW(edit_, WM_GETTEXTLENGTH, 0, 0)), big.size());
  ExpectAnswering();
}

// The folder goes while its frames play: the frames still to come are
// empty, the count runs to its end, and the player answers throughout.
TEST_F(HostileFrames, TheFolderDeletedMidPlaybackLeavesEmptyFrames) {
  constexpr int kFrames = 100;
  FrameFolder folder(L"vanishing");
  for (int i = 1; i <= kFrames; ++i) folder.WriteFrame(L"a", i, "frame " + std::to_string(i));
  Play(folder, 25);
  ASSERT_TRUE(WaitForStatus(L"Playing...10Item"));
  for (int i = 1; i <= kFrames; ++i) {
    wchar_t name[16];
    swprintf(name, 16, L"a%04d.txt", i);
    EXPECT_TRUE(RemoveSoon(folder.path() + L"\\" + name, false)) << i;
  }
  EXPECT_TRUE(RemoveSoon(folder.path(), true));
  ExpectAnswering();
  ASSERT_TRUE(WaitForStatus(L"Playing...100Item"));
  EXPECT_EQ(Frame(), L"");
  ExpectAnswering();
}

// Frame numbers keep their last four digits: of 10,001 ".txt" files, frame
// 10000 is a0000.txt and frame 10001 is a0001.txt (the build writes the
// folder: make_wrapping_folder.py). At this rate most frames are late and
// skipped, frame 10000 perhaps too; every frame seen shows its own file, and
// the last always shows. Polled gently: the player needs the machine's time
// more than the poll does.
TEST_F(HostileFrames, Frame10000IsReadFromTheFileNumberedZero) {
  constexpr int kFrames = 10001;
  const std::wstring folder = e2e::Beside(L"wrapping_frames");
  ASSERT_EQ(folder.find(L'.'), std::wstring::npos) << "the player refuses a folder path with a dot";
  StartPlayer(L"--prefix a --rate 1000 --play " + e2e::Quoted(folder));
  ShowWindowAsync(main_, SW_MINIMIZE);
  ULONGLONG began = GetTickCount64();
  std::map<int, std::wstring> seen = FramesByNumber(kFrames, 150000, 10);
  std::printf("10,001 frames in %llu ms\n", GetTickCount64() - began);
  ASSERT_TRUE(seen.count(kFrames)) << "the last frame did not come; last status " << e2e::Utf8(Status());
  // A frame's text is shown before its status, and a0001.txt's 8 MB tail
  // keeps frame 10000 up for a while: these two readings cannot be overtaken.
  if (seen.count(10000)) {
    EXPECT_EQ(seen[10000], L"frame zero");
  }
  EXPECT_EQ(seen[kFrames], L"frame one");
  ExpectAnswering();
}

}  // namespace
