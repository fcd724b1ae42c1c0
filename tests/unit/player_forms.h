// The player's compiled form data as the tests read it.
#pragma once

#include <cstdint>

#include "player/form_data.h"

namespace testing_support {

// The handler table's length: its names end with a null.
inline uint32_t PlayerHandlerCount() {
  uint32_t n = 0;
  while (player::kHandlerNames[n]) ++n;
  return n;
}

}  // namespace testing_support
