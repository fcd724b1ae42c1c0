// The Window unit's own properties and their blob.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "windows/unit_toolkit.h"

namespace win {

enum WindowProperty : int {
  WP_TITLE = 8,
  WP_BORDER_STYLE = 9,
  WP_BACKGROUND_COLOR = 10,
  WP_BACKGROUND_PICTURE = 11,
  WP_PICTURE_MODE = 12,
  WP_BACKGROUND_MUSIC = 13,
  WP_MUSIC_PLAY_MODE = 14,
  WP_CONTROL_BOX = 15,
  WP_MAXIMIZE_BUTTON = 16,
  WP_MINIMIZE_BUTTON = 17,
  WP_POSITION = 18,
  WP_CLOSE_ENABLED = 19,
  WP_ICON = 20,
  WP_ENTER_MOVES_FOCUS = 21,
  WP_ESC_CLOSES = 22,
  WP_F1_OPENS_HELP = 23,
  WP_HELP_FILE = 24,
  WP_HELP_CONTEXT = 25,
  WP_SHOW_IN_TASKBAR = 26,
  WP_DRAG_ANYWHERE = 27,
  WP_SHAPE = 28,
  WP_ALWAYS_ON_TOP = 29,
  WP_OPTION = 30,
  WP_CLASS_NAME = 31,
};

inline constexpr auto kWindowProperties = PropertyTable<24>({
    Own(PROP_TEXT),     // 8 title
    Own(PROP_PICK),     // 9 border style
    Own(PROP_COLOR),    // 10 background color
    Own(PROP_PICTURE),  // 11 background picture
    Own(PROP_PICK),     // 12 picture mode
    Own(PROP_SOUND),    // 13 background music
    Own(PROP_PICK),     // 14 music play mode
    Own(PROP_BOOL),     // 15 control box
    Own(PROP_BOOL),     // 16 maximize button
    Own(PROP_BOOL),     // 17 minimize button
    Own(PROP_PICK),     // 18 position
    Own(PROP_BOOL),     // 19 close enabled
    Own(PROP_ICON),     // 20 icon
    Own(PROP_BOOL),     // 21 Enter moves focus
    Own(PROP_BOOL),     // 22 Esc closes
    Own(PROP_BOOL),     // 23 F1 opens help
    Own(PROP_TEXT),     // 24 help file
    Own(PROP_INT),      // 25 help context
    Own(PROP_BOOL),     // 26 show in taskbar
    Own(PROP_BOOL),     // 27 drag anywhere
    Own(PROP_PICK),     // 28 shape
    Own(PROP_BOOL),     // 29 always on top
    Own(PROP_BOOL),     // 30 option
    Own(PROP_TEXT),     // 31 window class name
});

enum WindowPosition : uint32_t { POSITION_NORMAL = 0, POSITION_CENTERED = 1, POSITION_MINIMIZED = 2, POSITION_MAXIMIZED = 3 };

struct WindowProperties {
  uint32_t borderStyle = 2;
  uint32_t pictureMode = 1;
  uint32_t backgroundColor = kDefaultColor;
  bool maximizeButton = false;
  bool minimizeButton = true;
  bool controlBox = true;
  uint32_t position = POSITION_CENTERED;
  bool closeEnabled = true;
  uint32_t musicPlayMode = 0;
  bool enterMovesFocus = false;
  bool escCloses = true;
  bool f1OpensHelp = false;
  uint32_t helpContext = 0;
  bool showInTaskbar = true;
  bool dragAnywhere = false;
  uint32_t shape = 0;
  bool alwaysOnTop = false;
  bool option = false;
  std::string className;
  std::vector<uint8_t> backgroundPicture;
  std::vector<uint8_t> icon;
  std::vector<uint8_t> backgroundMusic;
  std::string title;
  std::string helpFile;
};

// Versions 0..6; fields an older blob lacks keep their defaults, as an empty
// blob gives them all. nullopt for a newer version or a blob cut short.
std::optional<WindowProperties> ReadWindowBlob(std::span<const uint8_t> blob);
std::vector<uint8_t> WriteWindowBlob(const WindowProperties& properties);

}  // namespace win
