// Core commands on texts: search, slices, replacement and length.
//
// Lengths and positions count bytes; positions are 1-based. A byte with the
// high bit set starts a two-byte character: a search or a replacement steps
// over whole characters, so a match starts only where a character starts.
#pragma once

#include "runtime/values.h"

namespace core {

// FindText(text, text to find, start position (optional), case-insensitive) → position or -1.
void FindText(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);
// FindTextFromEnd(text, text to find, start position (optional), case-insensitive) → position or -1.
void FindTextFromEnd(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);
// RightOfText(text, count) → text.
void RightOfText(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);
// MidOfText(text, start position, count) → text.
void MidOfText(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);
// ReplaceSubtext(text, text to replace, replacement (optional), start position (optional),
//                number of replacements (optional), case-sensitive) → text.
void ReplaceSubtext(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);
// TextLength(text) → integer.
void TextLength(rt::ArgRecord* result, int count, rt::ArgRecord* arguments);

}  // namespace core
