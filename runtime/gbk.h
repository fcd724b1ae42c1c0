// The platform boundary: runtime texts are GBK (code page 936) byte strings;
// everything shown or passed to Windows goes through the wide APIs after an
// explicit conversion, whatever the system's ANSI code page is.
#pragma once

#include <string>
#include <string_view>

namespace rt {

constexpr unsigned kGbkCodePage = 936;

std::wstring WideFromGbk(std::string_view gbk);
std::string GbkFromWide(std::wstring_view wide);

}  // namespace rt
