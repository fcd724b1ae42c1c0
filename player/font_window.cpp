// Handlers of the Font window.
#include "runtime/program.h"

namespace player {

void OnFontCreated(rt::HandlerCall&) {}
void OnFontOk(rt::HandlerCall&) {}
void OnFontSizeSpin(rt::HandlerCall&) {}
void OnFontSizeWheel(rt::HandlerCall&) {}

}  // namespace player
