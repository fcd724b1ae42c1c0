// EditBox: a text entry unit on the platform's "EDIT" control, with an
// optional spin button ("msctls_updown32") at its right edge.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "units/edit_input.h"
#include "windows/unit_toolkit.h"

namespace units {

void* EditBoxInterface(int number);

inline constexpr auto kEditBoxProperties = win::PropertyTable<21>({
    win::Own(win::PROP_TEXT),     // 8 content
    win::Own(win::PROP_PICK),     // 9 border style
    win::Own(win::PROP_COLOR),    // 10 text colour
    win::Own(win::PROP_COLOR_3),  // 11 background colour
    win::Own(win::PROP_FONT),     // 12 font
    win::Own(win::PROP_BOOL),     // 13 hide selection
    win::Own(win::PROP_INT),      // 14 maximum length
    win::Own(win::PROP_BOOL),     // 15 multi-line
    win::Own(win::PROP_PICK),     // 16 scroll bars
    win::Own(win::PROP_PICK),     // 17 alignment
    win::Own(win::PROP_PICK),     // 18 input mode
    win::Own(win::PROP_TEXT),     // 19 password character
    win::Own(win::PROP_PICK),     // 20 letter conversion
    win::Own(win::PROP_PICK),     // 21 adjust type
    win::Own(win::PROP_INT),      // 22 adjust minimum
    win::Own(win::PROP_INT),      // 23 adjust maximum
    win::Own(win::PROP_INT),      // 24 selection start
    win::Own(win::PROP_INT),      // 25 selection length
    win::Own(win::PROP_TEXT, win::kRunTimeOnlyPropertyState),  // 26 selected text
    win::Own(win::PROP_TEXT_5),   // 27 text option A
    win::Own(win::PROP_TEXT_7),   // 28 text option B
});

inline constexpr win::UnitTypeDescriptor kEditBoxType = win::DescribeUnitType({
    .name = "编辑框",
    .englishName = "EditBox",
    .state = 0x80000040,
    .properties = kEditBoxProperties,
    .interfaceFunction = &EditBoxInterface,
});

enum EditBoxProperty : int {
  EP_CONTENT = 8,
  EP_BORDER_STYLE,
  EP_TEXT_COLOR,
  EP_BACK_COLOR,
  EP_FONT,
  EP_HIDE_SELECTION,
  EP_MAX_LENGTH,
  EP_MULTI_LINE,
  EP_SCROLL_BARS,
  EP_ALIGNMENT,
  EP_INPUT_MODE,
  EP_PASSWORD_CHAR,
  EP_LETTER_CASE,
  EP_ADJUST_TYPE,
  EP_ADJUST_MIN,
  EP_ADJUST_MAX,
  EP_SELECTION_START,
  EP_SELECTION_LENGTH,
  EP_SELECTED_TEXT,
  EP_TEXT_OPTION_A,
  EP_TEXT_OPTION_B,
};
static_assert(EP_TEXT_OPTION_B + 1 == kEditBoxProperties.size());

enum EditBoxEvent : int32_t {
  EE_CHANGED = 0,  // the content changed, typed or written
  EE_SPIN = 1,     // adjust type 2's spin button: 1 up, -1 down
};

// Adjust types (property 21): what the spin button of a single-line box does.
enum AdjustType : int32_t { kNoSpin = 0, kSpinSteps = 1, kSpinRaisesEvent = 2 };

struct EditBoxProperties {
  int32_t borderStyle = 1;
  uint32_t textColor = 0;
  uint32_t backColor = 0xFFFFFF;
  int32_t hideSelection = 1;
  int32_t maxLength = 0;  // 0: no limit
  int32_t multiLine = 0;
  int32_t scrollBars = 0;  // 0 none, 1 horizontal, 2 vertical, 3 both
  int32_t alignment = 0;   // 0 left, 1 centred, 2 right
  int32_t inputMode = 0;
  uint16_t passwordChar = '*';  // one GBK character, its first byte low
  int32_t letterCase = 0;       // 0 as typed, 1 lower, 2 upper
  int32_t adjustType = 0;       // 0 no spin button, 1 steps the number, 2 raises event 1
  int32_t adjustMin = 0;
  int32_t adjustMax = 100;
  int32_t selectionStart = 0;   // GBK byte offset; -1: end of text
  int32_t selectionLength = 0;  // bytes; -1: whole text
  std::vector<uint8_t> font;    // a 60-byte LOGFONTA, or empty for the default font
  std::string content;
  std::string textOptionA;  // since version 2
  std::string textOptionB;  // since version 2
};

std::optional<EditBoxProperties> ReadEditBoxBlob(std::span<const uint8_t> blob);
std::vector<uint8_t> WriteEditBoxBlob(const EditBoxProperties& properties);

// The window styles the properties ask for, before the loader's bits.
DWORD EditBoxStyle(const EditBoxProperties& properties);

// The character range (UTF-16 units, as the control counts) that a stored
// selection covers in a GBK text: start -1 puts the caret at the end,
// length -1 selects the whole text, other negative values count as 0.
struct EditSelection {
  int32_t start;
  int32_t end;
};
EditSelection SelectionInText(const std::string& text, int32_t start, int32_t length);

}  // namespace units
