// Handlers of the Config window.
#include "runtime/program.h"

namespace player {

void OnConfigCreated(rt::HandlerCall&) {}
void OnConfigDrop(rt::HandlerCall&) {}
void OnConfigStart(rt::HandlerCall&) {}
void OnSelectBgm(rt::HandlerCall&) {}
void OnUseBgmClicked(rt::HandlerCall&) {}
void OnFrameRateWheel(rt::HandlerCall&) {}

}  // namespace player
