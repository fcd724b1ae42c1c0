#include "player/frame_text.h"

#include <climits>

#include "commands/core_library.h"
#include "runtime/services.h"

namespace player {
namespace {

// The declared DLL commands, by number, with the signatures declared.
constexpr int kMultiByteToWideChar = 0;
constexpr int kWideCharToMultiByte = 1;
constexpr uint32_t kUtf8CodePage = 65001;
constexpr uint32_t kGbkCodePage = 936;
constexpr int32_t kTextType = 10;
constexpr wchar_t kByteOrderMark = 0xFEFF;

// "#引号" in GBK: the program's texts are GBK.
constexpr const char* kQuoteMark = "#\xD2\xFD\xBA\xC5";

int32_t Utf16Length(const OwnedBytes& utf8, wchar_t* out, int32_t capacity) {
  return rt::CallDll<int32_t, uint32_t, uint32_t, const char*, int32_t, wchar_t*, int32_t>(
      Runtime(), kMultiByteToWideChar, kUtf8CodePage, 0, reinterpret_cast<const char*>(utf8.data()), utf8.size(),
      out, capacity);
}

int32_t GbkLength(const wchar_t* utf16, int32_t units, char* out, int32_t capacity) {
  return rt::CallDll<int32_t, uint32_t, uint32_t, const wchar_t*, int32_t, char*, int32_t, const char*, int32_t*>(
      Runtime(), kWideCharToMultiByte, kGbkCodePage, 0, utf16, units, out, capacity, nullptr, nullptr);
}

OwnedBytes NewZeroByteSet(int32_t length) {
  return OwnedBytes(CallCore(core::CMD_NEW_ZERO_BYTE_SET, {rt::MakeInt(length)}));
}

OwnedText ReplaceQuoteMarks(const char* text) {
  return OwnedText(CallCore(core::CMD_REPLACE_SUBTEXT, {TextArgument(text), TextArgument(kQuoteMark), TextArgument("\""),
                                                        rt::ArgRecord{}, rt::ArgRecord{}, rt::MakeBool(true)}));
}

int32_t TextLength(const char* text) { return int32_t(CallCore(core::CMD_TEXT_LENGTH, {TextArgument(text)}).low); }

}  // namespace

std::string FramePath(const std::string& directory, const std::string& prefix, int32_t frame) {
  std::string number = "000";
  number += ToText(frame).c_str();
  std::string path = directory;
  path += '\\';
  path += prefix;
  path += RightOfText(number.c_str(), 4).c_str();
  path += ".txt";
  return path;
}

// A set too large to double into UTF-16 bytes shows as an empty frame.
OwnedText Utf8ToCp936(const OwnedBytes& bytes) {
  if (bytes.size() <= 0) return {};
  int32_t units = Utf16Length(bytes, nullptr, 0);
  if (units <= 0 || units > INT32_MAX / 2) return {};
  OwnedBytes utf16 = NewZeroByteSet(units * 2);
  Utf16Length(bytes, reinterpret_cast<wchar_t*>(utf16.data()), units);
  auto* wide = reinterpret_cast<const wchar_t*>(utf16.data());
  int32_t wideUnits = utf16.size() / 2;
  // Editors on Windows often start UTF-8 with a byte-order mark: it marks
  // the encoding and is no part of the frame (code page 936 would show "?").
  if (wide[0] == kByteOrderMark) ++wide, --wideUnits;
  OwnedBytes gbk = NewZeroByteSet(GbkLength(wide, wideUnits, nullptr, 0));
  GbkLength(wide, wideUnits, reinterpret_cast<char*>(gbk.data()), gbk.size());
  return OwnedText(CallCore(core::CMD_BYTE_SET_TO_VALUE, {gbk.argument(), rt::MakeInt(kTextType)}));
}

OwnedText TextBetween(const char* text, const char* left, const char* right, int32_t start, bool ignoreCase) {
  OwnedText leftMark = ReplaceQuoteMarks(left), rightMark = ReplaceQuoteMarks(right);
  int32_t leftAt = FindText(text, leftMark.c_str(), start, ignoreCase);
  if (leftAt <= 0) return {};
  int32_t from = leftAt + TextLength(leftMark.c_str());
  int32_t rightAt = FindText(text, rightMark.c_str(), from, ignoreCase);
  if (rightAt <= 0) return {};
  return OwnedText(CallCore(core::CMD_MID_OF_TEXT, {TextArgument(text), rt::MakeInt(from), rt::MakeInt(rightAt - from)}));
}

std::string CountText(int32_t count) {
  std::string text = "Find...";
  text += ToText(count).c_str();
  text += "item...";
  return text;
}

int32_t CountFromText(const char* countText) {
  return ToInteger(TextBetween(countText, "...", "i", 0, false).c_str());
}

std::string PlayingText(int32_t frame) {
  std::string text = "Playing...";
  text += ToText(frame).c_str();
  text += "Item";
  return text;
}

}  // namespace player
