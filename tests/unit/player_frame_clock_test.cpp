#include "player/frame_clock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>

namespace {

using player::FrameClock;
using player::PlaybackGate;

// Generous for a reading's own cost on a loaded machine; the checks it
// bounds are about which clock is followed, not how fast.
constexpr double kSlackMs = 250;

// A track whose position the test sets; -1 is "not heard".
struct FakeTrack {
  std::atomic<int32_t> positionMs = -1;
  std::atomic<int> readings = 0;
  FrameClock::TrackPosition Reader() {
    return [this] {
      ++readings;
      return positionMs.load();
    };
  }
};

// Lets `ms` pass on the playback clock.
void Pass(PlaybackGate& gate, double ms) { ASSERT_TRUE(gate.WaitUntil(gate.ClockMs() + ms)); }

// A started clock that follows the fake track.
class FollowingClock : public testing::Test {
 protected:
  void SetUp() override { clock.Start(); }
  PlaybackGate gate;
  FakeTrack track;
  FrameClock clock{gate, track.Reader()};
};

TEST(FrameClock, WithoutATrackTheTimeLineIsThePlaybackClockFromStart) {
  PlaybackGate gate;
  FrameClock clock(gate, {});
  Pass(gate, 100);
  clock.Start();
  EXPECT_LT(clock.NowMs(), kSlackMs) << "time 0 is the start, not the gate's creation";
  Pass(gate, 100);
  EXPECT_GE(clock.NowMs(), 100);
}

TEST_F(FollowingClock, WhileTheTrackIsHeardItsPositionIsTheTime) {
  track.positionMs = 10000;
  EXPECT_GE(clock.NowMs(), 10000);
  EXPECT_LT(clock.NowMs(), 10000 + kSlackMs);
  track.positionMs = 10500;
  EXPECT_GE(clock.NowMs(), 10500);
  EXPECT_GE(clock.EstimateMs(), 10500) << "the estimate goes on from the last reading";
}

TEST_F(FollowingClock, ATrackThatStartsLateHoldsTheFramesBack) {
  Pass(gate, 400);
  track.positionMs = 100;
  EXPECT_LT(clock.NowMs(), 100 + kSlackMs);
}

// A track heard, then not heard for a while, then heard again at a position
// that does not tell this playback's time: the time line carries on by the
// clock, and the track is not followed again.
struct StrayingTrack {
  const char* what;
  int32_t heardMs;    // its position before the frames went on without it
  double silentMs;    // how long they did
  int32_t strayedMs;  // its position when heard again
};

constexpr StrayingTrack kStrayingTracks[] = {
    // A resume after the track's end plays it again from the start, and
    // another playback's track starts from 0: following either would hold
    // the next frame back for as long as the track had already played.
    {"gone back", 30000, 100, 20},
    // As this Wine's device reports after a second pause and resume: its
    // position plus where the first pause left it.
    {"jumped ahead", 1000, 100, 16100},
    // Paused alone, or stalled, while the frames went on: following it would
    // freeze the frames until it caught up.
    {"fallen behind", 3000, 1500, 3050},
};

TEST(FrameClock, ATrackThatStraysFromTheTimeLineIsLeft) {
  for (const StrayingTrack& stray : kStrayingTracks) {
    SCOPED_TRACE(stray.what);
    PlaybackGate gate;
    FakeTrack track;
    FrameClock clock{gate, track.Reader()};
    clock.Start();
    track.positionMs = stray.heardMs;
    clock.NowMs();
    track.positionMs = -1;
    Pass(gate, stray.silentMs);
    const double carriedOnMs = stray.heardMs + stray.silentMs;
    for (int32_t heardAgainMs : {stray.strayedMs, stray.strayedMs + 100}) {
      track.positionMs = heardAgainMs;
      double now = clock.NowMs();
      EXPECT_GE(now, carriedOnMs) << "at " << heardAgainMs << ": carried on by the clock";
      EXPECT_LT(now, carriedOnMs + kSlackMs) << "at " << heardAgainMs << ": moved with the track";
    }
    double before = gate.ClockMs();
    EXPECT_TRUE(clock.WaitUntil(carriedOnMs));
    EXPECT_LT(gate.ClockMs() - before, kSlackMs) << "a frame already due does not wait for the track";
  }
}

TEST_F(FollowingClock, WhenTheTrackIsNotHeardTheClockCarriesOnFromItsLastReading) {
  track.positionMs = 5000;
  clock.NowMs();
  track.positionMs = -1;
  Pass(gate, 100);
  double now = clock.NowMs();
  EXPECT_GE(now, 5100);
  EXPECT_LT(now, 5100 + kSlackMs);
}

TEST_F(FollowingClock, ATrackWhosePositionStandsStillIsLeftAfterASecond) {
  track.positionMs = 3000;
  clock.NowMs();
  Pass(gate, 300);
  EXPECT_LT(clock.NowMs(), 3000 + kSlackMs) << "a short stand-still is followed";
  Pass(gate, 1000);
  // Carried on by the clock from the last reading followed, 300 ms in.
  EXPECT_GE(clock.NowMs(), 4000) << "the frames do not freeze with the device";
}

TEST_F(FollowingClock, WaitUntilReadsTheTrackOnceAndWaitsOnTheClockForTheRest) {
  track.positionMs = 2000;
  EXPECT_TRUE(clock.WaitUntil(1500)) << "already due";
  EXPECT_EQ(track.readings, 1);
  double before = gate.ClockMs();
  EXPECT_TRUE(clock.WaitUntil(2100));
  EXPECT_EQ(track.readings, 2);
  EXPECT_GE(gate.ClockMs() - before, 100 - kSlackMs / 10) << "the rest of the wait is on the playback clock";
}

TEST_F(FollowingClock, WaitUntilAnswersFalseOnceStopped) {
  gate.Stop();
  EXPECT_FALSE(clock.WaitUntil(0)) << "due at once";
  EXPECT_FALSE(clock.WaitUntil(1e9));
}

}  // namespace
