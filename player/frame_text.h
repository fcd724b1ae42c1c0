// Frame files and their text: names built from the frame number, UTF-8
// decoded into the GBK text the edit box takes, and the count read from
// the counting text. Safe on any thread.
#pragma once

#include <cstdint>
#include <string>

#include "player/runtime_calls.h"

namespace player {

// `directory`\`prefix`NNNN.txt, NNNN the last four digits of "000" + i.
std::string FramePath(const std::string& directory, const std::string& prefix, int32_t frame);

// The file's UTF-8 bytes as GBK text, through the declared kernel32
// conversions: characters code page 936 lacks, and invalid sequences, come
// out as the system's replacements; the text ends at the first zero byte.
// A leading byte-order mark is dropped.
OwnedText Utf8ToCp936(const OwnedBytes& bytes);

// The part of `text` between the first `left` from `start` on and the next
// `right` after it; empty when either is missing. "#引号" in a mark stands
// for a double quote.
OwnedText TextBetween(const char* text, const char* left, const char* right, int32_t start, bool ignoreCase);

// "Find..." + count + "item...", and the count read back from such a text.
std::string CountText(int32_t count);
int32_t CountFromText(const char* countText);

// "Playing..." + frame + "Item".
std::string PlayingText(int32_t frame);

}  // namespace player
