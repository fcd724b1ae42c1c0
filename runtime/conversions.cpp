#include "runtime/conversions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "runtime/fatal.h"
#include "runtime/heap.h"

namespace rt {
namespace {

// Days since 1899-12-30 to a civil date (proleptic Gregorian).
void CivilFromDays(int64_t days, int& year, int& month, int& day) {
  int64_t z = days - 25569 + 719468;  // shift the epoch to 0000-03-01
  int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  int64_t doe = z - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  day = int(doy - (153 * mp + 2) / 5 + 1);
  month = int(mp < 10 ? mp + 3 : mp - 9);
  year = int(yoe + era * 400 + (month <= 2));
}

// Six significant digits, halves away from zero, as "%.6g" shows them.
std::string FormatFloat(float f) {
  double v = f;
  if (v != 0 && std::isfinite(v)) {
    int exponent = int(std::floor(std::log10(std::fabs(v))));
    double scale = std::pow(10.0, 5 - exponent);
    v = std::round(v * scale) / scale;
  }
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%.6g", v);
  return buffer;
}

std::string FormatDateTime(double days) {
  CivilDateTime t = DateTimeToCivil(days);
  char buffer[96];
  int n = std::snprintf(buffer, sizeof buffer, "%d年%d月%d日", t.year, t.month, t.day);
  if (t.second)
    std::snprintf(buffer + n, sizeof buffer - n, "%d时%d分%d秒", t.hour, t.minute, t.second);
  else if (t.minute)
    std::snprintf(buffer + n, sizeof buffer - n, "%d时%d分", t.hour, t.minute);
  else if (t.hour)
    std::snprintf(buffer + n, sizeof buffer - n, "%d时", t.hour);
  return buffer;
}

// Bytes of a data area up to the first zero byte.
char* TextFromRawBytes(const uint8_t* data, size_t n) {
  auto* zero = static_cast<const uint8_t*>(std::memchr(data, 0, n));
  return MakeTextN(reinterpret_cast<const char*>(data), zero ? zero - data : int64_t(n));
}

char* BlockToText(const ArgRecord& value) {
  const void* block = value.pointer();
  if (!block) return nullptr;
  if (value.tag == TYPE_BYTESET) return TextFromRawBytes(ByteSetData(block), size_t(ByteSetLength(block)));
  size_t bytes = ArrayElementCount(block) * TypeSize(ElementTag(value.tag));
  return TextFromRawBytes(ArrayData(block), bytes);
}

// Truncation toward zero that stays defined for NaN and out-of-range values.
int32_t TruncateToInt(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return int32_t(v);
}

int32_t ParseDecimal(const char* s) {
  while (*s == ' ' || (*s >= '\t' && *s <= '\r')) ++s;
  bool negative = *s == '-';
  if (*s == '-' || *s == '+') ++s;
  int64_t v = 0;
  for (; *s >= '0' && *s <= '9'; ++s) {
    v = v * 10 + (*s - '0');
    if (v > int64_t(INT32_MAX) + 1) v = int64_t(INT32_MAX) + 1;
  }
  if (negative) v = -v;
  if (v > INT32_MAX) v = INT32_MAX;
  return int32_t(v);
}

int32_t TextToInt(const char* text) {
  if (!text) return 0;
  std::string normalised(std::strlen(text) + 1, '\0');
  NormaliseFullWidth(text, normalised.data());
  return ParseDecimal(normalised.c_str());
}

}  // namespace

double ClampDateTime(double days) {
  if (days < kDateTimeMin) return kDateTimeMin;
  if (days > kDateTimeMax) return kDateTimeMax;
  return std::isnan(days) ? 0.0 : days;
}

CivilDateTime DateTimeToCivil(double days) {
  days = ClampDateTime(days);
  // The day part counts toward zero; the time of day is the fraction's size.
  double whole = std::trunc(days);
  int64_t seconds = std::llround(std::fabs(days - whole) * 86400.0);
  int64_t day = int64_t(whole);
  if (seconds >= 86400) {
    seconds -= 86400;
    day += days < 0 ? -1 : 1;
  }
  CivilDateTime t{};
  CivilFromDays(day, t.year, t.month, t.day);
  t.hour = int(seconds / 3600);
  t.minute = int(seconds / 60 % 60);
  t.second = int(seconds % 60);
  return t;
}

char* ValueToText(const ArgRecord& value) {
  char buffer[48];
  if (IsArrayTag(value.tag))
    return IsNumericTag(ElementTag(value.tag)) ? BlockToText(value) : nullptr;
  switch (value.tag) {
    case TYPE_BYTE: std::snprintf(buffer, sizeof buffer, "%u", value.low & 0xFF); break;
    case TYPE_SHORT: std::snprintf(buffer, sizeof buffer, "%d", int(int16_t(value.low))); break;
    case TYPE_INT: std::snprintf(buffer, sizeof buffer, "%d", int32_t(value.low)); break;
    case TYPE_INT64: std::snprintf(buffer, sizeof buffer, "%lld", (long long)value.bits64()); break;
    case TYPE_FLOAT: return MakeText(FormatFloat(value.asFloat()).c_str());
    case TYPE_DOUBLE: std::snprintf(buffer, sizeof buffer, "%.13g", value.asDouble()); break;
    case TYPE_BOOL: return MakeText(value.low ? "真" : "假");
    case TYPE_DATETIME: return MakeText(FormatDateTime(value.asDouble()).c_str());
    case TYPE_TEXT: return MakeText(value.text());
    case TYPE_BYTESET: return BlockToText(value);
    default: return nullptr;
  }
  return MakeText(buffer);
}

int32_t NumericToInt(const ArgRecord& value) {
  switch (value.tag) {
    case TYPE_BYTE: return int32_t(value.low & 0xFF);
    case TYPE_SHORT: return int16_t(value.low);
    case TYPE_INT: return int32_t(value.low);
    case TYPE_INT64: return int32_t(value.low);
    case TYPE_FLOAT: return TruncateToInt(value.asFloat());
    case TYPE_DOUBLE: return TruncateToInt(value.asDouble());
    default: ReportFatalError("欲转换数据类型不是数值");
  }
}

int32_t AnyToInt(const ArgRecord& value) {
  switch (value.tag) {
    case TYPE_BOOL: return int32_t(value.low);
    case TYPE_TEXT: return TextToInt(value.text());
    case TYPE_SUBPTR: return int32_t(value.low);
    default: return IsNumericTag(value.tag) ? NumericToInt(value) : 0;
  }
}

void NormaliseFullWidth(const char* text, char* out) {
  auto* s = reinterpret_cast<const uint8_t*>(text);
  // A lead byte followed by the terminator ends the scan.
  while (*s && (*s < 0x80 || s[1])) {
    if (*s < 0x80) {
      *out++ = char(*s++);
      continue;
    }
    uint8_t lead = s[0], trail = s[1];
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) *out++ = char(trail & 0x7F);
    else if (lead == 0xA1 && trail == 0xA1) *out++ = ' ';
    else if (lead == 0xA1 && trail == 0xAB) *out++ = '~';
    else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) *out++ = '*';
    else { *out++ = char(lead); *out++ = char(trail); }
    s += 2;
  }
  *out = '\0';
}

ArgRecord TypedValueFromBytes(int typeNumber, const uint8_t* bytes, size_t available) {
  static constexpr TypeTag kTags[] = {TYPE_BYTE, TYPE_SHORT, TYPE_INT, TYPE_INT64, TYPE_FLOAT,
                                      TYPE_DOUBLE, TYPE_BOOL, TYPE_DATETIME, TYPE_SUBPTR, TYPE_TEXT};
  if (typeNumber < 1 || typeNumber > 10) ReportFatalError("“欲取出数据的类型”参数值无效");
  TypeTag tag = kTags[typeNumber - 1];
  if (tag == TYPE_TEXT) return MakeBlock(TYPE_TEXT, TextFromRawBytes(bytes, available));
  uint8_t raw[8] = {};
  std::memcpy(raw, bytes, std::min(available, TypeSize(tag)));
  ArgRecord r{0, 0, tag};
  std::memcpy(&r.low, raw, 4);
  std::memcpy(&r.high, raw + 4, 4);
  if (tag == TYPE_BYTE) r.low &= 0xFF;
  if (tag == TYPE_SHORT) r.low &= 0xFFFF;
  if (tag == TYPE_BOOL) r.low = r.low != 0;
  if (TypeSize(tag) <= 4) r.high = 0;
  if (tag == TYPE_DATETIME) r = MakeDateTime(ClampDateTime(r.asDouble()));
  return r;
}

}  // namespace rt
