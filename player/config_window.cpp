// Handlers of the Config window: the file prefix and the frame rate, stored
// by "Start", and the background track, chosen with "Select" or dropped.
// The track's state lives in `useBgm` and `bgmPath` (state.h), which outlive
// the window: each load starts from the form data, and OnConfigCreated arms
// the track's controls again when a track is in use.
#include "commands/core_library.h"
#include "libraries/drag_drop/library.h"
#include "libraries/shell/library.h"
#include "player/ids.h"
#include "player/main_window.h"
#include "player/runtime_calls.h"
#include "player/state.h"
#include "player/user_input.h"
#include "runtime/program.h"

namespace player {
namespace {

constexpr int32_t kMaxFrameRate = 60;

constexpr rt::ArgRecord kDropTarget{kConfigWindow, kConfigDropTarget, lib::drag_drop::kDropTargetTypeCode};
constexpr rt::ArgRecord kDialog{kConfigWindow, kTrackDialog, rt::TypeCode(rt::LIB_CORE, core::CORE_COMMON_DLG)};

rt::ArgRecord ConfigWindow() { return WindowArgument(kConfigWindow, kConfigWindowUnit); }

// A second registration of the same unit is refused, harmlessly.
void AcceptDrops() { RegisterDropWindow(kDropTarget, ConfigWindow()); }

void EnableSelect(bool enabled) { WriteInt(kConfigWindow, kSelectButton, kDisabled, !enabled); }
void CheckUseBgm(bool checked) { WriteInt(kConfigWindow, kUseBgmBox, kChecked, checked); }

void UseTrack(const char* path) {
  StoreTextCopy(State().bgmPath, path);
  State().useBgm = 1;
}

// The dialog has no owner, so the window can end while it is up (its close
// box, or "Start"). Then nothing is taken, and the window is not touched:
// its units are gone, and reaching them would be a fatal runtime error.
void TakeDialogChoice(bool chosen) {
  if (!IsLoaded(ConfigWindow())) return;
  if (chosen) return UseTrack(ReadText(kConfigWindow, kTrackDialog, kFileName).c_str());
  State().useBgm = 0;
  EnableSelect(false);
  CheckUseBgm(false);
}

}  // namespace

void OnConfigCreated(rt::HandlerCall&) {
  if (State().useBgm != 1) return;
  AcceptDrops();
  CheckUseBgm(true);
  EnableSelect(true);
}

// Checking arms the choice; `useBgm` becomes 1 only when a track is chosen.
// Unchecking keeps the drop registration.
void OnUseBgmClicked(rt::HandlerCall&) {
  bool checked = ReadInt(kConfigWindow, kUseBgmBox, kChecked) == 1;
  if (checked) AcceptDrops();
  else State().useBgm = 0;
  EnableSelect(checked);
}

void OnSelectBgm(rt::HandlerCall&) {
  OwnedText desktop(CallLibrary(rt::LIB_SHELL, lib::shell::CMD_GET_SPECIAL_FOLDER,
                                {rt::MakeInt(lib::shell::FOLDER_DESKTOP)}));
  WriteText(kConfigWindow, kTrackDialog, kInitialDirectory, desktop.c_str());
  TakeDialogChoice(ShowCommonDialog(kDialog));
}

// Only an extension of exactly "mp3" is a track; several files dropped at
// once end in a line break and are refused too.
void OnConfigDrop(rt::HandlerCall& call) {
  const char* path = DroppedPath(call);
  if (ExtensionOf(path, ".").str() == "mp3") return UseTrack(path);
  ShowError("File error, please drag Mp3 File!!");
  State().useBgm = 0;
}

void OnFrameRateWheel(rt::HandlerCall& call) {
  StepBoxByWheel(kConfigWindow, kFrameRateBox, call.argument(0), kMaxFrameRate);
}

// The window stays open on an empty prefix. DestroyFormWindow closes it
// later, when messages are next processed.
void OnConfigStart(rt::HandlerCall&) {
  OwnedText prefix = ReadText(kConfigWindow, kPrefixBox, kContent);
  if (prefix.empty()) return ShowError("File Prefix error, please set File Prefix!!");
  StoreText(State().filePrefix, prefix.releaseText());
  State().frameRate = BoxNumber(kConfigWindow, kFrameRateBox);
  DestroyFormWindow(ConfigWindow());
}

}  // namespace player
