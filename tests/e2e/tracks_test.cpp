// Background tracks that cannot be played: the track fails to open without
// a word, and the frames play all the same.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "driver.h"
#include "e2e_support.h"
#include "frame_folder.h"
#include "player_fixture.h"

namespace {

using e2e::FrameFolder;

struct TrackCase {
  const char* name;
  std::optional<std::string> bytes;  // none: the file is gone before playback
};

class Tracks : public e2e::PlayerTest {};

TEST_F(Tracks, ATrackThatCannotPlayLeavesTheFramesPlaying) {
  const TrackCase cases[] = {
      {"text named .mp3", "this is not audio at all\r\n"},
      {"zero bytes", ""},
      {"missing", std::nullopt},
  };
  for (const TrackCase& c : cases) {
    SCOPED_TRACE(c.name);
    FrameFolder folder(L"tracks");
    for (int i = 1; i <= 5; ++i) folder.WriteFrame(L"a", i, "frame " + std::to_string(i));
    std::wstring track = folder.Write(L"track.mp3", c.bytes.value_or("gone before it is played"));
    StartPlayer(L"--prefix a --rate 20 --track " + e2e::Quoted(track) + L" " + e2e::Quoted(folder.path()));
    if (!c.bytes) {
      ASSERT_TRUE(DeleteFileW(track.c_str()));
    }
    StartThroughConfig();
    HWND box = nullptr;
    bool played = WaitUntil([&] {
      box = driver::waitTopWindow(player_->pid(), L"#32770", nullptr, 0);
      return box || Status() == L"Playing...5Item";
    });
    EXPECT_EQ(box, nullptr) << "a message box: " << e2e::Utf8(driver::messageBoxText(box));
    EXPECT_TRUE(played) << "status: " << e2e::Utf8(Status());
    EXPECT_EQ(Frame(), L"frame 5");
    EXPECT_EQ(SilentWindows().size(), 0u);
    if (box) Dismiss(box);
    CloseAndExpectExitCodeZero();
  }
}

}  // namespace
