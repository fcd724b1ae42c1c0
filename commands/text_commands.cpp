#include "commands/text_commands.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "libraries/arguments.h"

namespace core {
namespace {

bool IsLeadByte(char c) { return (uint8_t(c) & 0x80) != 0; }

// A lead byte right before the end steps past the end, which ends every scan.
size_t NextCharacter(std::string_view text, size_t place) { return place + (IsLeadByte(text[place]) ? 2 : 1); }

// The first place at or after `offset` where a character starts, found by
// walking from the start: an offset inside a character moves to the next one.
size_t CharacterBoundary(std::string_view text, size_t offset) {
  offset = std::min(offset, text.size());
  size_t place = 0;
  while (place < offset) place = NextCharacter(text, place);
  return std::min(place, text.size());
}

char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

// Whether `sought` stands at `place`, which leaves room for it. Without case,
// single-byte letters fold; both bytes of a two-byte character compare
// exactly, so a trail byte that happens to be a letter does not fold.
bool MatchesAt(std::string_view text, size_t place, std::string_view sought, bool ignoreCase) {
  bool trailByte = false;
  for (size_t i = 0; i < sought.size(); ++i) {
    char have = text[place + i];
    bool exact = !ignoreCase || trailByte;
    if (exact ? have != sought[i] : FoldCase(have) != FoldCase(sought[i])) return false;
    trailByte = !trailByte && IsLeadByte(have);
  }
  return true;
}

enum class Direction { Forward, Backward };

// The bytes a search may match in: [begin, end).
struct SearchWindow {
  size_t begin;
  size_t end;
};

SearchWindow WindowOf(size_t length, std::optional<int32_t> start, Direction direction) {
  size_t whenOmitted = direction == Direction::Forward ? 0 : length;
  size_t offset = start ? size_t(std::clamp<int64_t>(int64_t(*start) - 1, 0, int64_t(length))) : whenOmitted;
  return direction == Direction::Forward ? SearchWindow{offset, length} : SearchWindow{0, offset};
}

// Forward: the first match in the window; backward: the last one.
int32_t Search(std::string_view text, std::string_view sought, SearchWindow window, bool ignoreCase,
               Direction direction) {
  if (window.begin >= window.end) return -1;
  if (sought.empty()) return 1;
  int32_t found = -1;
  for (size_t place = CharacterBoundary(text, window.begin); place + sought.size() <= window.end;
       place = NextCharacter(text, place)) {
    if (!MatchesAt(text, place, sought, ignoreCase)) continue;
    found = int32_t(place + 1);
    if (direction == Direction::Forward) break;
  }
  return found;
}

void FindIn(rt::ArgRecord* result, const lib::Arguments& args, Direction direction) {
  std::string_view text = args.text(0);
  SearchWindow window = WindowOf(text.size(), args.optionalInteger(2), direction);
  *result = rt::MakeInt(Search(text, args.text(1), window, args.flag(3), direction));
}

void SetTextResult(rt::ArgRecord* result, std::string_view text) {
  *result = rt::MakeBlock(rt::TYPE_TEXT, rt::MakeTextN(text.data(), int64_t(text.size())));
}

struct Replacement {
  std::string_view sought;
  std::string_view replacement;
  bool ignoreCase;
  int32_t limit;  // negative: every match
};

// Replaces from the first character at or after `start`; the bytes before it
// are copied as they are.
std::string Replace(std::string_view text, size_t start, const Replacement& r) {
  size_t place = CharacterBoundary(text, start);
  std::string replaced(text.substr(0, place));
  for (int32_t done = 0; done != r.limit && place + r.sought.size() <= text.size();) {
    if (MatchesAt(text, place, r.sought, r.ignoreCase)) {
      replaced += r.replacement;
      place += r.sought.size();
      ++done;
      continue;
    }
    size_t next = std::min(NextCharacter(text, place), text.size());
    replaced += text.substr(place, next - place);
    place = next;
  }
  replaced += text.substr(place);
  return replaced;
}

}  // namespace

void FindText(rt::ArgRecord* result, int count, rt::ArgRecord* arguments) {
  FindIn(result, lib::Arguments(count, arguments), Direction::Forward);
}

void FindTextFromEnd(rt::ArgRecord* result, int count, rt::ArgRecord* arguments) {
  FindIn(result, lib::Arguments(count, arguments), Direction::Backward);
}

void RightOfText(rt::ArgRecord* result, int count, rt::ArgRecord* arguments) {
  lib::Arguments args(count, arguments);
  std::string_view text = args.text(0);
  int32_t n = args.integer(1);
  SetTextResult(result, n <= 0 ? std::string_view() : text.substr(text.size() - std::min(size_t(n), text.size())));
}

void MidOfText(rt::ArgRecord* result, int count, rt::ArgRecord* arguments) {
  lib::Arguments args(count, arguments);
  std::string_view text = args.text(0);
  int64_t offset = int64_t(args.integer(1)) - 1;
  int32_t n = args.integer(2);
  bool empty = offset < 0 || offset >= int64_t(text.size()) || n <= 0;
  SetTextResult(result, empty ? std::string_view() : text.substr(size_t(offset), size_t(n)));
}

// An empty text to replace would match everywhere without moving on: the
// text is copied as it is.
void ReplaceSubtext(rt::ArgRecord* result, int count, rt::ArgRecord* arguments) {
  lib::Arguments args(count, arguments);
  std::string_view text = args.text(0);
  Replacement r{args.text(1), args.text(2), !args.flag(5), args.optionalInteger(4).value_or(-1)};
  size_t start = size_t(std::max<int64_t>(int64_t(args.integer(3)) - 1, 0));
  if (r.sought.empty()) return SetTextResult(result, text);
  SetTextResult(result, Replace(text, start, r));
}

void TextLength(rt::ArgRecord* result, int count, rt::ArgRecord* arguments) {
  *result = rt::MakeInt(int32_t(lib::Arguments(count, arguments).text(0).size()));
}

}  // namespace core
