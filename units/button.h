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

#include "windows/unit_type.h"

namespace units {

constexpr const char* kButtonName = "按钮";
constexpr const char* kButtonEnglishName = "Button";
constexpr uint32_t kButtonState = 0x80000840;
constexpr int32_t kButtonPropertyCount = 14;
extern const win::PropertyDescriptor kButtonProperties[kButtonPropertyCount];
void* ButtonInterface(int number);

constexpr const char* kCheckBoxName = "选择框";
constexpr const char* kCheckBoxEnglishName = "CheckBox";
constexpr uint32_t kCheckBoxState = 0x80001040;
constexpr int32_t kCheckBoxPropertyCount = 21;
extern const win::PropertyDescriptor kCheckBoxProperties[kCheckBoxPropertyCount];
void* CheckBoxInterface(int number);

constexpr uint32_t kButtonVersion = 1;
constexpr uint32_t kCheckBoxVersion = 2;

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
