// The core library: library number 0. Its data types are the Window, the
// menu and the standard units; its commands are the basic commands.
#pragma once

#include "runtime/library.h"

namespace core {

extern const rt::LibraryDescriptor kCoreLibrary;

// Type numbers of the core data types this program uses.
enum CoreType : int {
  CORE_WINDOW = 1,
  CORE_MENU = 3,
  CORE_EDIT_BOX = 5,
  CORE_LABEL = 10,
  CORE_BUTTON = 11,
  CORE_CHECK_BOX = 12,
  CORE_HYPER_LINKER = 29,
  CORE_COMMON_DLG = 31,
};
constexpr int kCoreTypeCount = 51;

// Command numbers: the places of the basic commands in the command table.
enum CoreCommand : int {
  CMD_LOAD_FORM_WINDOW = 0,
  CMD_GET_WINDOW_HANDLE = 1,
  CMD_FIND_TEXT = 2,
  CMD_SHOW_MESSAGE = 3,
  CMD_TO_INTEGER = 4,
  CMD_TO_TEXT = 5,
  CMD_RIGHT_OF_TEXT = 6,
  CMD_READ_FILE_BYTES = 7,
  CMD_REPLACE_SUBTEXT = 8,
  CMD_TEXT_LENGTH = 9,
  CMD_MID_OF_TEXT = 10,
  CMD_BYTE_SET_LENGTH = 11,
  CMD_NEW_ZERO_BYTE_SET = 12,
  CMD_BYTE_SET_TO_VALUE = 13,
  CMD_FIND_TEXT_FROM_END = 14,
  CMD_SHOW_COMMON_DIALOG = 15,
  CMD_DESTROY_FORM_WINDOW = 16,
};

}  // namespace core
