// What program code knows of the multimedia library (library 6): its unit type code and command numbers. Program code reaches
// the library only through its command entries (the descriptor's table).
#pragma once

#include "runtime/library.h"

namespace lib::multimedia {

inline constexpr uint32_t kMediaPlayTypeCode = rt::TypeCode(rt::LIB_MULTIMEDIA, 6);

// Command numbers: the places of the library's commands in its command table.
enum MediaPlayCommand : int {
  CMD_STOP = 0,
  CMD_OPEN = 1,
  CMD_PLAY = 2,
  CMD_PAUSE = 3,
  // Beyond the program's original four: the track's position in
  // milliseconds while it is playing, -1 otherwise (paused, stopped, ended,
  // nothing open). A frame clock follows the track with it.
  CMD_PLAYING_POSITION = 4,
};

}  // namespace lib::multimedia
