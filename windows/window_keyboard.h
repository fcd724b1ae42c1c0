// What a loaded window does with a message before it is dispatched: the
// keyboard handling of forms (accelerators, Tab, Enter, Esc, arrows, F1,
// mnemonics, drag anywhere) and the common events of the unit under it.
#pragma once

#include <windows.h>

namespace win {

class WindowUnit;

// True when the message was consumed.
bool PreTranslateWindowMessage(WindowUnit& window, MSG& message);

// The unit that takes the focus when the window is first activated: the
// lowest tab order among visible, enabled units that can hold it.
HWND FirstFocusUnit(WindowUnit& window);

}  // namespace win
