// The player's state, shared by every handler and the playback threads.
// Texts are runtime texts owned here: storing one frees the one it replaces.
#pragma once

#include <cstdint>

namespace player {

struct PlayerState {
  intptr_t countThread = 0;
  intptr_t playThread = 0;
  int32_t useBgm = 0;
  char* txtDir = nullptr;
  char* bgmPath = nullptr;
  char* filePrefix = nullptr;
  int32_t paused = 0;
  int32_t frameRate = 0;
};

PlayerState& State();

// Replaces a text variable, freeing the old text.
void StoreText(char*& variable, char* text);

// The clean-up routine the runtime calls at the end of the program.
void FreePlayerState();

}  // namespace player
