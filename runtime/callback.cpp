#include "runtime/callback.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "runtime/conversions.h"
#include "runtime/fatal.h"
#include "runtime/heap.h"
#include "runtime/hidden_owner.h"
#include "runtime/message_loop.h"
#include "runtime/shutdown.h"
#include "runtime/state.h"

namespace rt {
namespace {

template <class T>
T* As(intptr_t p) {
  return reinterpret_cast<T*>(p);
}

intptr_t FillDefaultIcons(HICON* out) {
  DefaultIcons& icons = State().defaultIcons;
  if (!icons.loaded) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    icons.large = HICON(LoadImageW(instance, L"DEFAULT_ICON", IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                   GetSystemMetrics(SM_CYICON), 0));
    icons.small = HICON(LoadImageW(instance, L"DEFAULT_ICON", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                   GetSystemMetrics(SM_CYSMICON), 0));
    icons.loaded = true;
  }
  out[0] = icons.large;
  out[1] = icons.small;
  return 0;
}

// Request 1012 hands a three-word record: window, routine, parameter.
struct IdleRoutineRecord {
  HWND window;
  void (*routine)(intptr_t);
  intptr_t parameter;
};

intptr_t CleanupRequest(int request, CleanupObject* object) {
  auto& cleanupObjects = State().cleanupObjects;
  auto it = std::find_if(cleanupObjects.begin(), cleanupObjects.end(),
                         [&](const auto& owned) { return owned.get() == object; });
  switch (request) {
    case REQ_CLEANUP_ADD:
      if (object && it == cleanupObjects.end()) cleanupObjects.emplace_back(object);
      return 0;
    case REQ_CLEANUP_REMOVE:
      if (it != cleanupObjects.end()) it->release(), cleanupObjects.erase(it);
      return 0;
    default:
      return it != cleanupObjects.end();
  }
}

intptr_t CurrentEventSource(uint32_t* out) {
  const RuntimeState& state = State();
  if (!state.eventSourceWindow) return 0;
  out[0] = state.eventSourceWindow;
  out[1] = state.eventSourceUnit;
  return 1;
}

intptr_t ProgramText(const std::string& text) { return reinterpret_cast<intptr_t>(text.c_str()); }

// Library commands run on the threads that call them (the player's workers
// write the status bar and play the track), but windows, records and
// handlers belong to the window thread: a worker's window and event requests
// are carried there, and the worker waits for the answer.
intptr_t OnWindowThread(int request, intptr_t p1, intptr_t p2) {
  intptr_t answer = 0;
  RunOnMainThread([&] { answer = Framework().answerWindowRequest(request, p1, p2); });
  return answer;
}

}  // namespace

intptr_t RuntimeCallbackEntry(int request, intptr_t p1, intptr_t p2) {
  RuntimeState& state = State();
  switch (request) {
    case REQ_DEFAULT_ICONS: return FillDefaultIcons(As<HICON>(p1));
    case REQ_REGISTER_IDLE_ROUTINE: {
      auto* r = As<IdleRoutineRecord>(p1);
      RegisterIdleRoutine(r->window, r->routine, r->parameter);
      return 0;
    }
    case REQ_UNREGISTER_IDLE_ROUTINE: UnregisterIdleRoutine(HWND(p1)); return 0;
    case REQ_NUMERIC_TO_INT: return NumericToInt(*As<ArgRecord>(p1));
    case REQ_PROGRAM_DIRECTORY: return ProgramText(state.directory);
    case REQ_PROGRAM_FILE_NAME: return ProgramText(state.fileName);
    case REQ_SUPPRESS_EVENTS: DoEvents(); SuppressEvents(); return 0;
    case REQ_RESUME_EVENTS: DoEvents(); ResumeEvents(); return 0;
    case REQ_CLEANUP_ADD: case REQ_CLEANUP_REMOVE: case REQ_CLEANUP_FIND:
      return CleanupRequest(request, As<CleanupObject>(p1));
    case REQ_CURRENT_EVENT_SOURCE: return CurrentEventSource(As<uint32_t>(p1));
    case REQ_DO_EVENTS: DoEvents(); return 0;
    case REQ_FREE_ARRAY: FreeArray(TypeTag(p2), As<void>(p1)); return 0;
    case REQ_ALLOC: return reinterpret_cast<intptr_t>(p2 ? TryAllocMemory(size_t(p1)) : AllocMemory(size_t(p1)));
    case REQ_FREE: FreeMemory(As<void>(p1)); return 0;
    case REQ_REALLOC: return reinterpret_cast<intptr_t>(ReallocMemory(As<void>(p1), size_t(p2)));
    case REQ_FATAL_ERROR: ReportFatalError(p1 ? As<const char>(p1) : "");
    case REQ_EXIT_PROGRAM: ExitProgram(int(p1));
    case REQ_BUILD_KIND: return intptr_t(state.buildKind);
    default: return OnWindowThread(request, p1, p2);
  }
}

void DestroyDefaultIcons() {
  DefaultIcons& icons = State().defaultIcons;
  if (icons.large) DestroyIcon(icons.large);
  if (icons.small) DestroyIcon(icons.small);
  icons = {};
}

// Each object is closed, then deleted; an exception from either is ignored
// so that one faulty object cannot stop the shutdown.
void ReleaseCleanupObjects() {
  auto& cleanupObjects = State().cleanupObjects;
  for (auto& object : cleanupObjects) {
    try {
      object->Close();
    } catch (...) {
    }
    try {
      object.reset();
    } catch (...) {
    }
  }
  cleanupObjects.clear();
}

}  // namespace rt
