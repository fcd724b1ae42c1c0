// Handlers of the main window, its units and its menu.
#include "player/main_window.h"

#include "libraries/drag_drop/library.h"
#include "libraries/extended_ui/library.h"
#include "libraries/multimedia/library.h"
#include "libraries/shell/library.h"
#include "player/ids.h"
#include "player/playback.h"
#include "player/runtime_calls.h"
#include "player/state.h"
#include "runtime/program.h"

namespace player {
namespace {

constexpr rt::ArgRecord kStatusBar{kMainWindow, kStatusBar1, lib::extended_ui::kStatusBarTypeCode};
constexpr rt::ArgRecord kMediaPlay{kMainWindow, kMediaPlay1, lib::multimedia::kMediaPlayTypeCode};
constexpr rt::ArgRecord kDropTarget{kMainWindow, kDropTarget1, lib::drag_drop::kDropTargetTypeCode};

void SetPartWidth(int part, int32_t width) {
  CallLibrary(rt::LIB_EXTENDED_UI, lib::extended_ui::CMD_SET_PART_WIDTH, {kStatusBar, rt::MakeInt(part), rt::MakeInt(width)});
}

rt::ArgRecord Media(lib::multimedia::MediaPlayCommand command, std::initializer_list<rt::ArgRecord> more = {}) {
  switch (more.size()) {
    case 0: return CallLibrary(rt::LIB_MULTIMEDIA, command, {kMediaPlay});
    case 1: return CallLibrary(rt::LIB_MULTIMEDIA, command, {kMediaPlay, more.begin()[0]});
    default: return CallLibrary(rt::LIB_MULTIMEDIA, command, {kMediaPlay, more.begin()[0], more.begin()[1]});
  }
}

constexpr const char* kPathError =
    "File path error, please drag directory!!\r\nPlease keep English path, by deleting spaces and Chinese symbols!!!";

// The main window's outer size, read afresh for each step.
int32_t MainWidth() { return ReadInt(kMainWindow, 0, kWidth); }
int32_t MainHeight() { return ReadInt(kMainWindow, 0, kHeight); }

// OnStart's steps: the menu, the Config window, the playback. True when the
// playback started: not once the main window has gone while Config was up.
bool Start() {
  SetMenuForStart();
  LoadModalWindow(kConfigWindow);
  if (!IsLoaded(MainWindow())) return false;
  StartPlayback();
  return true;
}

}  // namespace

rt::ArgRecord MainWindow() { return WindowArgument(kMainWindow, kMainWindowUnit); }

bool LoadModalWindow(uint32_t windowId) {
  return CallCore(core::CMD_LOAD_FORM_WINDOW, {WindowArgument(windowId, 0), MainWindow(), rt::MakeBool(true)}).low != 0;
}

void ShowStatus(const char* text) {
  CallLibrary(rt::LIB_EXTENDED_UI, lib::extended_ui::CMD_SET_PART_TEXT, {kStatusBar, rt::MakeInt(1), TextArgument(text)});
}

void ShowFrame(const char* text) { WriteText(kMainWindow, kEditBox1, kContent, text); }

void SetMenuItemDisabled(uint32_t item, bool disabled) { WriteInt(kMainWindow, item, kMenuItemDisabled, disabled); }

void ShowError(const char* message) { ShowMessage(message, kStopIcon, "Error", MainWindow()); }

void OpenAndPlayTrack(const char* path) {
  Media(lib::multimedia::CMD_OPEN, {TextArgument(path)});
  Media(lib::multimedia::CMD_PLAY, {rt::MakeInt(-1)});
}

void ToggleTrackPause() { Media(lib::multimedia::CMD_PAUSE); }
void StopTrack() { Media(lib::multimedia::CMD_STOP); }

// A call after the main window has gone leaves the result zero-filled.
int32_t TrackPlayingPosition() {
  rt::ArgRecord position = Media(lib::multimedia::CMD_PLAYING_POSITION);
  return position.tag == rt::TYPE_INT ? int32_t(position.low) : -1;
}

bool AcceptDroppedPath(const char* path) {
  if (!*path || FindText(path, ".", 0, true) > 0) {
    ShowError(kPathError);
    return false;
  }
  PlayerState& state = State();
  StoreTextCopy(state.txtDir, path);
  ShowStatus(state.txtDir);
  SetMenuItemDisabled(kMenuOpen, true);
  SetMenuItemDisabled(kMenuStart, false);
  SetMenuItemDisabled(kMenuPauseContinue, false);
  SetMenuItemDisabled(kMenuStop, false);
  return true;
}

void SetMenuForStart() {
  SetMenuItemDisabled(kMenuStart, true);
  SetMenuItemDisabled(kMenuOpen, true);
  SetMenuItemDisabled(kMenuPauseContinue, false);
}

// Drops on the main window raise DropTarget1's event from now on.
void OnMainCreated(rt::HandlerCall&) { RegisterDropWindow(kDropTarget, MainWindow()); }

// The edit box and the status parts follow the window's outer size.
void OnMainResized(rt::HandlerCall&) {
  WriteInt(kMainWindow, kEditBox1, kHeight, MainHeight() - 80);
  WriteInt(kMainWindow, kEditBox1, kWidth, MainWidth() - 15);
  SetPartWidth(0, int32_t(MainWidth() * 0.3));
  SetPartWidth(1, int32_t(MainWidth() * 0.7));
}

void OnMainDrop(rt::HandlerCall& call) { AcceptDroppedPath(DroppedPath(call)); }

// A folder whose name code page 936 cannot hold comes with '?' in its
// place, which no folder's name holds: it is refused with the drop's
// message and counts as no choice.
void OnOpen(rt::HandlerCall&) {
  PlayerState& state = State();
  OwnedText chosen(CallLibrary(rt::LIB_SHELL, lib::shell::CMD_BROWSE_FOR_FOLDER,
                               {TextArgument("Select TXT directory"), rt::ArgRecord{}}));
  bool refused = FindText(chosen.c_str(), "?", 0, false) > 0;
  if (refused) ShowError(kPathError);
  StoreText(state.txtDir, refused ? nullptr : chosen.releaseText());
  if (!state.txtDir) return;
  ShowStatus(state.txtDir);
  if (Start()) SetMenuItemDisabled(kMenuStop, false);
}

void OnStart(rt::HandlerCall&) { Start(); }

void OnPauseContinue(rt::HandlerCall&) {
  PlayerState& state = State();
  bool pausing = state.paused == 0;
  pausing ? HoldNewestPlayback() : ReleaseNewestPlayback();
  if (state.useBgm == 1) ToggleTrackPause();
  ShowStatus(pausing ? "Pause..." : "Playing...");
  state.paused = pausing;
}

void OnStop(rt::HandlerCall&) {
  StopAllPlaybacks();
  if (State().useBgm == 1) StopTrack();
  ShowStatus("Stop...");
  SetMenuItemDisabled(kMenuOpen, false);
  SetMenuItemDisabled(kMenuPauseContinue, true);
  SetMenuItemDisabled(kMenuStop, true);
}

void OnFontMenu(rt::HandlerCall&) { LoadModalWindow(kFontWindow); }
void OnAboutMenu(rt::HandlerCall&) { LoadModalWindow(kAboutWindow); }

}  // namespace player
