// The gallery's MediaPlay1 heard from outside: its buttons play a generated
// tone (opened and played from a worker thread, as the player's playback
// thread does), pause it, resume it and stop it, and the test listens to
// what the gallery plays through an ALSA capture of its own.
#include <gtest/gtest.h>

#include <string>

#include "audio_capture.h"
#include "driver.h"
#include "gallery_fixture.h"

namespace {

constexpr int kPathBoxId = e2e::GalleryControlId(20), kPlayId = e2e::GalleryControlId(21);
constexpr int kPauseId = e2e::GalleryControlId(22), kStopId = e2e::GalleryControlId(23);
// Long enough to hear that nothing sounds.
constexpr DWORD kSilenceMs = 1000;

class MediaPlayOnGallery : public e2e::Gallery {
 protected:
  driver::Process Start(const std::wstring& exePath, const std::wstring& args) override {
    return capture_.start(exePath, args);
  }

  // Clicks the button; whether its handler's line then comes `times` times.
  bool ClickAndWait(int buttonId, const std::string& line, size_t times = 1) {
    driver::clickButton(Control(buttonId));
    return WaitForLine(line, times);
  }

  void ExpectSilence(const char* when) {
    EXPECT_TRUE(capture_.waitForSilence(e2e::kTimeout)) << "the sound did not stop " << when;
    EXPECT_TRUE(capture_.staysSilent(kSilenceMs)) << "sound " << when;
  }

  e2e::AudioCapture capture_;
};

TEST_F(MediaPlayOnGallery, ATrackSoundsWhilePlayingAndNotWhilePausedOrStopped) {
  std::wstring track = e2e::Beside(L"sine.mp3");
  SendMessageW(Control(kPathBoxId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(track.c_str()));
  ASSERT_TRUE(ClickAndWait(kPlayId, "OnMediaPlay 1 1"));
  EXPECT_TRUE(capture_.waitForSound(e2e::kTimeout)) << "nothing sounded while playing";
  ASSERT_TRUE(ClickAndWait(kPauseId, "OnMediaPause 1"));
  ExpectSilence("while paused");
  ASSERT_TRUE(ClickAndWait(kPauseId, "OnMediaPause 1", 2));
  EXPECT_TRUE(capture_.waitForSound(e2e::kTimeout)) << "nothing sounded after the resume";
  ASSERT_TRUE(ClickAndWait(kStopId, "OnMediaStop 1"));
  ExpectSilence("after stop");
}

}  // namespace
