// What the player's menu items send, for the programs that drive it.
#pragma once

namespace e2e {

// The File, Setting and Help items' command IDs: 20000 + the item's place
// in the menu.
enum PlayerCommand : int {
  kOpenCommand = 20001,
  kStartCommand = 20002,
  kPauseContinueCommand = 20003,
  kStopCommand = 20004,
  kFontCommand = 20006,
  kAboutCommand = 20008,
};

}  // namespace e2e
