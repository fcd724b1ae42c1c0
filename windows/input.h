// Keyboard and mouse input turned into the common events of units, and
// mnemonic keys.
#pragma once

#include <windows.h>

#include <cstdint>

namespace win {

struct WindowTemplate;
class WindowUnit;

// Raises the common event for a message aimed at one of the window's units
// (or the window itself); true when the handler consumed the message. A
// character handler's non-zero answer replaces the character.
bool RaiseCommonEvent(WindowTemplate& t, MSG& message, uint32_t keyState);

// Alt with a letter or digit picks the first unit whose caption marks that
// character with an ampersand; true when one took the key.
bool HandleMnemonic(WindowUnit& window, WindowTemplate& t, const MSG& message);

}  // namespace win
