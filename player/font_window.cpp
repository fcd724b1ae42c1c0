// Handlers of the Font window: the point size of the main window's frame
// display (its EditBox1's font), applied at once by every wheel or spin
// step and by "OK".
#include "player/ids.h"
#include "player/runtime_calls.h"
#include "player/user_input.h"
#include "runtime/program.h"

namespace player {
namespace {

constexpr int32_t kMaxFontSize = 99;

void ApplyFontSize() {
  WriteInt(kMainWindow, kEditBox1, kFont, BoxNumber(kFontWindow, kFontSizeBox), kFontPointSize);
}

void Step(bool up) {
  StepBox(kFontWindow, kFontSizeBox, up, kMaxFontSize);
  ApplyFontSize();
}

}  // namespace

void OnFontCreated(rt::HandlerCall&) {
  OwnedText size = ToText(ReadInt(kMainWindow, kEditBox1, kFont, kFontPointSize));
  WriteText(kFontWindow, kFontSizeBox, kContent, size.c_str());
}

void OnFontSizeWheel(rt::HandlerCall& call) {
  if (StepBoxByWheel(kFontWindow, kFontSizeBox, call.argument(0), kMaxFontSize)) ApplyFontSize();
}

// The arrows work against the wheel: the upper one (1) lowers the size.
void OnFontSizeSpin(rt::HandlerCall& call) {
  switch (call.argument(0)) {
    case 1: Step(false); break;
    case -1: Step(true); break;
    default: break;
  }
}

void OnFontOk(rt::HandlerCall&) {
  ApplyFontSize();
  DestroyFormWindow(WindowArgument(kFontWindow, kFontWindowUnit));
}

}  // namespace player
