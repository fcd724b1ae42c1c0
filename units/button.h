// Button and CheckBox: a push button and a two-state check box on the
// platform's "BUTTON" control, sharing caption, alignment and font handling.
//
// Button and check box pictures are kept in the blob but not shown: the
// runtime has no picture decoder yet, and an undecodable picture leaves the
// caption showing.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "windows/unit_toolkit.h"

namespace units {

void* ButtonInterface(int number);
void* CheckBoxInterface(int number);

enum ButtonProperty : int {
  BUTTON_PICTURE = 8,
  BUTTON_TYPE = 9,
  BUTTON_CAPTION = 10,
  BUTTON_HORIZONTAL_ALIGNMENT = 11,
  BUTTON_VERTICAL_ALIGNMENT = 12,
  BUTTON_FONT = 13,
};

enum CheckBoxProperty : int {
  CHECKBOX_PICTURE = 8,
  CHECKBOX_PUSH_LIKE = 9,
  CHECKBOX_FLAT = 10,
  CHECKBOX_CAPTION = 11,
  CHECKBOX_TEXT_ON_LEFT = 12,
  CHECKBOX_HORIZONTAL_ALIGNMENT = 13,
  CHECKBOX_VERTICAL_ALIGNMENT = 14,
  CHECKBOX_TEXT_COLOR = 15,
  CHECKBOX_BACK_COLOR = 16,
  CHECKBOX_FONT = 17,
  CHECKBOX_CHECKED = 18,
  CHECKBOX_TEXT_OPTION_A = 19,
  CHECKBOX_TEXT_OPTION_B = 20,
};

inline constexpr auto kButtonProperties = win::PropertyTable<6>({
    win::Own(win::PROP_PICTURE),  // 8 picture
    win::Own(win::PROP_PICK),     // 9 button type
    win::Own(win::PROP_TEXT),     // 10 caption
    win::Own(win::PROP_PICK),     // 11 horizontal alignment
    win::Own(win::PROP_PICK),     // 12 vertical alignment
    win::Own(win::PROP_FONT),     // 13 font
});

inline constexpr win::UnitTypeDescriptor kButtonType = win::DescribeUnitType({
    .name = "按钮",
    .englishName = "Button",
    .state = 0x80000840,
    .properties = kButtonProperties,
    .interfaceFunction = &ButtonInterface,
});

inline constexpr auto kCheckBoxProperties = win::PropertyTable<13>({
    win::Own(win::PROP_PICTURE),  // 8 picture
    win::Own(win::PROP_BOOL),     // 9 push-like
    win::Own(win::PROP_BOOL),     // 10 flat
    win::Own(win::PROP_TEXT),     // 11 caption
    win::Own(win::PROP_BOOL),     // 12 text on the left
    win::Own(win::PROP_PICK),     // 13 horizontal alignment
    win::Own(win::PROP_PICK),     // 14 vertical alignment
    win::Own(win::PROP_COLOR),    // 15 text colour
    win::Own(win::PROP_COLOR_3),  // 16 background colour
    win::Own(win::PROP_FONT),     // 17 font
    win::Own(win::PROP_BOOL),     // 18 checked
    win::Own(win::PROP_TEXT_5),   // 19 text option A
    win::Own(win::PROP_TEXT_7),   // 20 text option B
});

inline constexpr win::UnitTypeDescriptor kCheckBoxType = win::DescribeUnitType({
    .name = "选择框",
    .englishName = "CheckBox",
    .state = 0x80001040,
    .properties = kCheckBoxProperties,
    .interfaceFunction = &CheckBoxInterface,
});

static_assert(kButtonProperties.size() == BUTTON_FONT + 1);
static_assert(kCheckBoxProperties.size() == CHECKBOX_TEXT_OPTION_B + 1);

struct ButtonProperties {
  int32_t buttonType = 0;           // 0 normal, 1 default button
  int32_t horizontalAlignment = 1;  // left, centre, right
  int32_t verticalAlignment = 1;    // top, centre, bottom
  std::vector<uint8_t> picture;
  std::vector<uint8_t> font;  // a 60-byte LOGFONTA, or empty for the default font
  std::string caption = "按钮";
};

struct CheckBoxProperties {
  int32_t pushLike = 0;  // these four switch on with the value 1 only
  int32_t flat = 0;
  int32_t textOnLeft = 0;
  int32_t horizontalAlignment = 0;
  int32_t verticalAlignment = 1;
  uint32_t textColor = 0;
  uint32_t backColor = 0xFF000000;
  int32_t checked = 0;
  std::vector<uint8_t> picture;
  std::vector<uint8_t> font;
  std::string caption = "选择框";
  std::string textOptionA;  // since version 2
  std::string textOptionB;  // since version 2
};

std::optional<ButtonProperties> ReadButtonBlob(std::span<const uint8_t> blob);
std::vector<uint8_t> WriteButtonBlob(const ButtonProperties& properties);
std::optional<CheckBoxProperties> ReadCheckBoxBlob(std::span<const uint8_t> blob);
std::vector<uint8_t> WriteCheckBoxBlob(const CheckBoxProperties& properties);

// The window styles the properties ask for, before the loader's bits.
DWORD ButtonStyle(const ButtonProperties& properties);
DWORD CheckBoxStyle(const CheckBoxProperties& properties);

}  // namespace units
