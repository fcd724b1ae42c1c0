// Operations 4 and 6 of the Window unit: its own properties 8–31.
#include "runtime/gbk.h"
#include "windows/window_unit.h"

namespace win {
namespace {

uint32_t LivePosition(const WindowUnit& w, uint32_t stored) {
  HWND h = w.handle();
  if (!h) return stored;
  if (IsIconic(h)) return POSITION_MINIMIZED;
  if (IsZoomed(h)) return POSITION_MAXIMIZED;
  return POSITION_NORMAL;
}

void ToggleStyle(HWND window, DWORD bit, bool on) {
  LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  SetWindowLongPtrW(window, GWL_STYLE, on ? style | bit : style & ~LONG_PTR(bit));
  SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

}  // namespace

bool WindowUnit::GetProperty(int index, PropertyValue* value) {
  const WindowProperties& p = properties_;
  switch (index + 8) {
    case WP_TITLE: *value = TextValue(p.title); break;
    case WP_BORDER_STYLE: *value = WordValue(p.borderStyle); break;
    case WP_BACKGROUND_COLOR: *value = WordValue(p.backgroundColor); break;
    case WP_BACKGROUND_PICTURE: *value = BytesValue(p.backgroundPicture); break;
    case WP_PICTURE_MODE: *value = WordValue(p.pictureMode); break;
    case WP_BACKGROUND_MUSIC: *value = BytesValue(p.backgroundMusic); break;
    case WP_MUSIC_PLAY_MODE: *value = WordValue(p.musicPlayMode); break;
    case WP_CONTROL_BOX: *value = WordValue(p.controlBox); break;
    case WP_MAXIMIZE_BUTTON: *value = WordValue(p.maximizeButton); break;
    case WP_MINIMIZE_BUTTON: *value = WordValue(p.minimizeButton); break;
    case WP_POSITION: *value = WordValue(LivePosition(*this, p.position)); break;
    case WP_CLOSE_ENABLED: *value = WordValue(p.closeEnabled); break;
    case WP_ICON: *value = BytesValue(p.icon); break;
    case WP_ENTER_MOVES_FOCUS: *value = WordValue(p.enterMovesFocus); break;
    case WP_ESC_CLOSES: *value = WordValue(p.escCloses); break;
    case WP_F1_OPENS_HELP: *value = WordValue(p.f1OpensHelp); break;
    case WP_HELP_FILE: *value = TextValue(p.helpFile); break;
    case WP_HELP_CONTEXT: *value = WordValue(p.helpContext); break;
    case WP_SHOW_IN_TASKBAR: *value = WordValue(p.showInTaskbar); break;
    case WP_DRAG_ANYWHERE: *value = WordValue(p.dragAnywhere); break;
    case WP_SHAPE: *value = WordValue(p.shape); break;
    case WP_ALWAYS_ON_TOP: *value = WordValue(p.alwaysOnTop); break;
    case WP_OPTION: *value = WordValue(p.option); break;
    case WP_CLASS_NAME: *value = TextValue(p.className); break;
    default: return false;
  }
  return true;
}

// A window is never re-created: every change is applied to the live window.
bool WindowUnit::SetProperty(int index, const PropertyValue& v) {
  WindowProperties& p = properties_;
  HWND h = handle();
  switch (index + 8) {
    case WP_TITLE: p.title = TextOf(v); SetWindowTextW(h, rt::WideFromGbk(p.title).c_str()); break;
    case WP_BORDER_STYLE: p.borderStyle = v.first; break;
    case WP_BACKGROUND_COLOR: p.backgroundColor = v.first; InvalidateRect(h, nullptr, TRUE); break;
    case WP_BACKGROUND_PICTURE: p.backgroundPicture = BytesOf(v); break;
    case WP_PICTURE_MODE: p.pictureMode = v.first; break;
    case WP_BACKGROUND_MUSIC: p.backgroundMusic = BytesOf(v); break;
    case WP_MUSIC_PLAY_MODE: p.musicPlayMode = v.first; break;
    case WP_CONTROL_BOX: p.controlBox = v.first; ToggleStyle(h, WS_SYSMENU, p.controlBox); break;
    case WP_MAXIMIZE_BUTTON: p.maximizeButton = v.first; ToggleStyle(h, WS_MAXIMIZEBOX, p.maximizeButton); break;
    case WP_MINIMIZE_BUTTON: p.minimizeButton = v.first; ToggleStyle(h, WS_MINIMIZEBOX, p.minimizeButton); break;
    case WP_POSITION: p.position = v.first; break;
    case WP_CLOSE_ENABLED:
      p.closeEnabled = v.first;
      if (!p.closeEnabled) DeleteMenu(GetSystemMenu(h, FALSE), SC_CLOSE, MF_BYCOMMAND);
      else GetSystemMenu(h, TRUE);
      break;
    case WP_ICON: p.icon = BytesOf(v); break;
    case WP_ENTER_MOVES_FOCUS: p.enterMovesFocus = v.first; break;
    case WP_ESC_CLOSES: p.escCloses = v.first; break;
    case WP_F1_OPENS_HELP: p.f1OpensHelp = v.first; break;
    case WP_HELP_FILE: p.helpFile = TextOf(v); break;
    case WP_HELP_CONTEXT: p.helpContext = v.first; break;
    case WP_SHOW_IN_TASKBAR: p.showInTaskbar = v.first; break;
    case WP_DRAG_ANYWHERE: p.dragAnywhere = v.first; break;
    case WP_SHAPE: p.shape = v.first; break;
    case WP_ALWAYS_ON_TOP:
      p.alwaysOnTop = v.first;
      SetWindowPos(h, p.alwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      break;
    case WP_OPTION: p.option = v.first; break;
    case WP_CLASS_NAME: p.className = TextOf(v); break;
    default: break;
  }
  return false;
}

}  // namespace win
