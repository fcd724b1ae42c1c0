#include "player/frame_clock.h"

#include <cmath>
#include <utility>

namespace player {
namespace {

// A device that says it plays but whose position has not moved for this
// long is not followed: the frames go on by the playback clock.
constexpr double kStalledTrackMs = 1000;
// A track this far from the time line either way after its first reading is
// not followed again. Ahead: after its second pause and resume, this Wine's
// device reports its position plus where an earlier pause left it. Behind:
// it plays again after the frames went on without it (paused alone, or
// stalled), and following it would freeze the frames until it caught up.
constexpr double kTrackStrayMs = 1000;

}  // namespace

FrameClock::FrameClock(PlaybackGate& gate, TrackPosition trackPosition)
    : gate_(gate), trackPosition_(std::move(trackPosition)) {}

void FrameClock::Start() { offsetMs_ = -gate_.ClockMs(); }

double FrameClock::NowMs() {
  FollowTrack();
  return EstimateMs();
}

double FrameClock::EstimateMs() { return gate_.ClockMs() + offsetMs_; }

bool FrameClock::WaitUntil(double dueMs) {
  double leftMs = dueMs - NowMs();
  if (leftMs <= 0) return !gate_.stopped();
  return gate_.WaitUntil(gate_.ClockMs() + leftMs);
}

// A reading takes a moment (the device answers on the window thread), so the
// playback clock is taken as the middle of it.
void FrameClock::FollowTrack() {
  if (!trackPosition_) return;
  double before = gate_.ClockMs();
  int32_t trackMs = trackPosition_();
  double clockMs = (before + gate_.ClockMs()) / 2;
  if (trackMs < 0) return;
  // Gone back (played again after its end, or another playback's track: the
  // frames would wait for as long as it had played), or strayed from the
  // time line (the frames would skip or freeze): it is left for good.
  bool strayed = lastTrackMs_ >= 0 && std::fabs(trackMs - (clockMs + offsetMs_)) > kTrackStrayMs;
  if (trackMs < lastTrackMs_ || strayed) {
    trackPosition_ = nullptr;
    return;
  }
  if (trackMs != lastTrackMs_) {
    lastTrackMs_ = trackMs;
    trackMovedAtMs_ = clockMs;
  } else if (clockMs - trackMovedAtMs_ > kStalledTrackMs) {
    return;
  }
  offsetMs_ = trackMs - clockMs;
}

}  // namespace player
