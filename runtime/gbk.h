// The platform boundary: runtime texts are GBK (code page 936) byte strings;
// everything shown or passed to Windows goes through the wide APIs after an
// explicit conversion, whatever the system's ANSI code page is.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rt {

constexpr unsigned kGbkCodePage = 936;

// Code page 936 opens a two-byte character with 0x81..0xFE only: 0x80 and
// 0xFF are characters of their own, one UTF-16 unit each.
constexpr bool IsGbkLeadByte(uint8_t byte) { return byte >= 0x81 && byte <= 0xFE; }

std::wstring WideFromGbk(std::string_view gbk);
std::string GbkFromWide(std::wstring_view wide);
// The text in GBK when code page 936 holds it exactly; nothing otherwise (a
// path converted with losses would name some other file).
std::optional<std::string> ExactGbkFromWide(std::wstring_view wide);

// One character as a number: its byte, or lead byte × 256 + trail byte for
// a two-byte character. A character code page 936 cannot hold (or half of
// a surrogate pair) is '?'.
int32_t GbkCharCode(wchar_t character);
// The UTF-16 character of such a number; '?' when it is none.
wchar_t CharOfGbkCode(int64_t code);

}  // namespace rt
