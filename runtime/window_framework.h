// What the runtime needs of the window framework (windows/), as one table of
// functions that the framework fills: the runtime includes and links nothing
// of ours above it. The program hands the table to RunApplication, which
// installs it before the entry routine runs; a test program installs it
// itself before it touches the runtime.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

namespace rt {

struct WindowFramework {
  // Start-up: reads the whole form data into the window registry; false when
  // it is damaged.
  bool (*installFormData)(std::span<const uint8_t> formData, uint32_t handlerCount);
  // The LoadStartWindow service; a failure is fatal.
  void (*loadStartWindow)(uint32_t windowId);
  // The property services.
  int64_t (*readUnitProperty)(uint32_t windowId, uint32_t unitId, int property, int element);
  void (*writeUnitProperty)(uint32_t windowId, uint32_t unitId, int property, int element, uint32_t low,
                            uint32_t high);
  // The message loop: pre-translation, whether it has anything to run for,
  // and the windows' idle events.
  bool (*preTranslateMessage)(MSG& message);
  bool (*anyLoadedWindowAlive)();
  void (*beginIdlePeriod)();
  bool (*raiseIdleEvents)(uint32_t elapsedMs);
  // The runtime callback's window and event requests; called on the window
  // thread. Unknown requests answer 0.
  intptr_t (*answerWindowRequest)(int request, intptr_t parameter1, intptr_t parameter2);
  // Shutdown: every loaded window, then every cursor units made.
  void (*destroyAllLoadedWindows)();
  void (*releaseUnitCursors)();
};

void InstallWindowFramework(const WindowFramework& framework);
const WindowFramework& Framework();

}  // namespace rt
