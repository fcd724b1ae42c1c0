// Events: the records units fill to raise them, the suppression counter, and
// dispatch to the program's handlers.
#pragma once

#include <cstdint>
#include <optional>

#include "runtime/state.h"
#include "runtime/values.h"

namespace win {

// Common events raised for any unit from keyboard and mouse input.
enum CommonEvent : int32_t {
  EV_LBUTTON_DOWN = -1,
  EV_LBUTTON_UP = -2,
  EV_LBUTTON_DBLCLK = -3,
  EV_RBUTTON_DOWN = -4,
  EV_RBUTTON_UP = -5,
  EV_MOUSE_MOVE = -6,
  EV_GOT_FOCUS = -7,
  EV_LOST_FOCUS = -8,
  EV_KEY_DOWN = -9,
  EV_KEY_UP = -10,
  EV_CHAR = -11,
  EV_WHEEL = -12,
};

// Request 2008. Arguments are 32-bit; a unit that passes a pointer uses the
// extended record, whose slots hold a pointer on 64-bit Windows too.
struct EventRecord {
  uint32_t windowId = 0;
  uint32_t unitId = 0;
  int32_t event = 0;
  int32_t argumentCount = 0;
  uint32_t arguments[5] = {};
  int32_t resultPresent = 0;
  uint32_t result = 0;
};
static_assert(sizeof(EventRecord) == 44);

// Request 2031.
struct ExtendedEventRecord {
  uint32_t windowId = 0;
  uint32_t unitId = 0;
  int32_t event = 0;
  int32_t argumentCount = 0;
  rt::EventArgSlot arguments[12] = {};
  int32_t resultPresent = 0;
  int64_t result = 0;
};

// True when a handler ran. Nothing runs while events are suppressed.
bool RaiseEvent(EventRecord& record);
bool RaiseEvent(ExtendedEventRecord& record);

// Raises an event with plain 32-bit arguments; the handler's answer, if it
// ran and gave one.
struct EventOutcome {
  bool handled = false;
  std::optional<int64_t> result;
};
EventOutcome RaiseSimpleEvent(uint32_t windowId, uint32_t unitId, int32_t event,
                              std::initializer_list<int32_t> arguments = {});

// The suppression counter (the runtime's): raised while windows load, units
// are re-created, errors are shown and the program shuts down; never lowered
// below 0.
using rt::ResumeEvents;
using rt::SuppressEvents;
bool EventsSuppressed();

}  // namespace win
