// What the Config and Font windows make of the user's input: the extension
// of a dropped path, and the number boxes that the mouse wheel and the spin
// arrows step.
//
// Conventions, written once here:
// - A box's number is ToInteger of its content: a box without a number
//   counts as 0.
// - A stepped box cycles through 1 … top: up from top (or beyond) gives 1,
//   down from 1 (or below) gives top. The new value is written as ToText of
//   a double, a plain decimal integer.
// - A wheel argument is whole notches, positive away from the user. A turn
//   of less than a notch arrives as 0, whichever way it went: it steps
//   nothing, since its direction is lost.
#pragma once

#include <cstdint>

#include "player/runtime_calls.h"

namespace player {

// The text after the last `mark` in `path`; empty when `mark` does not occur.
OwnedText ExtensionOf(const char* path, const char* mark);

// The content a box holding `content` gets from one step.
OwnedText SteppedNumber(const char* content, bool up, int32_t top);

// Steps a box of a loaded window by one wheel turn of `notches`; false when
// the turn was less than a notch and nothing changed.
bool StepBoxByWheel(uint32_t windowId, uint32_t boxId, int32_t notches, int32_t top);
void StepBox(uint32_t windowId, uint32_t boxId, bool up, int32_t top);
// The number in a box.
int32_t BoxNumber(uint32_t windowId, uint32_t boxId);

}  // namespace player
