// What an EditBox accepts and keeps in its input modes (property 18): the
// characters it lets the user type, and the text its data-kind modes leave
// in the box when it loses the focus.
//
// Numbers are read the way the runtime reads text: full-width forms count as
// their ASCII ones, then leading blanks, an optional sign and the digits
// (a fraction and an exponent for the float modes); whatever follows is
// ignored, no number reads as 0, and a value past the mode's range becomes
// the nearest value in it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace units {

enum InputMode : int32_t {
  kInputNormal = 0,
  kInputReadOnly = 1,  // ES_READONLY
  kInputPassword = 2,  // ES_PASSWORD with the password character
  kInputIntegerText = 3,
  kInputDecimalText = 4,
  kInputByte = 5,
  kInputShort = 6,
  kInputInteger = 7,
  kInputLong = 8,
  kInputFloat = 9,
  kInputDouble = 10,
  kInputDateTime = 11,
};
constexpr int32_t kLastInputMode = kInputDateTime;

// Control characters (below 32) always pass; the number modes refuse what
// cannot be part of their numbers.
bool AcceptsCharacter(int32_t inputMode, wchar_t character);

// The text a box in this mode holds after losing the focus (GBK). Modes
// without normalisation keep the text as it is.
std::string NormalisedInput(int32_t inputMode, std::string_view text);

// A decimal integer read from a GBK text, clamped to 64 bits.
int64_t ReadInteger(std::string_view text);

// A date and time written as the runtime writes them ("2024年1月5日12时30分")
// or with "-", "/" or "." between the date's numbers and ":" between the
// time's; days since 1899-12-30, or nothing when it is no valid date of the
// years 100 to 9999.
std::optional<double> ReadDateTime(std::string_view text);

}  // namespace units
