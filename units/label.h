// Label: a static text unit the runtime draws entirely itself: the caption
// with an optional relief effect on a background colour or colour gradient,
// inside an optional gradient frame.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "windows/unit_toolkit.h"

namespace units {

void* LabelInterface(int number);

enum LabelProperty : int {
  LABEL_CAPTION = 8,
  LABEL_EFFECT = 9,
  LABEL_BORDER_STYLE = 10,
  LABEL_FRAME_WIDTH = 11,
  LABEL_FRAME_COLOR_1 = 12,
  LABEL_FRAME_COLOR_2 = 13,
  LABEL_FRAME_COLOR_3 = 14,
  LABEL_FONT = 15,
  LABEL_TEXT_COLOR = 16,
  LABEL_BACK_COLOR = 17,
  LABEL_PICTURE = 18,
  LABEL_PICTURE_MODE = 19,
  LABEL_GRADIENT_MODE = 20,
  LABEL_GRADIENT_COLOR_1 = 21,
  LABEL_GRADIENT_COLOR_2 = 22,
  LABEL_GRADIENT_COLOR_3 = 23,
  LABEL_HORIZONTAL_ALIGNMENT = 24,
  LABEL_WORD_WRAP = 25,
  LABEL_VERTICAL_ALIGNMENT = 26,
  LABEL_TEXT_OPTION_A = 27,
  LABEL_TEXT_OPTION_B = 28,
};

inline constexpr auto kLabelProperties = win::PropertyTable<21>({
    win::Own(win::PROP_TEXT),     // 8 caption
    win::Own(win::PROP_PICK),     // 9 effect
    win::Own(win::PROP_PICK),     // 10 border style
    win::Own(win::PROP_INT),      // 11 frame width
    win::Own(win::PROP_COLOR_2),  // 12 frame colour 1
    win::Own(win::PROP_COLOR_2),  // 13 frame colour 2
    win::Own(win::PROP_COLOR_2),  // 14 frame colour 3
    win::Own(win::PROP_FONT),     // 15 font
    win::Own(win::PROP_COLOR),    // 16 text colour
    win::Own(win::PROP_COLOR_3),  // 17 background colour
    win::Own(win::PROP_PICTURE),  // 18 background picture
    win::Own(win::PROP_PICK),     // 19 picture mode
    win::Own(win::PROP_PICK),     // 20 gradient mode
    win::Own(win::PROP_COLOR_2),  // 21 gradient colour 1
    win::Own(win::PROP_COLOR_2),  // 22 gradient colour 2
    win::Own(win::PROP_COLOR_2),  // 23 gradient colour 3
    win::Own(win::PROP_PICK),     // 24 horizontal alignment
    win::Own(win::PROP_BOOL),     // 25 word wrap
    win::Own(win::PROP_PICK),     // 26 vertical alignment
    win::Own(win::PROP_TEXT_5),   // 27 text option A
    win::Own(win::PROP_TEXT_7),   // 28 text option B
});

inline constexpr win::UnitTypeDescriptor kLabelType = win::DescribeUnitType({
    .name = "标签",
    .englishName = "Label",
    .state = 0x84012040,
    .properties = kLabelProperties,
    .interfaceFunction = &LabelInterface,
});

static_assert(kLabelProperties.size() == LABEL_TEXT_OPTION_B + 1);

// Border style 6 draws the gradient frame instead of a window border.
constexpr int32_t kGradientFrame = 6;

// Sent to a label, it raises event 0 (feedback) with wParam and lParam as
// its two arguments; the handler's answer (0 when none) is the result.
constexpr UINT kLabelFeedbackMessage = 0x8075;

struct LabelProperties {
  int32_t effect = 0;  // 0 flat, 1 sunken, 2 raised, 3 shadow
  int32_t frameWidth = 8;
  int32_t borderStyle = 0;
  uint32_t frameColor1 = 0x808080;  // frame and gradient colours: 0xFF000000 = not drawn
  uint32_t frameColor2 = 0xFFFFFF;
  uint32_t frameColor3 = 0x808080;
  uint32_t textColor = 0;
  uint32_t backColor = 0xFF000000;
  int32_t pictureMode = 1;
  int32_t gradientMode = 0;  // 0 none; 1..8 see PaintLabel
  uint32_t gradientColor1 = 0x808080;
  uint32_t gradientColor2 = 0xFFFFFF;
  uint32_t gradientColor3 = 0x808080;
  int32_t horizontalAlignment = 0;  // left, centre, right
  int32_t verticalAlignment = 1;    // top, centre, bottom
  int32_t wordWrap = 0;
  std::vector<uint8_t> font;  // a 60-byte LOGFONTA, or empty for the default font
  std::vector<uint8_t> picture;
  std::string caption = "标签";
  std::string textOptionA;  // since version 2
  std::string textOptionB;  // since version 2
};

std::optional<LabelProperties> ReadLabelBlob(std::span<const uint8_t> blob);
std::vector<uint8_t> WriteLabelBlob(const LabelProperties& properties);

// DrawText flags for the caption.
UINT LabelTextFlags(const LabelProperties& properties);

// Paints a label into a client rectangle: the gradient frame, then the
// background (gradient modes 1 left to right, 2 right to left, 3 top to
// bottom, 4 bottom to top, 5 and 6 from the left and right or top and
// bottom edges to the centre line, 7 from the edges to the centre in
// rectangular rings, 8 from the centre out), then the caption.
void PaintLabel(HDC dc, RECT client, const LabelProperties& properties, HFONT font);

}  // namespace units
