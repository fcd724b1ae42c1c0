#include "units/edit_input.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <limits>

#include "runtime/conversions.h"
#include "runtime/heap.h"
#include "runtime/values.h"

namespace units {
namespace {

// The characters each mode lets through; null: any.
constexpr const char* kAccepted[] = {
    nullptr,       nullptr,       nullptr,       "-0123456789",  "-.0123456789", "0123456789",
    "-0123456789", "-0123456789", "-0123456789", "-.0123456789", "-.0123456789", nullptr,
};
static_assert(std::size(kAccepted) == kLastInputMode + 1);

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads a text from the front; every step either takes what it names or
// leaves the position as it was.
class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  size_t at() const { return at_; }
  bool AtEnd() const { return at_ == text_.size(); }
  void SkipBlanks() {
    while (at_ < text_.size() && IsBlank(text_[at_])) ++at_;
  }
  bool Take(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) return false;
    at_ += word.size();
    return true;
  }
  bool TakeAny(std::initializer_list<std::string_view> words) {
    return std::any_of(words.begin(), words.end(), [this](std::string_view w) { return Take(w); });
  }
  // True for a minus sign; a plus sign is taken too.
  bool TakeSign() {
    if (Take("-")) return true;
    Take("+");
    return false;
  }
  size_t SkipDigits() {
    size_t start = at_;
    while (at_ < text_.size() && IsDigit(text_[at_])) ++at_;
    return at_ - start;
  }
  // The digits here as a number that stops growing at `cap` (at least 9);
  // their count.
  size_t Digits(uint64_t& value, uint64_t cap) {
    size_t start = at_;
    value = 0;
    for (char c : text_.substr(start, SkipDigits())) {
      uint64_t digit = uint64_t(c - '0');
      value = value > (cap - digit) / 10 ? cap : value * 10 + digit;
    }
    return at_ - start;
  }
  bool Number(int& value) {
    uint64_t read = 0;
    if (!Digits(read, 1000000)) return false;
    value = int(read);
    return true;
  }

 private:
  std::string_view text_;
  size_t at_ = 0;
};

// Full-width digits, signs and punctuation read as their ASCII forms.
std::string AsciiForms(std::string_view text) {
  std::string source(text.substr(0, text.find('\0')));
  std::string out(source.size() + 1, '\0');
  rt::NormaliseFullWidth(source.c_str(), out.data());
  out.resize(std::strlen(out.c_str()));
  return out;
}

// The sign, digits, fraction and exponent at the front (after blanks), as
// strtod reads them, without its hexadecimal, infinity and NaN forms.
std::string FloatPrefix(std::string_view text) {
  std::string ascii = AsciiForms(text);
  Reader in(ascii);
  in.SkipBlanks();
  size_t start = in.at();
  in.TakeSign();
  size_t digits = in.SkipDigits();
  if (in.Take(".")) digits += in.SkipDigits();
  if (digits == 0) return {};
  size_t end = in.at();
  if (in.TakeAny({"e", "E"})) {
    in.TakeSign();
    if (in.SkipDigits()) end = in.at();
  }
  return ascii.substr(start, end - start);
}

// Out-of-range values become the largest finite value of the sign.
template <class Float>
Float ReadFloat(std::string_view text) {
  std::string prefix = FloatPrefix(text);
  Float value = 0;
  if constexpr (sizeof(Float) == sizeof(float)) value = std::strtof(prefix.c_str(), nullptr);
  else value = std::strtod(prefix.c_str(), nullptr);
  if (std::isinf(value)) value = std::copysign(std::numeric_limits<Float>::max(), value);
  return value == 0 ? 0 : value;  // no "-0"
}

// The shortest decimal text that reads back as the same value.
template <class Float>
std::string ShortestText(Float value) {
  char buffer[64];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return error == std::errc() ? std::string(buffer, end) : std::string();
}

std::string IntegerText(std::string_view text, int64_t low, int64_t high) {
  return std::to_string(std::clamp(ReadInteger(text), low, high));
}

// A number that reads as 0 leaves the box empty.
std::string ZeroAsEmpty(std::string text) { return text == "0" ? std::string() : text; }

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return kDays[month - 1] + (month == 2 && IsLeapYear(year));
}

bool IsValid(const rt::CivilDateTime& t) {
  return t.year >= 100 && t.year <= 9999 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
         t.day <= DaysInMonth(t.year, t.month) && t.hour <= 23 && t.minute <= 59 && t.second <= 59;
}

// Days since 1899-12-30 of a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int year, int month, int day) {
  int64_t y = year - (month <= 2);
  int64_t era = (y >= 0 ? y : y - 399) / 400;
  int64_t yearOfEra = y - era * 400;
  int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468 + 25569;
}

// Year, month and day, then optionally the hour, minute and second.
std::optional<rt::CivilDateTime> ReadCivil(Reader& in) {
  rt::CivilDateTime t{};
  in.SkipBlanks();
  if (!in.Number(t.year) || !in.TakeAny({"-", "/", ".", "年"}) || !in.Number(t.month) ||
      !in.TakeAny({"-", "/", ".", "月"}) || !in.Number(t.day))
    return std::nullopt;
  in.Take("日");
  in.SkipBlanks();
  if (in.Number(t.hour)) {
    if (!in.TakeAny({":", "时"})) return std::nullopt;
    if (in.Number(t.minute) && in.TakeAny({":", "分"}) && in.Number(t.second)) in.Take("秒");
  }
  in.SkipBlanks();
  if (!in.AtEnd() || !IsValid(t)) return std::nullopt;
  return t;
}

// Empty for a text that is no date and for the zero date.
std::string DateTimeText(std::string_view text) {
  std::optional<double> days = ReadDateTime(text);
  if (!days || *days == 0) return {};
  rt::HeapPtr<char> shown(rt::ValueToText(rt::MakeDateTime(*days)));
  return shown ? shown.get() : "";
}

}  // namespace

bool AcceptsCharacter(int32_t inputMode, wchar_t character) {
  const char* accepted = inputMode >= 0 && inputMode <= kLastInputMode ? kAccepted[inputMode] : nullptr;
  if (character < 32 || !accepted) return true;
  return character < 128 && std::strchr(accepted, char(character));
}

std::string NormalisedInput(int32_t inputMode, std::string_view text) {
  switch (inputMode) {
    case kInputByte: return ZeroAsEmpty(IntegerText(text, 0, 255));
    case kInputShort: return ZeroAsEmpty(IntegerText(text, INT16_MIN, INT16_MAX));
    case kInputInteger: return ZeroAsEmpty(IntegerText(text, INT32_MIN, INT32_MAX));
    case kInputLong: return ZeroAsEmpty(std::to_string(ReadInteger(text)));
    case kInputFloat: return ZeroAsEmpty(ShortestText(ReadFloat<float>(text)));
    case kInputDouble: return ZeroAsEmpty(ShortestText(ReadFloat<double>(text)));
    case kInputDateTime: return DateTimeText(text);
    default: return std::string(text);
  }
}

int64_t ReadInteger(std::string_view text) {
  std::string ascii = AsciiForms(text);
  Reader in(ascii);
  in.SkipBlanks();
  bool negative = in.TakeSign();
  uint64_t magnitude = 0;
  in.Digits(magnitude, uint64_t(INT64_MAX) + 1);
  if (!negative) return int64_t(std::min<uint64_t>(magnitude, INT64_MAX));
  return magnitude > uint64_t(INT64_MAX) ? INT64_MIN : -int64_t(magnitude);
}

std::optional<double> ReadDateTime(std::string_view text) {
  std::string ascii = AsciiForms(text);
  Reader in(ascii);
  std::optional<rt::CivilDateTime> t = ReadCivil(in);
  if (!t) return std::nullopt;
  int64_t day = DaysFromCivil(t->year, t->month, t->day);
  double time = (t->hour * 3600 + t->minute * 60 + t->second) / 86400.0;
  // The day part counts toward zero and the time of day adds its size.
  return day >= 0 ? double(day) + time : double(day) - time;
}

}  // namespace units
