// The main window's units as the player's handlers and playback threads use
// them. Each call may come from any thread (runtime_calls.h).
#pragma once

#include <cstdint>

#include "runtime/values.h"

namespace player {

rt::ArgRecord MainWindow();

// Loads a window modally, owned by the main window; returns when it closes.
bool LoadModalWindow(uint32_t windowId);

// Status bar part 1; part 0 keeps "Wait".
void ShowStatus(const char* text);
// EditBox1's content: the frame on display.
void ShowFrame(const char* text);
void SetMenuItemDisabled(uint32_t item, bool disabled);
// A message with the stop icon titled "Error", owned by the main window.
void ShowError(const char* message);

// MediaPlay1's commands; the results are not looked at.
void OpenAndPlayTrack(const char* path);
void ToggleTrackPause();
void StopTrack();
// The track's position in milliseconds while it plays; -1 otherwise, and
// once the main window has gone.
int32_t TrackPlayingPosition();

// What a dropped path does: refused with a message when it holds a "." or
// is empty (a drop of paths code page 936 cannot hold arrives so),
// otherwise taken as the frame directory. The command line's folder goes
// the same way. True when the path was taken.
bool AcceptDroppedPath(const char* path);
// The File items as a start leaves them: "Start" and "Open" off,
// "Pause/Continue" on.
void SetMenuForStart();

}  // namespace player
