// The player's state, shared by every handler and the playback threads.
//
// Rules, written once here:
// - Only the window thread writes the state. The texts are runtime texts
//   owned here: storing one frees the one it replaces.
// - A playback thread reads `txtDir` and `filePrefix` only through CopyText,
//   which takes the same lock as StoreText: it never sees a freed text.
// - The thread handles of a playback live with the playback (playback.h):
//   Stop ends every running playback and Pause holds the newest, so the
//   newest handles alone would not do.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "player/command_line.h"

namespace player {

struct PlayerState {
  int32_t useBgm = 0;
  char* txtDir = nullptr;
  char* bgmPath = nullptr;
  char* filePrefix = nullptr;
  int32_t paused = 0;
  int32_t frameRate = 0;
  // Held by StoreText and CopyText only, around the swap or copy of a text.
  std::mutex textLock;
  // Parsed on the main thread before the runtime starts, and acted on there
  // once the main window is shown.
  CommandLine commandLine;
};

PlayerState& State();

// Replaces a text variable, freeing the old text (window thread).
void StoreText(char*& variable, char* text);
// Stores a copy of `text`.
void StoreTextCopy(char*& variable, const char* text);
// A copy of a text variable, safe on any thread.
std::string CopyText(char* const& variable);

// The clean-up routine the runtime calls at the end of the program: it ends
// the playbacks first, since their threads read the texts it frees.
void FreePlayerState();

}  // namespace player
