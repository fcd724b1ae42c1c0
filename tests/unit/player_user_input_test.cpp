// What the Config and Font windows make of the user's input, computed
// through the core commands as the player calls them. Texts with "\xB8\xE8"
// hold a two-byte character (GBK).
#include "player/user_input.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ExtensionCase {
  const char* name;
  const char* path;
  const char* mark;
  const char* expected;
};

TEST(PlayerExtensionOf, Table) {
  const ExtensionCase cases[] = {
      {"a track", "D:\\music\\song.mp3", ".", "mp3"},
      {"several dots", "D:\\music\\a.b.mp3", ".", "mp3"},
      {"a dot in a folder's name", "D:\\my.music\\song.mp3", ".", "mp3"},
      {"capitals kept", "D:\\music\\song.MP3", ".", "MP3"},
      {"no dot", "D:\\music\\song", ".", ""},
      {"no dot in a name that is all extension", "mp3", ".", ""},
      {"the dot last", "D:\\music\\song.", ".", ""},
      {"only a dot", ".", ".", ""},
      {"the dot first", ".mp3", ".", "mp3"},
      {"the empty path", "", ".", ""},
      {"a dot only in a folder's name", "D:\\music.v2\\song", ".", "v2\\song"},
      {"two files dropped together", "D:\\a.mp3\r\nD:\\b.mp3\r\n", ".", "mp3\r\n"},
      {"after a two-byte character", "D:\\\xB8\xE8.mp3", ".", "mp3"},
      {"a mark of several bytes", "a.tar.gz", ".tar.", "gz"},
      {"a mark of several bytes, last", "a.tar.", ".tar.", ""},
  };
  for (const ExtensionCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(player::ExtensionOf(c.path, c.mark).str(), c.expected);
  }
}

struct StepCase {
  const char* name;
  const char* content;
  bool up;
  int32_t top;
  const char* expected;
};

TEST(PlayerSteppedNumber, Table) {
  constexpr bool up = true, down = false;
  const StepCase cases[] = {
      {"up", "20", up, 60, "21"},
      {"up to the top", "59", up, 60, "60"},
      {"up from the top", "60", up, 60, "1"},
      {"up from beyond the top", "75", up, 60, "1"},
      {"down", "12", down, 99, "11"},
      {"down to 1", "2", down, 60, "1"},
      {"down from 1", "1", down, 60, "60"},
      {"down from 0", "0", down, 60, "60"},
      {"down from below 0", "-5", down, 99, "99"},
      {"up from below 0", "-5", up, 99, "-4"},
      {"up from the empty box", "", up, 99, "1"},
      {"down from the empty box", "", down, 99, "99"},
      {"down from a box without a number", "abc", down, 60, "60"},
      {"up after leading blanks", "  7", up, 99, "8"},
      {"up from full-width digits", "\xA3\xB1\xA3\xB2", up, 99, "13"},
      {"up from the font top", "99", up, 99, "1"},
  };
  for (const StepCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(player::SteppedNumber(c.content, c.up, c.top).str(), c.expected);
  }
}

}  // namespace
