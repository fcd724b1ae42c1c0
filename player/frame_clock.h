// The time line a playback's frames are due on: milliseconds since the
// first frame showed.
//
// While the background track is heard, the track's own position is the
// time, so the frames keep with what is heard however the track's device
// drifts from the system clock. At every other moment (no track, paused,
// stopped, ended, or a device whose position stands still while it says it
// plays) the playback clock carries the time line on from the track's last
// reading: the frames never freeze, and paused time does not count, as on
// the playback clock itself. A track whose position goes back, or strays
// from the time line by over a second either way, is not telling the time
// any more, and is not followed again.
#pragma once

#include <cstdint>
#include <functional>

#include "player/playback_gate.h"

namespace player {

class FrameClock {
 public:
  // The track's position in milliseconds while it plays, -1 otherwise.
  using TrackPosition = std::function<int32_t()>;

  // Without a track position (empty) the time line is the playback clock's.
  FrameClock(PlaybackGate& gate, TrackPosition trackPosition);

  // Time 0: the first frame shows now.
  void Start();
  // The time line now, from the track when it is heard.
  double NowMs();
  // The time line from the last reading of the track and the playback clock
  // since: costs no reading.
  double EstimateMs();
  // Waits until the time line reaches `dueMs`, reading the track once; false
  // once the playback is stopped.
  bool WaitUntil(double dueMs);

 private:
  void FollowTrack();

  PlaybackGate& gate_;
  TrackPosition trackPosition_;
  double offsetMs_ = 0;  // time line minus playback clock
  int32_t lastTrackMs_ = -1;
  double trackMovedAtMs_ = 0;  // playback clock when the track's position last changed
};

}  // namespace player
