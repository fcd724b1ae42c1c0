// CommonDlg: a unit without a window of its own that describes one of the
// platform's common dialogs (open file, save file, font, help). It keeps a
// small hidden window so that, like every unit, it has a handle. Setting a
// property only stores it; RunCommonDialog (units/common_dlg_run.h) shows the dialog and writes what
// the user confirmed back into the properties.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "windows/unit_toolkit.h"

namespace units {

void* CommonDlgInterface(int number);

constexpr uint32_t kCommonDlgTypeCode = 0x0001001F;

inline constexpr auto kCommonDlgProperties = win::PropertyTable<22>({
    win::Own(win::PROP_PICK),     // 8 dialog kind
    win::Own(win::PROP_TEXT),     // 9 title
    win::Own(win::PROP_TEXT),     // 10 file name
    win::Own(win::PROP_TEXT),     // 11 filter
    win::Own(win::PROP_INT_ALT),  // 12 filter index
    win::Own(win::PROP_TEXT),     // 13 initial directory
    win::Own(win::PROP_TEXT),     // 14 default extension
    win::Own(win::PROP_BOOL),     // 15 create prompt
    win::Own(win::PROP_BOOL),     // 16 file must exist
    win::Own(win::PROP_BOOL),     // 17 overwrite prompt
    win::Own(win::PROP_BOOL),     // 18 path must exist
    win::Own(win::PROP_BOOL),     // 19 keep directory
    win::Own(win::PROP_COLOR),    // 20 font colour
    win::Own(win::PROP_BOOL),     // 21 bold
    win::Own(win::PROP_BOOL),     // 22 italic
    win::Own(win::PROP_BOOL),     // 23 strikeout
    win::Own(win::PROP_BOOL),     // 24 underline
    win::Own(win::PROP_TEXT),     // 25 font name
    win::Own(win::PROP_INT),      // 26 font size
    win::Own(win::PROP_TEXT),     // 27 help file
    win::Own(win::PROP_PICK),     // 28 help command
    win::Own(win::PROP_INT),      // 29 help topic
});

inline constexpr win::UnitTypeDescriptor kCommonDlgType = win::DescribeUnitType({
    .name = "通用对话框",
    .englishName = "CommonDlg",
    .state = 0x80008040,
    .properties = kCommonDlgProperties,
    .interfaceFunction = &CommonDlgInterface,
});

// Property indexes as ReadUnitProperty and WriteUnitProperty see them.
enum CommonDlgProperty : int {
  CD_DIALOG_KIND = 8,
  CD_TITLE,
  CD_FILE_NAME,
  CD_FILTER,
  CD_FILTER_INDEX,
  CD_INITIAL_DIRECTORY,
  CD_DEFAULT_EXTENSION,
  CD_CREATE_PROMPT,
  CD_FILE_MUST_EXIST,
  CD_OVERWRITE_PROMPT,
  CD_PATH_MUST_EXIST,
  CD_KEEP_DIRECTORY,
  CD_FONT_COLOR,
  CD_BOLD,
  CD_ITALIC,
  CD_STRIKEOUT,
  CD_UNDERLINE,
  CD_FONT_NAME,
  CD_FONT_SIZE,
  CD_HELP_FILE,
  CD_HELP_COMMAND,
  CD_HELP_TOPIC,
};

enum DialogKind : int32_t { DIALOG_OPEN_FILE = 0, DIALOG_SAVE_FILE = 1, DIALOG_FONT = 2, DIALOG_HELP = 3 };

struct CommonDlgProperties {
  int32_t dialogKind = 0;  // 0 open file, 1 save file, 2 font, 3 help
  std::string title;
  std::string fileName;
  std::string filter;  // description and pattern pairs, separated by "|"
  int32_t filterIndex = 0;
  std::string initialDirectory;
  std::string defaultExtension;
  int32_t createPrompt = 0;
  int32_t fileMustExist = 1;
  int32_t overwritePrompt = 1;
  int32_t pathMustExist = 1;
  int32_t keepDirectory = 0;
  uint32_t fontColor = 0;
  int32_t bold = 0;
  int32_t italic = 0;
  int32_t strikeout = 0;
  int32_t underline = 0;
  std::string fontName;
  int32_t fontSize = 0;  // points; 0 = not given
  std::string helpFile;
  int32_t helpCommand = 0;
  int32_t helpTopic = 0;
};

std::optional<CommonDlgProperties> ReadCommonDlgBlob(std::span<const uint8_t> blob);
std::vector<uint8_t> WriteCommonDlgBlob(const CommonDlgProperties& properties);

// The open and save dialogs' flags: OFN_HIDEREADONLY and one flag for each
// of the five logical properties that is set.
DWORD FileDialogFlags(const CommonDlgProperties& properties);

// The platform's filter list made from "description|pattern|...": trailing
// white space removed, "||" appended unless already there, then every "|"
// a zero. Empty (no list) for an empty filter. The rule works on UTF-16, so
// a GBK character whose second byte is "|" stays whole.
std::wstring FilterList(std::string_view filter);

}  // namespace units
