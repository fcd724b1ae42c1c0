#include "windows/events.h"

#include <algorithm>

#include "runtime/fatal.h"
#include "runtime/library_registry.h"
#include "runtime/state.h"
#include "windows/registry.h"

namespace win {
namespace {

struct Source {
  WindowTemplate* window;
  uint32_t index;
};

Source FindSource(uint32_t windowId, uint32_t unitId) {
  WindowTemplate* t = FindTemplate(windowId);
  if (!t) rt::ReportFatalError("未找到引发事件的窗口");
  auto index = t->units.indexOf(unitId);
  if (!index) rt::ReportFatalError("未找到引发事件的窗口组件");
  return {t, *index};
}

// Units that share another unit's bindings name it in their event-share
// link; the chain ends at a record of another type or without a link. A
// chain that loops ends where it started.
uint32_t FollowEventShare(const UnitList& units, uint32_t index) {
  uint32_t type = units.word(index, 0);
  for (uint32_t steps = 0; steps < units.count(); ++steps) {
    auto next = units.indexOf(units.word(index, 4));
    if (units.word(index, 4) == 0 || !next || units.isMenuItem(*next) || units.word(*next, 0) != type) break;
    index = *next;
  }
  return index;
}

rt::EventHandler BoundHandler(const UnitList& units, uint32_t index, int32_t event) {
  if (units.isMenuItem(index)) return HandlerAt(units.word(index, units.menuLayout(index).handler));
  UnitRecordLayout layout = units.unitLayout(index);
  uint32_t count = units.word(index, layout.eventCount);
  for (uint32_t i = 0; i < count; ++i)
    if (int32_t(units.word(index, layout.bindings + 8 * i)) == event)
      return HandlerAt(units.word(index, layout.bindings + 8 * i + 4));
  return nullptr;
}

void CheckMayRaise(const UnitList& units, uint32_t index) {
  const UnitTypeDescriptor* type = FindUnitType(units.word(index, 0));
  if (!type || !(type->state & (UNIT_VISUAL_EVENTS | UNIT_MENU_EVENTS)))
    rt::ReportFatalError("引发事件的窗口组件无效");
}

// The event source while a handler runs. A handler may raise further events
// (writing an edit box's content does); when an inner one returns, the
// source is the outer event's again, and 0 after the outermost.
class RunningEvent {
 public:
  RunningEvent(uint32_t windowId, uint32_t unitId)
      : outerWindow_(rt::State().eventSourceWindow), outerUnit_(rt::State().eventSourceUnit) {
    rt::State().eventSourceWindow = windowId;
    rt::State().eventSourceUnit = unitId;
  }
  ~RunningEvent() {
    rt::State().eventSourceWindow = outerWindow_;
    rt::State().eventSourceUnit = outerUnit_;
  }
  RunningEvent(const RunningEvent&) = delete;
  RunningEvent& operator=(const RunningEvent&) = delete;

 private:
  uint32_t outerWindow_;
  uint32_t outerUnit_;
};

// Finds and calls the handler; the answer, when one ran.
std::optional<rt::HandlerCall> Dispatch(uint32_t windowId, uint32_t unitId, int32_t event,
                                        const rt::HandlerCall& arguments) {
  if (EventsSuppressed()) return std::nullopt;
  Source source = FindSource(windowId, unitId);
  UnitList& units = source.window->units;
  uint32_t index = FollowEventShare(units, source.index);
  CheckMayRaise(units, index);
  rt::EventHandler handler = BoundHandler(units, index, event);
  if (!handler) return std::nullopt;
  rt::HandlerCall call = arguments;
  RunningEvent running(windowId, unitId ? unitId : units.idAt(0));
  handler(call);
  return call;
}

// How wide a slot's value reaches the handler.
int64_t SlotValue(const rt::EventArgSlot& slot) {
  uint64_t both = uint64_t(slot.low) | uint64_t(slot.high) << 32;
  bool pointer = (slot.flags & 1) || (sizeof(void*) == 8 && rt::TypeSize(slot.tag) == sizeof(void*));
  if (pointer || (slot.flags & 2) || slot.tag == 0x00010003 || rt::TypeSize(slot.tag) == 8) return int64_t(both);
  if (slot.tag == rt::TYPE_BYTE) return slot.low & 0xFF;
  if (slot.tag == rt::TYPE_SHORT) return int16_t(slot.low);
  return int32_t(slot.low);
}

}  // namespace

bool EventsSuppressed() { return rt::State().eventSuppression.load() > 0; }

bool RaiseEvent(EventRecord& record) {
  rt::HandlerCall arguments;
  arguments.argumentCount = std::clamp(record.argumentCount, 0, 5);
  for (int i = 0; i < arguments.argumentCount; ++i) arguments.arguments[i] = int32_t(record.arguments[i]);
  auto call = Dispatch(record.windowId, record.unitId, record.event, arguments);
  if (!call) return false;
  if (call->hasResult) {
    record.resultPresent = 1;
    record.result = uint32_t(call->result);
  }
  return true;
}

bool RaiseEvent(ExtendedEventRecord& record) {
  rt::HandlerCall arguments;
  arguments.argumentCount = std::clamp(record.argumentCount, 0, 12);
  for (int i = 0; i < arguments.argumentCount; ++i) arguments.arguments[i] = SlotValue(record.arguments[i]);
  auto call = Dispatch(record.windowId, record.unitId, record.event, arguments);
  if (!call) return false;
  if (call->hasResult) {
    record.resultPresent = 1;
    record.result = call->result;
  }
  return true;
}

EventOutcome RaiseSimpleEvent(uint32_t windowId, uint32_t unitId, int32_t event,
                              std::initializer_list<int32_t> arguments) {
  EventRecord record{windowId, unitId, event, int32_t(arguments.size())};
  std::copy_n(arguments.begin(), std::min<size_t>(arguments.size(), 5), record.arguments);
  EventOutcome outcome;
  outcome.handled = RaiseEvent(record);
  if (record.resultPresent) outcome.result = int32_t(record.result);
  return outcome;
}

}  // namespace win
