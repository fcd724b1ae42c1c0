// Calls the player's handlers share for loading its windows.
#pragma once

#include <cstdint>

namespace player {

// Loads a window modally, owned by the main window; returns when it closes.
bool LoadModalWindow(uint32_t windowId);

}  // namespace player
