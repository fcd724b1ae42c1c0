#include "player/user_input.h"

#include <string_view>

#include "player/ids.h"

namespace player {

// RightOfText keeps the (length of P − length of M − k + 1) last bytes
// after M found at k; an absent M (k ≤ 0) would keep all of P.
OwnedText ExtensionOf(const char* path, const char* mark) {
  int32_t at = FindTextFromEnd(path, mark);
  if (at <= 0) return OwnedText();
  auto length = [](const char* text) { return int32_t(std::string_view(text).size()); };
  return RightOfText(path, length(path) - length(mark) - at + 1);
}

OwnedText SteppedNumber(const char* content, bool up, int32_t top) {
  double v = ToInteger(content);
  if (up) return ToText(v < top ? v + 1 : 1.0);
  return ToText(v > 1 ? v - 1 : double(top));
}

bool StepBoxByWheel(uint32_t windowId, uint32_t boxId, int32_t notches, int32_t top) {
  if (notches != 0) StepBox(windowId, boxId, notches > 0, top);
  return notches != 0;
}

void StepBox(uint32_t windowId, uint32_t boxId, bool up, int32_t top) {
  OwnedText content = ReadText(windowId, boxId, kContent);
  WriteText(windowId, boxId, kContent, SteppedNumber(content.c_str(), up, top).c_str());
}

int32_t BoxNumber(uint32_t windowId, uint32_t boxId) { return ToInteger(ReadText(windowId, boxId, kContent).c_str()); }

}  // namespace player
