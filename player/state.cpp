#include "player/state.h"

#include "runtime/services.h"

namespace player {

PlayerState& State() {
  static PlayerState state;
  return state;
}

void StoreText(char*& variable, char* text) {
  rt::Services().FreeMemory(variable);
  variable = text;
}

void FreePlayerState() {
  PlayerState& s = State();
  StoreText(s.txtDir, nullptr);
  StoreText(s.bgmPath, nullptr);
  StoreText(s.filePrefix, nullptr);
}

}  // namespace player
