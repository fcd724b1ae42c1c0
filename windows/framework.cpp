#include "windows/framework.h"

#include "runtime/callback.h"
#include "windows/events.h"
#include "windows/loader.h"
#include "windows/properties.h"
#include "windows/window_object.h"

namespace win {
namespace {

bool InstallFormData(std::span<const uint8_t> formData, uint32_t handlerCount) {
  auto templates = ReadFormData(formData, handlerCount);
  if (!templates) return false;
  InstallRegistry(std::move(*templates));
  return true;
}

template <class T>
T& At(intptr_t p) {
  return *reinterpret_cast<T*>(p);
}

intptr_t Pointer(const void* p) { return reinterpret_cast<intptr_t>(p); }

intptr_t AnswerWindowRequest(int request, intptr_t p1, intptr_t p2) {
  switch (request) {
    case rt::REQ_WINDOW_REGISTRY: return Pointer(&Templates());
    case rt::REQ_UNIT_TYPE: return Pointer(FindUnitType(uint32_t(p1)));
    case rt::REQ_UNIT_DESTROYED: ForgetUnit(uint32_t(p1), uint32_t(p2)); return 0;
    case rt::REQ_LOAD_WINDOW: return LoadWindowRequest(At<LoadRequest>(p1));
    case rt::REQ_WINDOW_OBJECT: return Pointer(LiveUnitObject(uint32_t(p1), uint32_t(p2)));
    case rt::REQ_WINDOW_OBJECT_OR_FAIL: return Pointer(RequireUnitObject(uint32_t(p1), uint32_t(p2)));
    case rt::REQ_RAISE_EVENT: return RaiseEvent(At<EventRecord>(p1));
    case rt::REQ_RAISE_EVENT_EXTENDED: return RaiseEvent(At<ExtendedEventRecord>(p1));
    case rt::REQ_UNIT_TYPE_CODE: return intptr_t(UnitTypeCodeOf(At<UnitObject>(p1)));
    case rt::REQ_WINDOW_UNIT_KIND: return WindowUnitKind(uint32_t(p1));
    case rt::REQ_TEMPLATE_COUNT: return intptr_t(Templates().size());
    case rt::REQ_TEMPLATE_WINDOW: return Pointer(TemplateWindowHandle(size_t(p1)));
    default: return 0;
  }
}

}  // namespace

const rt::WindowFramework kWindowFramework = {
    .installFormData = InstallFormData,
    .loadStartWindow = LoadStartWindow,
    .readUnitProperty = ReadUnitProperty,
    .writeUnitProperty = WriteUnitProperty,
    .preTranslateMessage = PreTranslateThroughAncestors,
    .anyLoadedWindowAlive = AnyLoadedWindowAlive,
    .beginIdlePeriod = BeginIdlePeriod,
    .raiseIdleEvents = RaiseIdleEvents,
    .answerWindowRequest = AnswerWindowRequest,
    .destroyAllLoadedWindows = DestroyAllLoadedWindows,
    .releaseUnitCursors = ReleaseUnitCursors,
};

}  // namespace win
