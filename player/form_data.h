// The compiled form data of the player's four windows and the handler table
// its handler offsets index (both generated from forms/ at build time).
#pragma once

#include "runtime/program.h"

namespace player {

extern const unsigned char kFormData[];
extern const unsigned int kFormDataSize;
extern const rt::EventHandler kHandlers[];
extern const unsigned int kHandlerCount;
extern const char* const kHandlerNames[];

}  // namespace player
