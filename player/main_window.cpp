// Handlers of the main window, its units and its menu.
#include "commands/core_library.h"
#include "player/ids.h"
#include "player/state.h"
#include "player/windows.h"
#include "runtime/program.h"
#include "runtime/services.h"

namespace player {
namespace {

const rt::RuntimeServices& Runtime() { return rt::Services(); }

int32_t ReadInt(uint32_t window, uint32_t unit, int property) {
  return int32_t(Runtime().ReadUnitProperty(window, unit, property, -1));
}

void WriteInt(uint32_t window, uint32_t unit, int property, int32_t value) {
  Runtime().WriteUnitProperty(window, unit, property, -1, uint32_t(value), 0);
}

constexpr int kWidth = 2;
constexpr int kHeight = 3;

}  // namespace

bool LoadModalWindow(uint32_t windowId) {
  rt::ArgRecord arguments[] = {{windowId, 0, kWindowTypeCode},
                               {kMainWindow, kMainWindowUnit, kWindowTypeCode},
                               rt::MakeBool(true)};
  const rt::LibraryDescriptor& core = core::kCoreLibrary;
  return Runtime().CallCoreCommand(core.commands[0], 3, arguments).low != 0;
}

void OnMainCreated(rt::HandlerCall&) {}

// The edit box follows the window's outer size.
void OnMainResized(rt::HandlerCall&) {
  WriteInt(kMainWindow, kEditBox1, kHeight, ReadInt(kMainWindow, 0, kHeight) - 80);
  WriteInt(kMainWindow, kEditBox1, kWidth, ReadInt(kMainWindow, 0, kWidth) - 15);
}

void OnMainDrop(rt::HandlerCall&) {}
void OnOpen(rt::HandlerCall&) {}
void OnStart(rt::HandlerCall&) {}
void OnPauseContinue(rt::HandlerCall&) {}
void OnStop(rt::HandlerCall&) {}

void OnFontMenu(rt::HandlerCall&) { LoadModalWindow(kFontWindow); }
void OnAboutMenu(rt::HandlerCall&) { LoadModalWindow(kAboutWindow); }

}  // namespace player
