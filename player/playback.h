// Playbacks: each Start sets one going on two worker threads, the playback
// thread (frames) and its short-lived counting thread (the frame count).
//
// Rules, written once here (playback_gate.h has the meeting rules):
// - The calls below run on the window thread.
// - A playback takes the frame rate, the track choice and the track's path
//   when it starts; it reads the frame directory and the prefix afresh for
//   each frame.
// - The counting thread hands the count text to the playback thread
//   directly: a Pause or Continue during counting overwrites the status bar.
// - Frame i is due at the first frame's time + (i - 1) × 1000 / frame rate
//   on the playback clock (paused time does not count). Outside 1…1000
//   frames per second, each frame is followed by a 10 ms Delay instead.
// - A playback's threads each hold their own handle: the playback thread's
//   comes from StartThread on the window thread and is closed there once
//   the playback has ended; the counting thread's is closed by the playback
//   thread once the count is in.
#pragma once

namespace player {

// Starts a playback of the current frame directory.
void StartPlayback();
// Pause and Continue act on the newest playback.
void HoldNewestPlayback();
void ReleaseNewestPlayback();
// Stops every running playback; once it returns no frame changes.
void StopAllPlaybacks();
// Stops every playback and waits until their threads are done (the end of
// the program: the threads read texts that are about to be freed).
void EndAllPlaybacks();

}  // namespace player
