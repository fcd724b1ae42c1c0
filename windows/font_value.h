// Font property values: a LOGFONTA, read and written whole (as a 7-word font
// record) or one element at a time.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>

namespace win {

static_assert(sizeof(LOGFONTA) == 60);

enum FontElement : int {
  FONT_WHOLE = -1,
  FONT_ANGLE = 0,
  FONT_BOLD = 1,
  FONT_ITALIC = 2,
  FONT_STRIKEOUT = 3,
  FONT_UNDERLINE = 4,
  FONT_SIZE = 5,
  FONT_FACE = 6,
};

// The whole-font record: six words and a face-name text (a heap block of the
// receiver's; the face name is a pointer, so the record is wider on 64-bit).
struct FontRecord {
  int32_t angle;
  int32_t bold;
  int32_t italic;
  int32_t strikeout;
  int32_t underline;
  int32_t size;
  char* faceName;
};

// The stored font, or DEFAULT_GUI_FONT's when none (or a short one) is stored.
LOGFONTA FontOrDefault(std::span<const uint8_t> stored);

// A new runtime value for the element: an integer, a text, or a FontRecord
// block for the whole font.
int64_t ReadFontElement(const LOGFONTA& font, int element);
// Changes one element; FONT_WHOLE is handled by FontFromRecord.
void WriteFontElement(LOGFONTA& font, int element, int64_t value);
// Null record: nullopt (the unit goes back to the default font).
std::optional<LOGFONTA> FontFromRecord(const FontRecord* record);

}  // namespace win
