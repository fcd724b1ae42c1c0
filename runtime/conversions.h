// The conversions the runtime performs itself: any value to text, numeric
// value to integer, any value to integer, and typed values out of raw bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/values.h"

namespace rt {

// Date-time values are days since 1899-12-30; stored and shown values are
// clamped to the first day of year 100 … the last day of year 9999.
constexpr double kDateTimeMin = -657434.0;
constexpr double kDateTimeMax = 2958465.0;
double ClampDateTime(double days);

struct CivilDateTime {
  int year, month, day, hour, minute, second;
};
CivilDateTime DateTimeToCivil(double days);

// A new text (null when empty) showing the value.
char* ValueToText(const ArgRecord& value);

// Numeric types only; anything else is the fatal error "欲转换数据类型不是数值".
int32_t NumericToInt(const ArgRecord& value);

// Any type; texts are read as decimal integers after full-width normalisation.
int32_t AnyToInt(const ArgRecord& value);

// Full-width digits, letters and punctuation of GBK become their ASCII forms.
// Returns the normalised copy in `out` (at most as long as the input).
void NormaliseFullWidth(const char* text, char* out);

// Type numbers 1–10: byte, short, int, int64, float, double, logical,
// date-time, subroutine pointer, text. Other numbers are a fatal error.
ArgRecord TypedValueFromBytes(int typeNumber, const uint8_t* bytes, size_t available);

}  // namespace rt
