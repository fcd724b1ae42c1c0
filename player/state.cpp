#include "player/state.h"

#include <cstring>

#include "player/playback.h"
#include "runtime/services.h"

namespace player {

PlayerState& State() {
  static PlayerState state;
  return state;
}

void StoreText(char*& variable, char* text) {
  char* old;
  {
    std::lock_guard lock(State().textLock);
    old = variable;
    variable = text;
  }
  rt::Services().FreeMemory(old);
}

// A runtime text is never allocated empty: "" is stored as null.
void StoreTextCopy(char*& variable, const char* text) {
  char* copy = nullptr;
  if (text && *text) {
    copy = static_cast<char*>(rt::Services().AllocMemory(std::strlen(text) + 1));
    std::strcpy(copy, text);
  }
  StoreText(variable, copy);
}

std::string CopyText(char* const& variable) {
  std::lock_guard lock(State().textLock);
  return variable ? variable : "";
}

void FreePlayerState() {
  EndAllPlaybacks();
  PlayerState& s = State();
  StoreText(s.txtDir, nullptr);
  StoreText(s.bgmPath, nullptr);
  StoreText(s.filePrefix, nullptr);
}

}  // namespace player
