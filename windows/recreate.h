// Re-creating a unit whose new property value needs a new control.
#pragma once

#include <cstdint>

namespace win {

struct WindowTemplate;

// Builds a new control from the unit's current blob in the old one's place
// (rectangle, control ID, stacking, visibility, focus) and destroys the old
// one. Events are suppressed meanwhile. Types that cannot be re-created are
// left alone.
void RecreateUnit(WindowTemplate& t, uint32_t index);

}  // namespace win
