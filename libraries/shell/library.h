// What program code knows of the shell library (library 4): its command numbers and the folder numbers of GetSpecialFolder. Program code reaches
// the library only through its command entries (the descriptor's table).
#pragma once

#include "runtime/library.h"

namespace lib::shell {

// Command numbers: the places in the library's command table.
enum ShellCommand : int {
  CMD_BROWSE_FOR_FOLDER = 0,
  CMD_GET_SPECIAL_FOLDER = 1,
};

// Folder numbers of GetSpecialFolder.
enum SpecialFolderNumber : int {
  FOLDER_DOCUMENTS = 1,
  FOLDER_FAVORITES = 2,
  FOLDER_DESKTOP = 3,
  FOLDER_FONTS = 4,
  FOLDER_START_MENU = 5,
  FOLDER_PROGRAMS = 6,
  FOLDER_STARTUP = 7,
  FOLDER_APPLICATION_DATA = 8,
  FOLDER_WINDOWS = 9,
  FOLDER_SYSTEM = 10,
  FOLDER_TEMPORARY = 11,
};

}  // namespace lib::shell
